// An INI file with the conventions of the Windows profile functions: sections
// and keys are found without regard to case, the first of duplicated sections
// or keys counts, values are trimmed and lose one pair of enclosing quotes.
// Edits are made in memory and keep every other line (comments, other
// sections, blank lines); UpdateFile writes the whole file at once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lib/text.h"

inline constexpr std::uint64_t MaxIniFileBytes = 4 * 1024 * 1024;

class TIniFile {
public:
    TIniFile() = default;
    // Loads the file; a missing or unreadable file reads as empty. Only a
    // regular file of at most MaxIniFileBytes is read; see LoadProblem.
    explicit TIniFile(std::string fileName, bool stripQuotes = true);
    // Parses a text already in memory (no file behind it).
    static TIniFile FromText(std::string_view text, bool stripQuotes = true);

    const std::string& FileName() const { return Path; }
    // Why an existing file was not read ("is not a regular file", "is too
    // large..."); empty when it was read or is missing. Such a file is never
    // replaced by UpdateFile.
    const std::string& LoadProblem() const { return Problem; }

    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, const std::string& fallback) const;
    // A value that is not a decimal 32-bit number reads as the fallback.
    std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t fallback) const;
    // A whole number other than 0 is true, 0 is false, anything else the fallback.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const { return Read(section, key).has_value(); }
    TStringList ReadSections() const;
    TStringList ReadSection(std::string_view section) const;  // its keys, in file order

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    void DeleteKey(std::string_view section, std::string_view key);
    void EraseSection(std::string_view section);

    // The file's text as it would be written.
    std::string Text() const;
    // Writes the file atomically (created when missing); false when it could
    // not be written, the file on disk then being unchanged.
    bool UpdateFile(std::string* error = nullptr) const;

private:
    enum class TLineKind { Other, Section, Entry };
    struct TLine {
        TLineKind Kind = TLineKind::Other;
        std::string Raw;
        std::string Name;  // section name or key
        std::string Value;
    };

    std::string Path;
    std::string Problem;
    bool StripQuotes = true;
    std::string LineBreak = "\r\n";
    bool ByteOrderMark = false;
    std::vector<TLine> Lines;
    std::unordered_map<std::string, std::size_t> SectionIndex;  // lower-case section -> header line
    std::unordered_map<std::string, std::size_t> EntryIndex;    // lower-case section \n key -> line

    void Parse(std::string_view text);
    TLine ParseLine(const std::string& raw) const;
    void Reindex();
    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindEntry(std::string_view section, std::string_view key) const;
    std::size_t SectionEnd(std::size_t header) const;  // one past its last non-blank line
    std::string EncodeValue(std::string_view value) const;
};

// A decimal number with an optional sign, surrounded by blanks at most.
std::optional<long long> ParseInteger(std::string_view text);
