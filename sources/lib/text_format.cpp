// Our own placeholder substitution. Texts, translated ones included, are read
// here and never passed to printf; only the conversion of one number goes
// through snprintf, with a conversion pattern built here from checked pieces.
#include <algorithm>
#include <cstdio>
#include <optional>

#include "lib/text.h"

namespace {

using text_detail::TFormatArg;

// Width and precision beyond this are cut: a text cannot ask for megabytes.
constexpr std::size_t MaxFieldSize = 256;

struct TPlaceholder {
    std::string Flags;
    std::size_t Width = 0;
    std::optional<std::size_t> Precision;
    char Conversion = 0;     // 0: the text ended inside the placeholder
    std::size_t Length = 0;  // characters of the whole placeholder, "%" included
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t ReadNumber(std::string_view text, std::size_t& pos) {
    std::size_t value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos)
        value = std::min(value * 10 + (text[pos] - '0'), MaxFieldSize);
    return value;
}

// The placeholder that starts with the "%" at `start`.
TPlaceholder ReadPlaceholder(std::string_view text, std::size_t start) {
    TPlaceholder placeholder;
    std::size_t pos = start + 1;
    for (; pos < text.size() && std::string_view("-+ #0").find(text[pos]) != std::string_view::npos; ++pos)
        if (placeholder.Flags.find(text[pos]) == std::string::npos) placeholder.Flags += text[pos];
    placeholder.Width = ReadNumber(text, pos);
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        placeholder.Precision = ReadNumber(text, pos);
    }
    while (pos < text.size() && std::string_view("hlLqjzt").find(text[pos]) != std::string_view::npos) ++pos;
    if (pos < text.size()) placeholder.Conversion = text[pos++];
    placeholder.Length = pos - start;
    return placeholder;
}

char KindOf(char conversion) {
    if (conversion == 's') return 's';
    if (std::string_view("diuxXo").find(conversion) != std::string_view::npos) return 'i';
    if (std::string_view("fFeEgG").find(conversion) != std::string_view::npos) return 'f';
    return '?';
}

std::string Pad(std::string text, const TPlaceholder& placeholder) {
    if (text.size() >= placeholder.Width) return text;
    const std::size_t fill = placeholder.Width - text.size();
    if (placeholder.Flags.find('-') != std::string::npos) return text.append(fill, ' ');
    return std::string(fill, ' ') + text;
}

// One number through snprintf with a conversion pattern of our own making.
template <typename T>
std::string Number(const TPlaceholder& placeholder, std::string_view lengthModifier, char conversion, T value) {
    std::string pattern = "%" + placeholder.Flags;
    if (placeholder.Width > 0) pattern += std::to_string(placeholder.Width);
    if (placeholder.Precision) pattern += "." + std::to_string(*placeholder.Precision);
    pattern += lengthModifier;
    pattern += conversion;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    char buffer[2 * MaxFieldSize + 400];
    const int size = std::snprintf(buffer, sizeof buffer, pattern.c_str(), value);
#pragma GCC diagnostic pop
    if (size < 0) return {};
    return std::string(buffer, std::min(static_cast<std::size_t>(size), sizeof buffer - 1));
}

std::string Render(const TPlaceholder& placeholder, const TFormatArg& arg) {
    const char kind = KindOf(placeholder.Conversion);
    if (const auto* text = std::get_if<std::string_view>(&arg)) {
        std::string value(*text);
        if (kind == 's' && placeholder.Precision) value = Utf8Prefix(value, *placeholder.Precision);
        return Pad(std::move(value), placeholder);
    }
    if (const auto* real = std::get_if<double>(&arg))
        return Number(placeholder, "", kind == 'f' ? placeholder.Conversion : 'g', *real);
    const char conversion = kind == 'i' ? placeholder.Conversion : 'd';
    const bool decimal = conversion == 'd' || conversion == 'i';
    if (const auto* whole = std::get_if<long long>(&arg)) {
        // A negative number keeps its sign whatever the conversion asks.
        if (decimal || *whole < 0) return Number(placeholder, "ll", 'd', *whole);
        return Number(placeholder, "ll", conversion, static_cast<unsigned long long>(*whole));
    }
    return Number(placeholder, "ll", decimal ? 'u' : conversion, std::get<unsigned long long>(arg));
}

}  // namespace

std::string text_detail::Substitute(std::string_view format, std::span<const TFormatArg> args) {
    std::string result;
    std::size_t next = 0;
    std::size_t pos = 0;
    while (pos < format.size()) {
        const std::size_t percent = format.find('%', pos);
        result.append(format.substr(pos, percent == std::string_view::npos ? std::string_view::npos : percent - pos));
        if (percent == std::string_view::npos) break;
        if (percent + 1 < format.size() && format[percent + 1] == '%') {
            result += '%';
            pos = percent + 2;
            continue;
        }
        const TPlaceholder placeholder = ReadPlaceholder(format, percent);
        if (KindOf(placeholder.Conversion) == '?' || next >= args.size())
            result.append(format.substr(percent, placeholder.Length));
        else
            result += Render(placeholder, args[next++]);
        pos = percent + placeholder.Length;
    }
    return result;
}

std::string PlaceholderKinds(std::string_view text) {
    std::string kinds;
    for (std::size_t pos = text.find('%'); pos != std::string_view::npos; pos = text.find('%', pos)) {
        if (pos + 1 < text.size() && text[pos + 1] == '%') {
            pos += 2;
            continue;
        }
        const TPlaceholder placeholder = ReadPlaceholder(text, pos);
        kinds += KindOf(placeholder.Conversion);
        pos += placeholder.Length;
    }
    return kinds;
}
