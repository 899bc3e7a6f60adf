#include "lib/text.h"

#include <algorithm>

namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' || c == '\0'; }

}  // namespace

std::string TrimLeft(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) ++first;
    return std::string(text.substr(first));
}

std::string TrimRight(std::string_view text) {
    std::size_t last = text.size();
    while (last > 0 && IsBlank(text[last - 1])) --last;
    return std::string(text.substr(0, last));
}

std::string Trim(std::string_view text) { return TrimLeft(TrimRight(text)); }

std::string UpperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return result;
}

std::string LowerCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = FoldCase(c);
    return result;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

std::size_t FindText(std::string_view haystack, std::string_view needle, std::size_t from) {
    if (from > haystack.size()) return std::string_view::npos;
    auto it = std::search(haystack.begin() + static_cast<std::ptrdiff_t>(from), haystack.end(), needle.begin(),
                          needle.end(), [](char x, char y) { return FoldCase(x) == FoldCase(y); });
    if (it == haystack.end() && !needle.empty()) return std::string_view::npos;
    return static_cast<std::size_t>(it - haystack.begin());
}

bool ContainsText(std::string_view haystack, std::string_view needle) {
    return FindText(haystack, needle) != std::string_view::npos;
}

std::string ReplaceFirstText(std::string_view text, std::string_view phrase, std::string_view by) {
    const std::size_t at = FindText(text, phrase);
    if (at == std::string::npos) return std::string(text);
    return std::string(text.substr(0, at)).append(by).append(text.substr(at + phrase.size()));
}

bool StartsText(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

bool EndsText(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && SameText(text.substr(text.size() - suffix.size()), suffix);
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.starts_with(prefix); }

bool EndsWith(std::string_view text, std::string_view suffix) { return text.ends_with(suffix); }

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string result;
    std::size_t start = 0;
    for (std::size_t pos; (pos = text.find(from, start)) != std::string_view::npos; start = pos + from.size()) {
        result.append(text.substr(start, pos - start));
        result.append(to);
    }
    result.append(text.substr(start));
    return result;
}

std::string RemoveFirstText(std::string_view text, std::string_view what) {
    std::size_t pos = what.empty() ? std::string_view::npos : FindText(text, what);
    if (pos == std::string_view::npos) return std::string(text);
    std::string result(text);
    result.erase(pos, what.size());
    return result;
}

TStringList SplitLines(std::string_view text) {
    TStringList lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinLines(const TStringList& lines, std::string_view separator) {
    std::string result;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) result.append(separator);
        result.append(lines[i]);
    }
    return result;
}

std::string ZeroPad(long long value, int digits) {
    std::string number =
        std::to_string(value < 0 ? -static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value));
    if (static_cast<int>(number.size()) < digits - (value < 0 ? 1 : 0))
        number.insert(0, static_cast<std::size_t>(digits - (value < 0 ? 1 : 0)) - number.size(), '0');
    return value < 0 ? "-" + number : number;
}

TStringList Utf8Characters(std::string_view text) {
    TStringList characters;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 1;
        while (i + length < text.size() && (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80) ++length;
        characters.emplace_back(text.substr(i, length));
        i += length;
    }
    return characters;
}

std::string Utf8Prefix(std::string_view text, std::size_t count) {
    std::string prefix;
    for (const std::string& character : Utf8Characters(text)) {
        if (count-- == 0) break;
        prefix += character;
    }
    return prefix;
}
