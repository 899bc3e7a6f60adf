// TCommandVcd is the base of the commands that run a VCDImager program in its
// "--gui" mode: it turns the tool's progress elements into progress lines,
// drops the banner and collects the error texts for the failure message.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exec/command_gui2console.h"

// Base of the parameter records of the VCDImager commands.
class TVcdImagerParam : public TCommandParam {
public:
    bool ToolsComplete = false;  // every VCDImager program was found
};

// The program as the runner starts it: the detected VCDImager folder and the
// name, or the bare name (looked up on PATH) when no folder was detected.
std::string VcdImagerProgram(const std::string& name);

// Empty when the path may go onto a tool's command line and into the XML
// descriptions; otherwise the message that refuses it. A double quote, a
// backslash, a line break or a tab would break the quoting of the command
// line; other control characters and bytes that are not UTF-8 cannot be
// carried by an XML file.
std::string RefusedToolPathMessage(const std::string& path);
bool IsValidUtf8(std::string_view text);
bool HasControlCharacter(std::string_view text);
// The name as a message can show it: control characters and stray bytes as escapes.
std::string EscapedFileName(std::string_view name);

// The progress status line for a "--gui" progress element. `lastId` and
// `origin` carry the "extract" state from one element to the next.
std::string VcdProgressLine(std::string_view element, std::string& lastId, std::int64_t& origin);

class TCommandVcd : public TCommandGui2Console {
public:
    explicit TCommandVcd(TCommandSetup setup);

    bool ToolsComplete = false;
    std::string LastProgressId;
    std::int64_t ProgressOrigin = 0;

    void FilterLine(std::string& line) override;
    void BeforeStart(bool& proceed) override;

protected:
    // Ends the run before the tool starts, failed, with `message` as the reason.
    void RefuseRun(const std::string& message);
    // Turns a run the tool ended well into a failure, with `reason` (the
    // end hooks, when what the tool wrote is not what it should be).
    void FailAfterRun(const std::string& reason);
    // The paths that go onto the command line, checked before the tool starts.
    virtual std::vector<std::string> ToolPaths() const { return {}; }
};
