#include "cdrdao/driver_table.h"

#include <fstream>

#include "cdrdao/cdrdao_lines.h"
#include "platform/folders.h"

namespace {

// The text before the next "|", and the rest after it; false without one.
bool TakeField(std::string& rest, std::string& field) {
    const std::size_t bar = rest.find('|');
    if (bar == std::string::npos) return false;
    field = Trim(rest.substr(0, bar));
    rest.erase(0, bar + 1);
    return true;
}

TStringList ReadLines(const std::string& path) {
    TStringList lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

std::string Lookup(const TStringList& table, const std::string& key) {
    for (const std::string& entry : table) {
        const std::size_t bar = entry.find('|');
        if (entry.compare(0, bar, key) == 0 && bar == key.size()) return entry.substr(bar + 1);
    }
    return "";
}

}  // namespace

TStringList ParseDriverTable(const TStringList& lines) {
    TStringList table;
    for (const std::string& raw : lines) {
        std::string rest = CollapseBlanks(UpperCase(Trim(raw)));
        if (!StartsWith(rest, "R|") && !StartsWith(rest, "W|")) continue;
        rest.erase(0, 2);
        std::string vendor;
        std::string model;
        if (!TakeField(rest, vendor) || !TakeField(rest, model)) continue;
        std::string driver = rest.substr(0, rest.find('|'));
        driver = Trim(driver.substr(0, driver.find('#')));
        table.push_back(vendor + ", " + model + "|" + driver);
    }
    return table;
}

const TStringList& CdrdaoDriverTable() {
    static const TStringList table = [] {
        TStringList entries;
        const std::string ours = FindShippedFile("cdrdao-drivers.txt");
        if (!ours.empty()) entries = ParseDriverTable(ReadLines(ours));
        for (const std::string& entry : ParseDriverTable(ReadLines(SystemDriverTable))) entries.push_back(entry);
        return entries;
    }();
    return table;
}

std::string ProposeDriver(const std::string& entry, const TStringList& table) {
    const std::string trimmed = Trim(entry);
    const std::size_t colon = trimmed.find(':');
    if (colon == std::string::npos) return "";
    const std::string upper = UpperCase(trimmed);
    const std::string rest = CollapseBlanks(UpperCase(Trim(trimmed.substr(colon + 1))));
    const std::size_t comma = rest.find(',');
    if (comma == std::string::npos) return "";
    const std::string vendor = Trim(rest.substr(0, comma));
    const std::string afterVendor = rest.substr(comma + 1);
    const std::string model = Trim(afterVendor.substr(0, afterVendor.find(',')));
    const std::string key = vendor + ", " + model;

    std::string driver = Lookup(table, key);
    if (driver.empty()) driver = Lookup(table, key.substr(0, key.size() - 1));
    if (!driver.empty()) return driver;

    if (vendor == "LG" || vendor == "MATSHITA" || vendor == "TDK") return "GENERIC-MMC";
    if (vendor == "PLEXTOR" && upper.find("PLEXTOR, CD-R ") != std::string::npos) return "GENERIC-MMC";
    if (vendor == "YAMAHA" && (upper.find("CDR1") == std::string::npos || upper.find("CDW-F1") != std::string::npos))
        return "GENERIC-MMC";
    return "";
}
