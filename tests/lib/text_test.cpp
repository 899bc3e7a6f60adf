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
}

TEST(Text, FormatTakesStringsAndNumbers) {
    EXPECT_EQ(Format("\"%s\" execution %s.", std::string("VCDxBuild"), std::string("failed")),
              "\"VCDxBuild\" execution failed.");
    EXPECT_EQ(Format("%s  Error Code :%0d", std::string("Error Creating Process"), 2),
              "Error Creating Process  Error Code :2");
    EXPECT_EQ(ZeroPad(7, 4), "0007");
    EXPECT_EQ(Trim("  \t a b \r\n"), "a b");
}
