// Small text helpers used across the program. Texts are UTF-8 std::string;
// case-insensitive operations fold ASCII letters only, as tool output is ASCII.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
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
// The first `phrase` (any case) replaced by `by`.
std::string ReplaceFirstText(std::string_view text, std::string_view phrase, std::string_view by);
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
using TFormatArg = std::variant<std::string_view, long long, unsigned long long, double>;
inline TFormatArg MakeFormatArg(const std::string& value) { return std::string_view(value); }
inline TFormatArg MakeFormatArg(std::string_view value) { return value; }
inline TFormatArg MakeFormatArg(const char* value) { return std::string_view(value ? value : ""); }
template <typename T>
requires std::is_integral_v<T> TFormatArg MakeFormatArg(T value) {
    if constexpr (std::is_signed_v<T>)
        return static_cast<long long>(value);
    else
        return static_cast<unsigned long long>(value);
}
template <typename T>
requires std::is_floating_point_v<T> TFormatArg MakeFormatArg(T value) { return static_cast<double>(value); }
std::string Substitute(std::string_view format, std::span<const TFormatArg> args);
}  // namespace text_detail

// Fills the printf-like placeholders of `format` ("%s", "%d", "%u", "%x",
// "%X", "%f" with flags, width and precision; "%%" is a percent sign) with
// the arguments, in order, by our own substitution: the text is never handed
// to printf, so a translated text cannot crash the program. A placeholder
// whose argument has another kind shows that argument as it is; one without
// an argument, and anything unknown ("%n", "%p"), stays as written.
template <typename... Args>
std::string Format(std::string_view format, const Args&... args) {
    const text_detail::TFormatArg values[] = {text_detail::MakeFormatArg(args)..., text_detail::TFormatArg()};
    return text_detail::Substitute(format, std::span<const text_detail::TFormatArg>(values, sizeof...(Args)));
}

// The kinds of the placeholders of a text, in order: "s" text, "i" integer,
// "f" real, "?" anything else after a "%" ("%%" is none). Two texts take the
// same values when their kinds are equal.
std::string PlaceholderKinds(std::string_view text);
