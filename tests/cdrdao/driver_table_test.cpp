#include "cdrdao/driver_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

TEST(DriverTable, LinesInCdrdaosFormat) {
    const TStringList table = ParseDriverTable({
        "# Driver table for cdrdao-1.1.7",
        "W|YAMAHA|CRW2100E|generic-mmc       # BURN-Proof capable",
        "R|MATSHITA|CD-ROM CR-589|generic-mmc|OPT_MMC_USE_PQ|OPT_MMC_PQ_BCD",
        "  w|teac |  CD-R55S|teac-cdr55",
        "X|ACME|THING|generic-mmc",
        "W|ACME",
        "W|ACME|NO DRIVER",
    });
    EXPECT_EQ(table, (TStringList{"YAMAHA, CRW2100E|GENERIC-MMC", "MATSHITA, CD-ROM CR-589|GENERIC-MMC",
                                  "TEAC, CD-R55S|TEAC-CDR55"}));
}

TEST(DriverTable, Proposals) {
    const TStringList table = {"YAMAHA, CRW2100E|GENERIC-MMC", "TEAC, CD-R55S|TEAC-CDR55", "SONY, CDU948|SONY-CDU948"};
    struct TCase {
        std::string Entry;
        std::string Driver;
    };
    const std::vector<TCase> cases = {
        {"/dev/sr0: YAMAHA, CRW2100E, 1.0N", "GENERIC-MMC"},
        {"0,1,0: teac, CD-R55S, 1.0", "TEAC-CDR55"},
        // The table's key matches once the device's last character is dropped.
        {"/dev/sr1: SONY, CDU948S, 1.0", "SONY-CDU948"},
        {"/dev/sr0: LG, CD-RW CED-8080B, 1.0", "GENERIC-MMC"},
        {"/dev/sr0: MATSHITA, UJDA775, 1.0", "GENERIC-MMC"},
        {"/dev/sr0: PLEXTOR, CD-R PX-W1210A, 1.0", "GENERIC-MMC"},
        {"/dev/sr0: PLEXTOR, DVDR PX-716A, 1.0", ""},
        {"/dev/sr0: YAMAHA, CRW8824E, 1.0", "GENERIC-MMC"},
        {"/dev/sr0: YAMAHA, CDR100, 1.0", ""},
        {"/dev/sr0: ACME, CDR-1000, 1.0", ""},
        {"/dev/sr0 ACME CDR-1000", ""},
        {"/dev/sr0: ACME", ""},
    };
    for (const TCase& c : cases) EXPECT_EQ(ProposeDriver(c.Entry, table), c.Driver) << c.Entry;
}

TEST(DriverTable, OurTableParses) {
    std::ifstream in(std::string(LUMORA_SOURCE_DIR) + "/data/cdrdao-drivers.txt");
    TStringList lines;
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    const TStringList table = ParseDriverTable(lines);
    ASSERT_FALSE(table.empty());
    EXPECT_EQ(ProposeDriver("/dev/sr0: YAMAHA, CRW2100E, 1.0N", table), "GENERIC-MMC");
    for (const std::string& entry : table) EXPECT_EQ(entry.find('#'), std::string::npos) << entry;
}

}  // namespace
