#include "vcdimager/mpeg_analysis_parser.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <span>

#include "exec/status_lines.h"
#include "model/mpeg_file.h"

namespace {

std::optional<std::int64_t> WholeNumber(std::string_view text) {
    const std::string trimmed = Trim(text);
    std::int64_t value = 0;
    const char* end = trimmed.data() + trimmed.size();
    const auto [stop, error] = std::from_chars(trimmed.data(), end, value);
    if (trimmed.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// The trimmed text between `from` and `to` (any case); empty when either is missing.
std::string TextBetween(std::string_view text, std::string_view from, std::string_view to) {
    const std::size_t start = FindText(text, from);
    if (start == std::string_view::npos) return "";
    const std::size_t begin = start + from.size();
    const std::size_t stop = FindText(text, to, begin);
    if (stop == std::string_view::npos) return "";
    return Trim(text.substr(begin, stop - begin));
}

std::string Indented(int blanks, const std::string& line) {
    return std::string(static_cast<std::size_t>(blanks), ' ') + line;
}

// What the parser remembers from one line to the next.
struct TParseState {
    bool InVideo = false;
    bool InAudio = false;
    std::string StreamIndex;
    bool UserDataSeen = false;
};

// The defect notes the tool writes as log lines.
void NoteDefects(TMpegFile& file, std::string& line, TParseState& state) {
    if (IsElementLine(line, "log") && line.find("gnu vcdimager") != std::string::npos) line.clear();

    if (line.find("unknown user data tag id") != std::string::npos) {
        if (state.UserDataSeen) {
            line.clear();
        } else {
            line = MakeLogStatusLine(
                LogLevel::Warning,
                LogElementText(line) + " " + "(not a problem, most likely caused by a specific MPEG encoder)");
            file.SetUserDataWarning(LogElementText(line));
            state.UserDataSeen = true;
        }
    }
    if (line.find("consider enabling the 'update scan offsets' option, if it is not enabled already!") !=
        std::string::npos)
        file.SetScanOffsetsHint(true);
    if (line.find("mpeg stream will be padded on the fly") != std::string::npos)
        file.SetPaddingWarning(LogElementText(line));
    if (line.find("autopadding requires to insert additional") != std::string::npos)
        file.SetAutopaddingWarning(LogElementText(line));
    if (line.find("bad packet at packet") != std::string::npos) {
        const std::string text = LogElementText(line);
        if (IsHarmlessBadPacket(text))
            line.clear();
        else
            file.SetBadPacketWarning(text);
    }
}

// The file-level values; true when the line was one of them.
bool ParseFileLevel(TMpegFile& file, std::string& line, const TParseState& state) {
    using TSetter = void (TMpegFile::*)(std::string_view);
    struct TFileValue {
        const char* Tag;
        TSetter Set;
    };
    static const TFileValue values[] = {{"version", &TMpegFile::SetMpegVersion},
                                        {"playing-time", &TMpegFile::SetPlayingTime},
                                        {"pts-offset", &TMpegFile::SetPtsOffset},
                                        {"packets", &TMpegFile::SetPackets},
                                        {"bit-rate", &TMpegFile::SetBitrate}};
    for (const TFileValue& value : values) {
        if (!IsElementLine(line, value.Tag)) continue;
        if (std::string_view(value.Tag) == "bit-rate" && (state.InVideo || state.InAudio)) return false;
        (file.*value.Set)(ElementContent(line, value.Tag));
        line = Indented(4, line);
        return true;
    }
    return false;
}

bool ParseStreamBoundaries(TMpegFile& file, std::string& line, TParseState& state) {
    if (IsElementLine(line, "ogt-stream")) {
        file.AddOgtStream(AttributeValue(line, "index"));
    } else if (IsElementLine(line, "video-stream")) {
        state.InVideo = true;
        state.InAudio = false;
        state.StreamIndex = AttributeValue(line, "index");
    } else if (IsElementLine(line, "audio-stream")) {
        state.InAudio = true;
        state.InVideo = false;
        state.StreamIndex = AttributeValue(line, "index");
    } else if (IsClosingLine(line, "video-stream")) {
        state.InVideo = false;
    } else if (IsClosingLine(line, "audio-stream")) {
        state.InAudio = false;
    } else {
        return false;
    }
    line = Indented(4, line);
    return true;
}

void ParseStreamValue(TMpegFile& file, std::string& line, const TParseState& state) {
    using TSetter = void (TMpegFile::*)(std::string_view, std::string_view);
    struct TStreamValue {
        const char* Tag;
        TSetter Set;
    };
    static const TStreamValue video[] = {{"horizontal-size", &TMpegFile::SetVideoHorizontalSize},
                                         {"vertical-size", &TMpegFile::SetVideoVerticalSize},
                                         {"frame-rate", &TMpegFile::SetVideoFrameRate},
                                         {"bit-rate", &TMpegFile::SetVideoBitrate}};
    static const TStreamValue audio[] = {{"layer", &TMpegFile::SetAudioLayer},
                                         {"sampling-frequency", &TMpegFile::SetAudioSamplingFrequency},
                                         {"bit-rate", &TMpegFile::SetAudioBitrate},
                                         {"mode", &TMpegFile::SetAudioMode}};
    if (state.InVideo && StartsWith(line, "<aps packet")) {
        const std::size_t open = line.find('>');
        const std::size_t close = line.find("</aps>");
        if (open != std::string::npos && close != std::string::npos && close > open)
            file.AddApsTime(Trim(std::string_view(line).substr(open + 1, close - open - 1)));
        line = Indented(8, line);
        return;
    }
    if (!state.InVideo && !state.InAudio) return;
    for (const TStreamValue& value :
         state.InVideo ? std::span<const TStreamValue>(video) : std::span<const TStreamValue>(audio)) {
        if (!IsElementLine(line, value.Tag)) continue;
        (file.*value.Set)(ElementContent(line, value.Tag), state.StreamIndex);
        line = Indented(6, line);
        return;
    }
}

void ParseLine(TMpegFile& file, std::string& line, TParseState& state) {
    line = Trim(LowerCase(line));
    NoteDefects(file, line, state);
    if (IsElementLine(line, "log") || IsElementLine(line, "mpeg-info")) return;
    if (IsClosingLine(line, "mpeg-info")) {
        file.SetAnalysed(true);
        return;
    }
    if (IsElementLine(line, "mpeg-properties") || IsClosingLine(line, "mpeg-properties")) {
        state.InVideo = state.InAudio = false;
        state.StreamIndex.clear();
        line = Indented(2, line);
        return;
    }
    if (IsElementLine(line, "aps-list") || IsClosingLine(line, "ogt-stream") || StartsWith(line, "<!--")) {
        line = Indented(6, line);
        return;
    }
    if (IsClosingLine(line, "aps-list")) {
        file.SortApsTimes();
        line = Indented(6, line);
        return;
    }
    if (ParseFileLevel(file, line, state)) return;
    if (ParseStreamBoundaries(file, line, state)) return;
    ParseStreamValue(file, line, state);
}

}  // namespace

bool IsElementLine(std::string_view line, std::string_view tag) { return IsElement(line, tag); }

bool IsClosingLine(std::string_view line, std::string_view tag) {
    return StartsWith(line, std::string("</").append(tag).append(">"));
}

std::string ElementContent(std::string_view line, std::string_view tag) {
    std::string text(line);
    const std::string open = std::string("<").append(tag);
    const std::string close = std::string("</").append(tag).append(">");
    if (const std::size_t at = text.find(open); at != std::string::npos) text.erase(at, open.size());
    if (const std::size_t at = text.find(close); at != std::string::npos) text.erase(at, close.size());
    text = Trim(text);
    if (const std::size_t end = text.find('>'); end != std::string::npos) text.erase(0, end + 1);
    return Trim(text);
}

bool IsHarmlessBadPacket(std::string_view logText) {
    const auto offset = WholeNumber(TextBetween(logText, "stream byte offset", ") -- remaining"));
    const auto ignored = WholeNumber(TextBetween(logText, ") -- remaining", "bytes of stream will be ignored"));
    if (!offset || !ignored) return false;
    // Checked in this order, so that the product cannot overflow.
    return *ignored <= 100000 && 5 * *ignored <= *offset;
}

bool ParseMpegAnalysis(TMpegFile* mpegFile, TStringList* lines) {
    if (!mpegFile || !lines) return false;
    TParseState state;
    for (std::string& line : *lines) ParseLine(*mpegFile, line, state);
    return true;
}
