#include "vcdimager/command_vcd.h"

#include <charconv>
#include <cstdio>
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
    const bool breaksQuoting = path.find_first_of("\"\\\r\n\t") != std::string::npos;
    if (!breaksQuoting && IsValidUtf8(path) && !HasControlCharacter(path)) return "";
    const std::string shown = EscapedFileName(path);
    if (breaksQuoting)
        return Translate("Double quotes, backslashes, tabs and line breaks in filenames are not allowed") + ": " +
               shown;
    // The name could not be written faithfully into the descriptions and project files.
    return Translate("Control characters and invalid characters in filenames are not allowed") + ": " + shown;
}

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        std::uint32_t code = length == 1 ? c : c & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        // Over-long forms, surrogates and values past Unicode are not characters.
        static constexpr std::uint32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < Smallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
        i += length;
    }
    return true;
}

bool HasControlCharacter(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

std::string EscapedFileName(std::string_view name) {
    std::string shown;
    const bool valid = IsValidUtf8(name);
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || (!valid && byte >= 0x80)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            shown += c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '\t' ? "\\t" : hex;
        } else {
            shown += c;
        }
    }
    return shown;
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

void TCommandVcd::FailAfterRun(const std::string& reason) {
    Failed = true;
    Status.SetFailed();
    // The filter files an error line among the reasons; a filter that does not gets it here.
    EmitLine(MakeLogStatusLine(LogLevel::Error, reason));
    if (Status.ErrorLines.empty() || Status.ErrorLines.back() != reason) Status.ErrorLines.push_back(reason);
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
