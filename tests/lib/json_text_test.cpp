#include "lib/json_text.h"

#include <gtest/gtest.h>

namespace {

// A strict check of UTF-8, independent of the code under test.
bool ValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > text.size()) return false;
        std::uint32_t point = n == 1 ? c : c & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            point = (point << 6) | (next & 0x3F);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < least[n] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return false;
        i += n;
    }
    return true;
}

TEST(JsonQuoted, EscapesAndKeepsTheOutputValidUtf8) {
    struct TCase {
        std::string Text;
        std::string Json;
    };
    const std::string fffd = "\xEF\xBF\xBD";
    const TCase cases[] = {
        {"plain", "\"plain\""},
        {"a\"b\\c\nd\te\x01", "\"a\\\"b\\\\c\\nd\\te\\u0001\""},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAC", "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAC\""},
        {"caf\xE9.mpg", "\"caf" + fffd + ".mpg\""},                     // Latin-1 name
        {"\xC3", "\"" + fffd + "\""},                                   // cut sequence
        {"\xC0\xAF", "\"" + fffd + fffd + "\""},                        // overlong "/"
        {"\xED\xA0\x80", "\"" + fffd + fffd + fffd + "\""},             // surrogate
        {"\xF4\x90\x80\x80", "\"" + fffd + fffd + fffd + fffd + "\""},  // beyond U+10FFFF
        {"\x80x\xFF", "\"" + fffd + "x" + fffd + "\""},
    };
    for (const TCase& c : cases) {
        const std::string json = JsonQuoted(c.Text);
        EXPECT_EQ(json, c.Json);
        EXPECT_TRUE(ValidUtf8(json)) << json;
    }
}

}  // namespace
