// Reading vcdxminfo's XML description of an MPEG stream into a TMpegFile:
// the lines are lower-cased and indented for the log in place, and the
// record receives the version, times, streams, access points and defects.
#pragma once

#include <string>
#include <string_view>

#include "lib/text.h"

class TMpegFile;

// "<x>" or "<x ...": the line (already trimmed) opens element `tag`.
bool IsElementLine(std::string_view line, std::string_view tag);
// "</x>": the line closes element `tag`.
bool IsClosingLine(std::string_view line, std::string_view tag);
// The text between "<x ...>" and "</x>", trimmed.
std::string ElementContent(std::string_view line, std::string_view tag);

// A bad packet so close to the end that the ignored bytes do not matter:
// at most 100,000 bytes ignored, and at most a fifth of the offset.
// `logText` is the text of the tool's "bad packet at packet" line.
bool IsHarmlessBadPacket(std::string_view logText);

// Fills `mpegFile` from `lines` and rewrites the lines for display; false
// only when either is missing.
bool ParseMpegAnalysis(TMpegFile* mpegFile, TStringList* lines);
