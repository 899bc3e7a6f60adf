// What an analysis may say about an MPEG file and still be believed: a
// description without any stream (a truncated file) or with values no MPEG
// stream can have (negative or NaN times, sizes and rates, more access points
// than frames) is refused, whether it comes from the tool or from storage.
#pragma once

#include <cstddef>
#include <string>

#include "lib/text.h"

class TMpegFile;

// The tool's description is refused beyond this size (it is held in memory).
inline constexpr std::size_t MaxDescriptionBytes = 16 * 1024 * 1024;

// Sane ranges of the described values.
inline constexpr double MaxPlayingSeconds = 48 * 3600.0;
inline constexpr double MaxPtsOffsetSeconds = 95444.0;  // 2^33 ticks of 90 kHz
inline constexpr double MaxPackets = 1e8;
// Bits per second; still pictures declare the MPEG-1 "variable" value 104,857,200.
inline constexpr double MaxStreamBitrate = 1e9;
inline constexpr double MaxAudioBitrate = 1e6;
inline constexpr double MaxPictureSide = 16383;
inline constexpr double MinFrameRate = 1;
inline constexpr double MaxFrameRate = 120;
inline constexpr double MinSamplingFrequency = 8000;
inline constexpr double MaxSamplingFrequency = 96000;
inline constexpr double MaxAccessPointsPerSecond = 60;  // at most one per frame
inline constexpr int MaxAccessPoints = 500000;

// Empty when the analysed record is believable, else what is wrong with it
// ("no video or audio stream", "playing time: nan" and the like).
std::string AnalysisProblem(const TMpegFile& file);

// The same for a stored description, parsed into a scratch record.
std::string StoredDescriptionProblem(const TStringList& lines, bool motionVideo);
