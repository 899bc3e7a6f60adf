#include <gtest/gtest.h>

#include "exec/execute_status.h"
#include "exec/status_lines.h"

TEST(ExecuteStatus, FlagsGiveExactlyOneOutcomeOrNone) {
    TExecuteStatus status;
    EXPECT_FALSE(status.IsSucceeded() || status.IsFailed() || status.IsCancelled());
    status.SetFailed();
    EXPECT_TRUE(status.IsFailed());
    status.SetSucceeded();
    EXPECT_TRUE(status.IsSucceeded());
    status.SetCancelled();
    EXPECT_TRUE(status.IsCancelled());
    EXPECT_FALSE(status.IsSucceeded() || status.IsFailed());
    status.SuccessLines = {"x"};
    status.Reset();
    EXPECT_FALSE(status.Started || status.Finished || status.Cancelled || !status.SuccessLines.empty());
}

TEST(ExecuteStatus, FormatsMessageBlocks) {
    struct TCase {
        TStringList Lines;
        std::string Title;
        std::string Expected;
    };
    const TCase cases[] = {
        {{}, "Title", ""},
        {{" : reason "}, "Title", "Title\r      reason  \r"},
        {{"one\r\ntwo", "::three"}, "", "      one  \r      two  \r      :three  \r"},
        {{""}, "T", "T\r        \r"},
    };
    for (const TCase& c : cases) EXPECT_EQ(FormatMessageBlock(c.Lines, c.Title), c.Expected) << c.Title;

    TExecuteStatus status;
    status.ErrorLines = {"disc full"};
    status.WarningLines = {"slow"};
    EXPECT_EQ(status.FormatFailure("\"%s\" execution failed:", "vcdxbuild"),
              "\"vcdxbuild\" execution failed:\r      disc full  \r");
    EXPECT_EQ(status.FormatWarnings(), "      slow  \r");
    EXPECT_EQ(status.FormatSuccess("%s", "x"), "");
}

TEST(StatusLines, ProducersAndConsumersAgree) {
    const std::string log = MakeLogStatusLine(LogLevel::Warning, "Disc almost full");
    EXPECT_EQ(log, "<log level=\"warning\">Disc almost full</log>");
    EXPECT_TRUE(IsElement(log, "log"));
    EXPECT_EQ(AttributeValue(log, "LEVEL"), "warning");
    EXPECT_EQ(LogElementText(log), "Disc almost full");

    const std::string progress = MakeProgressStatusLine("Writing", 42);
    EXPECT_EQ(progress, "<guiprogress message=\"Writing\" position=\"42\" />");
    EXPECT_TRUE(IsElement(progress, "guiprogress"));
    EXPECT_EQ(AttributeValue(progress, "position"), "42");
    EXPECT_EQ(AttributeValue(progress, "message"), "Writing");
    EXPECT_EQ(AttributeValue(progress, "size"), "");
}

TEST(StatusLines, ElementTestLooksAtTheVeryStart) {
    struct TCase {
        const char* Line;
        bool IsLog;
    };
    const TCase cases[] = {{"<log>x</log>", true},  {"<log level=\"error\">x</log>", true},
                           {"<logx>", false},       {" <log>x</log>", false},
                           {"<Log>x</Log>", false}, {"<log", false}};
    for (const TCase& c : cases) EXPECT_EQ(IsElement(c.Line, "log"), c.IsLog) << c.Line;
}

TEST(StatusLines, AttributeValuesAreTrimmedAndNeedALeadingBlank) {
    EXPECT_EQ(AttributeValue("<a x=\" padded \">", "x"), "padded");
    EXPECT_EQ(AttributeValue("<a xx=\"1\">", "x"), "");
    EXPECT_EQ(AttributeValue("<a x=\"unterminated", "x"), "unterminated");
    EXPECT_EQ(LogElementText("<log level=\"information\">  spaced  </log>"), "  spaced");
}

TEST(ExecuteStatus, AFloodOfRemarksKeepsOnlyTheFirstOnes) {
    TExecuteStatus status;
    for (int i = 0; i < 2500; ++i) {
        status.ErrorLines.push_back("error " + std::to_string(i));
        status.KeepBounded();
    }
    status.WarningLines = {"one warning"};
    status.KeepBounded();
    ASSERT_EQ(status.ErrorLines.size(), TExecuteStatus::MaxStatusLines + 1);
    EXPECT_EQ(status.ErrorLines.front(), "error 0");
    EXPECT_EQ(status.ErrorLines[TExecuteStatus::MaxStatusLines - 1], "error 999");
    EXPECT_EQ(status.ErrorLines.back(), "...");
    EXPECT_EQ(status.WarningLines, TStringList{"one warning"});
}
