#include "vcdimager/command_vcd.h"

#include <charconv>
#include <optional>
#include <utility>

#include "environment/detected_tools.h"
#include "exec/status_lines.h"
#include "settings/language.h"

namespace {

__extension__ typedef __int128 TWide;

std::optional<std::int64_t> ParseInt64(std::string_view text) {
    const std::string trimmed = Trim(text);
    std::int64_t value = 0;
    const char* end = trimmed.data() + trimmed.size();
    const auto [at, error] = std::from_chars(trimmed.data(), end, value);
    if (trimmed.empty() || error != std::errc() || at != end) return std::nullopt;
    return value;
}

// The file name part of a progress id (a sequence id or a ripped file's path).
std::string FileNamePart(const std::string& id) {
    const std::size_t slash = id.find_last_of("/\\");
    return slash == std::string::npos ? id : id.substr(slash + 1);
}

int Percentage(std::optional<std::int64_t> position, std::optional<std::int64_t> size, std::int64_t origin) {
    if (!position || !size) return 0;
    const TWide range = TWide{*size} - origin;
    if (range == 0) return 100;
    const TWide percent = (TWide{*position} - origin) * 100 / range;
    return percent < 0 ? 0 : percent > 100 ? 100 : static_cast<int>(percent);
}

bool IsBannerLine(const std::string& line) {
    return ContainsText(line, "this is the UNSTABLE development branch") ||
           ContainsText(line, "use only if you know what you are doing") || ContainsText(line, "for more information");
}

}  // namespace

std::string VcdImagerProgram(const std::string& name) {
    std::string folder = DetectedTools().VcdImagerFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder + name;
}

std::string RefusedToolPathMessage(const std::string& path) {
    if (path.find_first_of("\"\\\r\n\t") == std::string::npos) return "";
    std::string shown = ReplaceAll(path, "\r", "\\r");
    shown = ReplaceAll(shown, "\n", "\\n");
    shown = ReplaceAll(shown, "\t", "\\t");
    return Translate("Double quotes, backslashes, tabs and line breaks in filenames are not allowed") + ": " + shown;
}

std::string VcdProgressLine(std::string_view element, std::string& lastId, std::int64_t& origin) {
    const std::string operation = LowerCase(AttributeValue(element, "operation"));
    const std::string id = AttributeValue(element, "id");
    const std::optional<std::int64_t> position = ParseInt64(AttributeValue(element, "position"));
    std::string message;
    if (operation == "scan") {
        message = Format(Translate("Scanning %s"), FileNamePart(id)) + "...";
    } else if (operation == "write") {
        message = Translate("Writing CD image file") + "...";
    } else if (operation == "extract") {
        if (id != lastId) {
            lastId = id;
            origin = position.value_or(0);
        }
        message = Format(Translate("Ripping %s"), FileNamePart(id)) + "...";
    }
    // The message becomes an attribute value.
    message = ReplaceAll(message, "\"", "'");
    return MakeProgressStatusLine(message, Percentage(position, ParseInt64(AttributeValue(element, "size")), origin));
}

TCommandVcd::TCommandVcd(TCommandSetup setup) : TCommandGui2Console(std::move(setup)) {
    if (const auto* param = dynamic_cast<const TVcdImagerParam*>(Param.get())) ToolsComplete = param->ToolsComplete;
}

void TCommandVcd::FilterLine(std::string& line) {
    if (IsBannerLine(line)) {
        line.clear();
    } else if (IsElement(line, "progress")) {
        line = VcdProgressLine(line, LastProgressId, ProgressOrigin);
    } else if (IsElement(line, "log")) {
        const std::string text = LogElementText(line);
        const std::string level = AttributeValue(line, "level");
        if (text.empty())
            line.clear();
        else if (level == LogLevel::Error)
            Status.ErrorLines.push_back(text);
        else if (level == LogLevel::Debug && ContainsText(line, "EEL sysid"))
            line.clear();
    } else if (StartsText(line, "**ERROR:")) {
        Status.ErrorLines.push_back(Trim(RemoveFirstText(line, "**ERROR:")));
    } else if (StartsText(line, "error")) {
        Status.ErrorLines.push_back(Trim(RemoveFirstText(line, "error")));
    }
}

void TCommandVcd::RefuseRun(const std::string& message) {
    // Nothing was written yet: the run fails with the reason, and no clean-up runs.
    Failed = true;
    EmitLine(MakeLogStatusLine(LogLevel::Error, message));
    Status.SetFailed();
}

void TCommandVcd::BeforeStart(bool& proceed) {
    if (proceed) {
        for (const std::string& path : ToolPaths()) {
            const std::string refusal = RefusedToolPathMessage(path);
            if (refusal.empty()) continue;
            RefuseRun(refusal);
            proceed = false;
            return;
        }
        const std::string& version = DetectedTools().VcdImagerVersion;
        if (!version.empty()) EmitLine(MakeLogStatusLine(LogLevel::Information, version));
    }
    LastProgressId.clear();
    ProgressOrigin = 0;
}
