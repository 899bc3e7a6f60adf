#include "vcdimager/mpeg_analysis_sanity.h"

#include <cmath>
#include <cstdlib>
#include <optional>

#include "model/mpeg_file.h"
#include "vcdimager/mpeg_analysis_parser.h"

namespace {

// Not reported by the tool: nothing to judge.
bool Unreported(const std::string& raw) { return raw.empty() || raw == "?"; }

std::optional<double> Number(const std::string& raw) {
    const std::string text = Trim(raw);
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return std::nullopt;
    return value;
}

// Empty when `raw` is unreported or a finite number in [low, high].
std::string OutOfRange(const char* what, const std::string& raw, double low, double high) {
    if (Unreported(raw)) return "";
    const auto value = Number(raw);
    if (value && std::isfinite(*value) && *value >= low && *value <= high) return "";
    return std::string(what) + ": " + raw;
}

std::string FirstProblem(std::initializer_list<std::string> problems) {
    for (const std::string& problem : problems)
        if (!problem.empty()) return problem;
    return "";
}

std::string VideoProblem(const TVideoStream& video) {
    return FirstProblem({OutOfRange("picture width", video.RawHorizontalSize, 1, MaxPictureSide),
                         OutOfRange("picture height", video.RawVerticalSize, 1, MaxPictureSide),
                         OutOfRange("frame rate", video.RawFrameRate, MinFrameRate, MaxFrameRate),
                         OutOfRange("video bit rate", video.RawBitrate, 0, MaxStreamBitrate)});
}

std::string AudioProblem(const TAudioStream& audio) {
    return FirstProblem(
        {OutOfRange("audio layer", audio.Layer, 1, 3),
         OutOfRange("sampling frequency", audio.RawSamplingFrequency, MinSamplingFrequency, MaxSamplingFrequency),
         OutOfRange("audio bit rate", audio.RawBitrate, 0, MaxAudioBitrate)});
}

std::string AccessPointsProblem(const TMpegFile& file) {
    const auto& times = file.ApsTimes().Items();
    std::size_t limit = MaxAccessPoints;
    if (const auto seconds = Number(file.RawPlayingTime()); seconds && std::isfinite(*seconds) && *seconds >= 0)
        limit = std::min<std::size_t>(limit, static_cast<std::size_t>((*seconds + 1) * MaxAccessPointsPerSecond) + 1);
    if (times.size() > limit) return "access points: " + std::to_string(times.size());
    for (const std::int32_t ms : times)
        if (ms < 0 || ms > MaxPlayingSeconds * 1000) return "access point time: " + std::to_string(ms) + " ms";
    return "";
}

}  // namespace

std::string AnalysisProblem(const TMpegFile& file) {
    if (!file.Analysed()) return "no description";
    bool anyStream = false;
    for (int slot = 0; slot < 3; ++slot) {
        if (const TVideoStream* video = file.VideoStream(slot)) {
            anyStream = true;
            if (std::string problem = VideoProblem(*video); !problem.empty()) return problem;
        }
        if (const TAudioStream* audio = file.AudioStream(slot)) {
            anyStream = true;
            if (std::string problem = AudioProblem(*audio); !problem.empty()) return problem;
        }
    }
    if (!anyStream) return "no video or audio stream";
    return FirstProblem({OutOfRange("MPEG version", file.RawMpegVersion(), 1, 2),
                         OutOfRange("playing time", file.RawPlayingTime(), 0, MaxPlayingSeconds),
                         OutOfRange("PTS offset", file.RawPtsOffset(), 0, MaxPtsOffsetSeconds),
                         OutOfRange("packets", file.RawPackets(), 0, MaxPackets),
                         OutOfRange("bit rate", file.RawBitrate(), 0, MaxStreamBitrate), AccessPointsProblem(file)});
}

std::string StoredDescriptionProblem(const TStringList& lines, bool motionVideo) {
    TMpegFile scratch("", motionVideo);
    TStringList parsed = lines;
    ParseMpegAnalysis(&scratch, &parsed);
    return AnalysisProblem(scratch);
}
