// Small text helpers used across the program. Texts are UTF-8 std::string;
// case-insensitive operations fold ASCII letters only, as tool output is ASCII.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

using TStringList = std::vector<std::string>;

std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

bool SameText(std::string_view a, std::string_view b);
// Position of the first case-insensitive occurrence of needle, or npos.
std::size_t FindText(std::string_view haystack, std::string_view needle, std::size_t from = 0);
bool ContainsText(std::string_view haystack, std::string_view needle);
bool StartsText(std::string_view text, std::string_view prefix);  // case-insensitive
bool EndsText(std::string_view text, std::string_view suffix);    // case-insensitive
bool StartsWith(std::string_view text, std::string_view prefix);  // case-sensitive
bool EndsWith(std::string_view text, std::string_view suffix);    // case-sensitive

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
// Removes the first case-insensitive occurrence of what from text.
std::string RemoveFirstText(std::string_view text, std::string_view what);

// Splits at CR, LF or CR LF; a final line break does not add an empty line.
TStringList SplitLines(std::string_view text);
std::string JoinLines(const TStringList& lines, std::string_view separator);

// The characters of a UTF-8 text, each with all its bytes, and the first
// `count` of them.
TStringList Utf8Characters(std::string_view text);
std::string Utf8Prefix(std::string_view text, std::size_t count);

// Decimal number with at least `digits` digits, zero-filled.
std::string ZeroPad(long long value, int digits);

namespace text_detail {
inline const char* FormatArg(const std::string& value) { return value.c_str(); }
inline const char* FormatArg(std::string_view) = delete;  // not NUL-terminated
template <typename T>
requires std::is_arithmetic_v<T> || std::is_pointer_v<T> T FormatArg(T value) { return value; }
std::string FormatV(const char* format, ...) __attribute__((format(printf, 1, 2)));
}  // namespace text_detail

// printf-style formatting that takes std::string arguments for "%s".
template <typename... Args>
std::string Format(const std::string& format, const Args&... args) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    return text_detail::FormatV(format.c_str(), text_detail::FormatArg(args)...);
#pragma GCC diagnostic pop
}
