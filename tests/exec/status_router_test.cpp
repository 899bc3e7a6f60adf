#include "exec/status_router.h"

#include <gtest/gtest.h>

#include "exec/status_lines.h"

namespace {

using TKind = TRoutedLine::TKind;

struct TRouteCase {
    const char* Line;
    bool Verbose;
    bool ShowWarnings;
    TKind Kind;
    TIconType Icon;
    const char* Text;
};

TEST(StatusRouter, RoutesEveryLevelAndPlainLine) {
    const TRouteCase cases[] = {
        {"<log level=\"information\">Scanning</log>", true, true, TKind::Log, TIconType::iconInformation, "Scanning"},
        {"<log level=\"INFORMATION\">Upper</log>", true, true, TKind::Log, TIconType::iconInformation, "Upper"},
        {"<log level=\"warning\">odd packet</log>", true, true, TKind::Log, TIconType::iconWarning, "odd packet"},
        {"<log level=\"warning\">odd packet</log>", true, false, TKind::Hidden, TIconType::iconWarning, "odd packet"},
        {"<log level=\"debug\">detail</log>", true, true, TKind::Log, TIconType::iconDebug, "detail"},
        {"<log level=\"debug\">detail</log>", false, true, TKind::Hidden, TIconType::iconDebug, "detail"},
        {"<log level=\"error\">broken</log>", false, false, TKind::Log, TIconType::iconError, "broken"},
        {"<log level=\"unknown\">what</log>", false, false, TKind::Log, TIconType::iconUnknown, "what"},
        {"<log level=\"assertion\">bug</log>", false, false, TKind::Log, TIconType::iconAssertion, "bug"},
        {"<log level=\"chatter\">x</log>", true, true, TKind::Log, TIconType::iconNone,
         "<log level=\"chatter\">x</log>"},
        {"", true, true, TKind::Log, TIconType::iconInformation, ""},
        {"Image built successfully", true, true, TKind::Log, TIconType::iconInformation, "Image built successfully"},
        {"line 3: Syntax Error near x", true, true, TKind::Log, TIconType::iconError, "line 3: Syntax Error near x"},
        {"warning: low space", true, true, TKind::Log, TIconType::iconWarning, "warning: low space"},
        {"ERROR no disc", true, true, TKind::Log, TIconType::iconError, "ERROR no disc"},
        {"a WARNING inside", true, true, TKind::Log, TIconType::iconInformation, "a WARNING inside"},
    };
    for (const TRouteCase& c : cases) {
        const TRoutedLine routed = RouteStatusLine(c.Line, {c.Verbose, c.ShowWarnings});
        EXPECT_EQ(routed.Kind, c.Kind) << c.Line;
        EXPECT_EQ(routed.Icon, c.Icon) << c.Line;
        EXPECT_EQ(routed.Text, c.Text) << c.Line;
    }
}

TEST(StatusRouter, ProgressPositionIsLimitedAndNonNumbersAreZero) {
    const std::pair<const char*, int> cases[] = {{"42", 42},   {"150", 100}, {"-3", 0},
                                                 {"abc", 0},   {"", 0},      {"12abc", 0},
                                                 {"100", 100}, {"0", 0},     {"99999999999999999999", 100}};
    for (const auto& [position, expected] : cases) {
        const std::string line = "<guiprogress message=\"Writing\" position=\"" + std::string(position) + "\" />";
        const TRoutedLine routed = RouteStatusLine(line, {});
        EXPECT_EQ(routed.Kind, TKind::Progress) << position;
        EXPECT_EQ(routed.Position, expected) << position;
        EXPECT_EQ(routed.Text, "Writing");
    }
}

}  // namespace
