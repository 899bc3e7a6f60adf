#include "lib/text.h"

#include <gtest/gtest.h>

TEST(Text, SplitLinesTakesCrLfAndCrLfAsOneBreak) {
    struct Case {
        std::string Text;
        TStringList Lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\n", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\n\nb", {"a", "", "b"}},
        {"\r\n", {""}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitLines(c.Text), c.Lines) << c.Text;
}

TEST(Text, CaseInsensitiveSearches) {
    EXPECT_EQ(FindText("Hello World", "WORLD"), 6u);
    EXPECT_EQ(FindText("Hello", "x"), std::string::npos);
    EXPECT_TRUE(StartsText("ERROR: x", "error:"));
    EXPECT_FALSE(StartsText("ERR", "error"));
    EXPECT_TRUE(EndsText("file.MPG", ".mpg"));
    EXPECT_EQ(RemoveFirstText("a INFO: b info: c", "info:"), "a  b info: c");
    EXPECT_EQ(ReplaceFirstText("a INFO: b info: c", "info:", "x"), "a x b info: c");
    EXPECT_EQ(ReplaceFirstText("abc", "z", "y"), "abc");
}

TEST(Text, FormatTakesStringsAndNumbers) {
    EXPECT_EQ(Format("\"%s\" execution %s.", std::string("VCDxBuild"), std::string("failed")),
              "\"VCDxBuild\" execution failed.");
    EXPECT_EQ(Format("%s  Error Code :%0d", std::string("Error Creating Process"), 2),
              "Error Creating Process  Error Code :2");
    EXPECT_EQ(ZeroPad(7, 4), "0007");
    EXPECT_EQ(Trim("  \t a b \r\n"), "a b");
}

// Format fills placeholders itself: the conversions the program writes give
// what printf would give, and a text that printf would crash on (a value of
// another kind, missing values, "%n", huge widths) is shown safely.
TEST(Text, FormatSubstitutesSafely) {
    const std::string text = "abc";
    struct Case {
        std::string Shown;
        std::string Expected;
    };
    const Case cases[] = {
        {Format("%04u-%02u-%02u", 2026u, 7u, 3u), "2026-07-03"},
        {Format("%08X", 0xDEADBEEFu), "DEADBEEF"},
        {Format("%.2f KB", 12.345), "12.35 KB"},
        {Format("%3d%% ", 7), "  7% "},
        {Format("%02lld:%02lld", 5LL, 61LL), "05:61"},
        {Format("[%-5s|%5s|%.2s]", text, text, text), "[abc  |  abc|ab]"},
        {Format("%u", -1), "-1"},
        {Format("%x", 255), "ff"},
        // Kinds swapped: each value shown as it is.
        {Format("%d then %s", text, 42), "abc then 42"},
        {Format("%s and %f", 3, text), "3 and abc"},
        // Fewer values than placeholders: the rest stays as written.
        {Format("%s %s %d", text), "abc %s %d"},
        // Unknown and dangerous conversions are text, and take no value.
        {Format("%n%p%s%q", text), "%n%pabc%q"},
        {Format("50%", 1), "50%"},
        {Format("%s and %s", "a literal", std::string("a string")), "a literal and a string"},
        {Format("<%s>", std::string_view("abcdef").substr(1, 2)), "<bc>"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.Shown, c.Expected);
    EXPECT_LE(Format("%999999999d|%.999999999f|%999999999s", 1, 2.0, text).size(), 1000u);
    EXPECT_EQ(ZeroPad(-5, 4), "-005");
    EXPECT_EQ(ZeroPad(123456, 3), "123456");
}

TEST(Text, PlaceholderKindsTellWhatATextTakes) {
    EXPECT_EQ(PlaceholderKinds("No values, 100%% sure"), "");
    EXPECT_EQ(PlaceholderKinds("%s of %d at %.2f"), "sif");
    EXPECT_EQ(PlaceholderKinds("%-5s %03u %lld %X"), "siii");
    EXPECT_EQ(PlaceholderKinds("%n %p %"), "???");
}
