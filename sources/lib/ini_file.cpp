#include "lib/ini_file.h"

#include <charconv>
#include <limits>

#include "lib/bounded_file.h"
#include "lib/safe_file.h"

namespace {

std::string IndexKey(std::string_view section, std::string_view key) {
    return LowerCase(Trim(section)) + '\n' + LowerCase(Trim(key));
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

// Line breaks inside a value or key would start a new line of the file.
std::string SingleLine(std::string_view text) { return ReplaceAll(ReplaceAll(text, "\r", " "), "\n", " "); }

}  // namespace

std::optional<long long> ParseInteger(std::string_view text) {
    const std::string trimmed = Trim(text);
    std::string_view digits = trimmed;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    if (digits.empty() || digits.front() == '+') return std::nullopt;
    long long value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

TIniFile::TIniFile(std::string fileName, bool stripQuotes) : Path(std::move(fileName)), StripQuotes(stripQuotes) {
    const TBoundedFile file = ReadBoundedFile(Path, MaxIniFileBytes);
    if (file.Ok())
        Parse(file.Bytes);
    else if (file.Result != TFileReadResult::Missing)
        Problem = BoundedReadProblem(file, MaxIniFileBytes);
}

TIniFile TIniFile::FromText(std::string_view text, bool stripQuotes) {
    TIniFile ini;
    ini.StripQuotes = stripQuotes;
    ini.Parse(text);
    return ini;
}

void TIniFile::Parse(std::string_view text) {
    // Editors may put a byte order mark before the first section.
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    ByteOrderMark = text.starts_with(bom);
    if (ByteOrderMark) text.remove_prefix(bom.size());
    if (text.find("\r\n") == std::string_view::npos && text.find('\n') != std::string_view::npos) LineBreak = "\n";
    Lines.clear();
    for (const std::string& raw : SplitLines(text)) Lines.push_back(ParseLine(raw));
    Reindex();
}

TIniFile::TLine TIniFile::ParseLine(const std::string& raw) const {
    TLine line;
    line.Raw = raw;
    const std::string trimmed = Trim(raw);
    if (trimmed.empty() || trimmed.front() == ';') return line;
    if (trimmed.front() == '[') {
        const std::size_t close = trimmed.find(']');
        if (close == std::string::npos) return line;
        line.Kind = TLineKind::Section;
        line.Name = Trim(std::string_view(trimmed).substr(1, close - 1));
        return line;
    }
    const std::size_t equal = trimmed.find('=');
    if (equal == std::string::npos) return line;
    line.Name = Trim(std::string_view(trimmed).substr(0, equal));
    if (line.Name.empty()) return line;
    line.Kind = TLineKind::Entry;
    line.Value = Trim(std::string_view(trimmed).substr(equal + 1));
    if (StripQuotes && line.Value.size() >= 2 && IsQuote(line.Value.front()) && line.Value.back() == line.Value.front())
        line.Value = line.Value.substr(1, line.Value.size() - 2);
    return line;
}

void TIniFile::Reindex() {
    SectionIndex.clear();
    EntryIndex.clear();
    const std::string* section = nullptr;  // entries before any section belong to none
    bool firstOfItsName = false;           // only the first of duplicated sections counts
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        const TLine& line = Lines[i];
        if (line.Kind == TLineKind::Section) {
            section = &line.Name;
            firstOfItsName = SectionIndex.emplace(LowerCase(line.Name), i).second;
        } else if (line.Kind == TLineKind::Entry && section && firstOfItsName) {
            EntryIndex.emplace(IndexKey(*section, line.Name), i);
        }
    }
}

std::optional<std::size_t> TIniFile::FindSection(std::string_view section) const {
    const auto found = SectionIndex.find(LowerCase(Trim(section)));
    if (found == SectionIndex.end()) return std::nullopt;
    return found->second;
}

std::optional<std::size_t> TIniFile::FindEntry(std::string_view section, std::string_view key) const {
    const auto found = EntryIndex.find(IndexKey(section, key));
    if (found == EntryIndex.end()) return std::nullopt;
    return found->second;
}

std::size_t TIniFile::SectionEnd(std::size_t header) const {
    std::size_t end = header + 1;
    for (std::size_t i = header + 1; i < Lines.size() && Lines[i].Kind != TLineKind::Section; ++i)
        if (!Trim(Lines[i].Raw).empty()) end = i + 1;
    return end;
}

std::optional<std::string> TIniFile::Read(std::string_view section, std::string_view key) const {
    const auto line = FindEntry(section, key);
    if (!line) return std::nullopt;
    return Lines[*line].Value;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, const std::string& fallback) const {
    return Read(section, key).value_or(fallback);
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t fallback) const {
    const auto text = Read(section, key);
    if (!text) return fallback;
    const auto value = ParseInteger(*text);
    if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
        *value > std::numeric_limits<std::int32_t>::max())
        return fallback;
    return static_cast<std::int32_t>(*value);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    const auto text = Read(section, key);
    if (!text) return fallback;
    const auto value = ParseInteger(*text);
    return value ? *value != 0 : fallback;
}

bool TIniFile::SectionExists(std::string_view section) const { return FindSection(section).has_value(); }

TStringList TIniFile::ReadSections() const {
    TStringList names;
    for (const TLine& line : Lines)
        if (line.Kind == TLineKind::Section &&
            SectionIndex.at(LowerCase(line.Name)) == static_cast<std::size_t>(&line - Lines.data()))
            names.push_back(line.Name);
    return names;
}

TStringList TIniFile::ReadSection(std::string_view section) const {
    TStringList keys;
    const auto header = FindSection(section);
    if (!header) return keys;
    for (std::size_t i = *header + 1; i < Lines.size() && Lines[i].Kind != TLineKind::Section; ++i)
        if (Lines[i].Kind == TLineKind::Entry && FindEntry(section, Lines[i].Name) == i) keys.push_back(Lines[i].Name);
    return keys;
}

std::string TIniFile::EncodeValue(std::string_view value) const {
    std::string text = SingleLine(value);
    // Quotes keep blanks at either end, and a value that is itself quoted, intact.
    const bool quoted = text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front();
    if (StripQuotes && (text != Trim(text) || quoted)) return '"' + text + '"';
    return text;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string cleanKey = Trim(SingleLine(key));
    const std::string encoded = EncodeValue(value);
    if (const auto line = FindEntry(section, cleanKey)) {
        Lines[*line].Raw = Lines[*line].Name + "=" + encoded;
        Lines[*line].Value = ParseLine(Lines[*line].Raw).Value;
        return;
    }
    std::size_t insertAt = 0;
    if (const auto header = FindSection(section)) {
        insertAt = SectionEnd(*header);
    } else {
        if (!Lines.empty() && !Trim(Lines.back().Raw).empty()) Lines.push_back(TLine{});
        Lines.push_back(ParseLine("[" + Trim(SingleLine(section)) + "]"));
        insertAt = Lines.size();
    }
    Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(insertAt), ParseLine(cleanKey + "=" + encoded));
    Reindex();
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    const auto line = FindEntry(section, key);
    if (!line) return;
    Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(*line));
    Reindex();
}

// Every section of that name goes, so that no older duplicate shows through.
void TIniFile::EraseSection(std::string_view section) {
    while (const auto header = FindSection(section)) {
        std::size_t end = *header + 1;
        while (end < Lines.size() && Lines[end].Kind != TLineKind::Section) ++end;
        Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(*header),
                    Lines.begin() + static_cast<std::ptrdiff_t>(end));
        Reindex();
    }
}

std::string TIniFile::Text() const {
    std::string text = ByteOrderMark ? "\xEF\xBB\xBF" : "";
    for (const TLine& line : Lines) text += line.Raw + LineBreak;
    return text;
}

bool TIniFile::UpdateFile(std::string* error) const {
    if (Path.empty()) {
        if (error) *error = "no file name";
        return false;
    }
    // What could not be read is not replaced by what little was understood of it.
    if (!Problem.empty()) {
        if (error) *error = Path + " " + Problem;
        return false;
    }
    return SaveFileSafely(Path, Text(), error);
}
