#include "exec/status_router.h"

#include <algorithm>
#include <charconv>

#include "exec/status_lines.h"
#include "lib/text.h"

int ProgressPosition(std::string_view text) {
    const std::string trimmed = Trim(text);
    long long value = 0;
    const char* first = trimmed.data();
    const char* last = first + trimmed.size();
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (trimmed.empty() || error == std::errc::invalid_argument || end != last) return 0;
    if (error == std::errc::result_out_of_range) return trimmed[0] == '-' ? 0 : 100;
    return static_cast<int>(std::clamp<long long>(value, 0, 100));
}

TIconType PlainLineIcon(std::string_view line) {
    if (ContainsText(line, "successfully")) return TIconType::iconInformation;
    if (ContainsText(line, "syntax error")) return TIconType::iconError;
    if (StartsText(line, "WARNING")) return TIconType::iconWarning;
    if (StartsText(line, "ERROR")) return TIconType::iconError;
    return TIconType::iconInformation;
}

namespace {

TRoutedLine RouteLogElement(std::string_view line, const TStatusRouterOptions& options) {
    TRoutedLine routed;
    routed.IsLogElement = true;
    routed.Level = AttributeValue(line, "level");
    routed.Text = LogElementText(line);
    const std::string level = LowerCase(routed.Level);
    if (level == LogLevel::Information) {
        routed.Icon = TIconType::iconInformation;
    } else if (level == LogLevel::Warning) {
        routed.Icon = TIconType::iconWarning;
        if (!options.ShowWarnings) routed.Kind = TRoutedLine::TKind::Hidden;
    } else if (level == LogLevel::Debug) {
        routed.Icon = TIconType::iconDebug;
        if (!options.Verbose) routed.Kind = TRoutedLine::TKind::Hidden;
    } else if (level == LogLevel::Error) {
        routed.Icon = TIconType::iconError;
    } else if (level == LogLevel::Unknown) {
        routed.Icon = TIconType::iconUnknown;
    } else if (level == LogLevel::Assertion) {
        routed.Icon = TIconType::iconAssertion;
    } else {
        // An element of a level nobody knows is shown whole, tags included.
        routed.Icon = TIconType::iconNone;
        routed.Text = std::string(line);
    }
    return routed;
}

}  // namespace

TRoutedLine RouteStatusLine(std::string_view line, const TStatusRouterOptions& options) {
    if (line.empty()) return {TRoutedLine::TKind::Log, TIconType::iconInformation, false, "", "", 0};
    if (IsElement(line, "log")) return RouteLogElement(line, options);
    if (IsElement(line, "guiprogress")) {
        TRoutedLine routed;
        routed.Kind = TRoutedLine::TKind::Progress;
        routed.Text = AttributeValue(line, "message");
        routed.Position = ProgressPosition(AttributeValue(line, "position"));
        return routed;
    }
    TRoutedLine routed;
    routed.Icon = PlainLineIcon(line);
    routed.Text = std::string(line);
    return routed;
}
