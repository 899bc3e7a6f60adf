// Chapter creation on one motion video: at a time, every so often, or a
// number of equidistant chapters, with the checks against its duration.
#pragma once

#include <cstdint>
#include <optional>

class TMpegFile;

// The file's duration in milliseconds; nothing when it is not known.
std::optional<std::int64_t> ChapterDurationMs(const TMpegFile& file);

// Adds a chapter at `ms`; false when it is beyond the duration (after an
// error box) or the file refused it.
bool AddChapterAt(TMpegFile& file, std::int64_t ms, bool quiet);
// A chapter every `stepMs`, at most `maxCount` (0: no limit), none within the
// last two seconds; refused with a message when there would be 100 or more.
// Returns the number of chapters added.
int AddChaptersEvery(TMpegFile& file, std::int64_t stepMs, int maxCount);
// `count` chapters spread evenly over the file.
int AddEquidistantChapters(TMpegFile& file, int count);
// Frames to milliseconds at a frame rate, rounded half to even; 0 when unknown.
std::int64_t FramesToMs(std::int64_t frames, double frameRate);
