#include "writers/integrity_text_file.h"

#include "lib/crc32.h"
#include "lib/safe_file.h"

std::string LinesToText(const TStringList& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string IntegrityLine(std::string_view text) {
    const std::string_view head = text.substr(0, FileHeadCrcLimit);
    return "<!-- integrity " + Crc32Text(Crc32(head)) + " -->";
}

std::string ScrambleText(std::string_view text) {
    std::string bytes(ScrambledHeader);
    bytes.reserve(ScrambledHeader.size() + text.size() + text.size() / ScrambledRunLength + 1);
    std::size_t run = 0;
    for (const char c : text) {
        bytes += static_cast<char>(static_cast<unsigned char>(c) ^ ScrambleKey);
        if (++run == ScrambledRunLength) {
            bytes += '\r';
            run = 0;
        }
    }
    return bytes;
}

bool IsScrambled(std::string_view bytes) { return bytes.starts_with(ScrambledHeader); }

std::string UnscrambleBytes(std::string_view bytes) {
    if (!IsScrambled(bytes)) return std::string(bytes);
    bytes.remove_prefix(ScrambledHeader.size());
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if ((i + 1) % (ScrambledRunLength + 1) == 0) continue;  // the inserted CR
        text += static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ ScrambleKey);
    }
    return text;
}

bool Strings_SaveToFile(const std::string& fileName, const TStringList& lines, bool scrambled, std::string* error) {
    std::string text = LinesToText(lines);
    text += IntegrityLine(text) + "\r\n";
    return SaveFileSafely(fileName, scrambled ? ScrambleText(text) : text, error);
}

namespace {

bool IsIntegrityLine(const std::string& line) {
    return StartsWith(TrimLeft(line), "<!--") && ContainsText(line, "integrity");
}

std::string IntegrityValue(const std::string& line) {
    const std::size_t start = FindText(line, "integrity") + std::string_view("integrity").size();
    const std::size_t end = line.find("-->", start);
    return UpperCase(Trim(line.substr(start, end == std::string::npos ? std::string::npos : end - start)));
}

}  // namespace

TStoredText ParseStoredText(std::string_view bytes) {
    TStoredText stored;
    stored.WasScrambled = IsScrambled(bytes);
    stored.Lines = SplitLines(UnscrambleBytes(bytes));
    for (std::size_t i = stored.Lines.size(); i-- > 0;) {
        if (!IsIntegrityLine(stored.Lines[i])) continue;
        const std::string expected = IntegrityValue(stored.Lines[i]);
        stored.Lines.erase(stored.Lines.begin() + static_cast<std::ptrdiff_t>(i));
        stored.HasIntegrity = true;
        const std::string text = LinesToText(stored.Lines);
        stored.IntegrityOk = Crc32Text(Crc32(std::string_view(text).substr(0, FileHeadCrcLimit))) == expected;
        break;
    }
    return stored;
}

std::optional<TStoredText> Strings_LoadFromFile(const std::string& fileName) {
    const std::optional<std::string> bytes = ReadFileBytes(fileName);
    if (!bytes) return std::nullopt;
    return ParseStoredText(*bytes);
}
