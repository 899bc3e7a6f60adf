// The stored description of an analysed MPEG file, kept beside it as
// "<file>.vxm" (or ".vxr" for relaxed access points) so that adding the same
// unchanged file again does not run the tool: the tool's lines followed by
// the file's size and fingerprints, closed by the integrity line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lib/text.h"

class TMpegFile;

// How the store behaves; the front end sets it from the settings at start-up.
struct TAnalysisStoreOptions {
    bool Disabled = false;  // nothing is written (reading still works)
    bool Scrambled = true;  // write the scrambled form
};
TAnalysisStoreOptions& AnalysisStoreOptions();

inline constexpr const char* NormalAnalysisExtension = "vxm";
inline constexpr const char* RelaxedAnalysisExtension = "vxr";

// The extension is appended: "movie.mpg" gives "movie.mpg.vxm".
std::string GetAnalysisFileName(const std::string& mpegFileName, bool relaxed);

// The value of the last "<!-- key value -->" line (key in any case),
// upper-cased, and that line removed; empty when there is none.
std::string TakeCommentValue(TStringList& lines, std::string_view key);

// A stored file beyond this size is not read (and the file analysed again).
inline constexpr std::uint64_t MaxStoredAnalysisBytes = 20 * 1024 * 1024;

// Writes `lines` with the file's size and fingerprints; false when nothing
// was written (storage off, no lines, file gone, write failure).
bool SaveMpegAnalysis(const TMpegFile& mpegFile, const TStringList& lines, bool relaxed);
// The stored lines when they are intact and describe the file as it is now:
// same size, same first and last 64 KiB, not modified after it was stored.
std::optional<TStringList> LoadMpegAnalysis(const TMpegFile& mpegFile, bool relaxed);
