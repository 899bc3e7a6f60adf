// Decides where a status line goes: a log line with an icon kind, a progress
// update, or nothing (a filtered level). The log page and the command line's
// printer share it, so both read the tools' lines the same way.
#pragma once

#include <string>
#include <string_view>

enum class TIconType { iconNone, iconDebug, iconWarning, iconInformation, iconAssertion, iconError, iconUnknown };

struct TRoutedLine {
    enum class TKind { Log, Progress, Hidden };
    TKind Kind = TKind::Log;
    TIconType Icon = TIconType::iconNone;
    bool IsLogElement = false;  // a <log> element, as opposed to a plain text line
    std::string Level;          // the element's level as written; empty for plain text
    std::string Text;           // what the log shows; the progress message for progress
    int Position = 0;           // progress position, 0..100
};

struct TStatusRouterOptions {
    bool Verbose = true;       // debug lines are shown
    bool ShowWarnings = true;  // warning lines are shown
};

// A progress position as text: its integer value limited to 0..100, 0 when it is not an integer.
int ProgressPosition(std::string_view text);

// The icon of a plain line: "successfully" is information, "syntax error" an
// error, a line beginning with "WARNING" a warning, with "ERROR" an error.
TIconType PlainLineIcon(std::string_view line);

TRoutedLine RouteStatusLine(std::string_view line, const TStatusRouterOptions& options);
