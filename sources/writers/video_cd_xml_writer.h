// The VideoCD XML description that VCDImager's vcdxbuild reads, as text lines.
// In project mode the same description records the project's state (sizes,
// CRCs, automatic PBC values) and is wrapped for the project file.
#pragma once

#include <string>
#include <string_view>

#include "lib/text.h"
#include "writers/video_cd_description.h"

inline constexpr std::string_view VideoCdNamespace = "http://www.gnu.org/software/vcdimager/1.0/";
inline constexpr std::string_view VideoCdSystemId = "http://www.gnu.org/software/vcdimager/videocd.dtd";
inline constexpr std::string_view VideoCdGuideAddress = "http://www.gnu.org/software/vcdimager/";

enum class TXmlMode { Plain, Project };

// The whole document, one element a line, two blanks of indentation a level.
TStringList WriteVideoCdXml(const TVideoCdDescription& description, TXmlMode mode);

// "Selection-" and the three-digit position over all entries of all files.
std::string SelectionIdAt(int position);
// The identifiers that an entry's selection plays and shows.
std::string PlayItemId(const TDescriptionFile& file, int fileIndex, int entryIndex);
std::string SelectionCaption(const TDescriptionFile& file, int fileIndex, int entryIndex);

// Text and attribute values: "&", "<", ">" and '"' as entities.
std::string XmlEscape(std::string_view text);
// A caption as it may stand in a comment: accents of a, e, i, o, u dropped,
// anything but letters, digits, blank, "-", ".", ":" and "_" as "_", no "--".
std::string CleanCommentText(std::string_view text);
// A network path (two leading backslashes) with forward slashes.
std::string ToolPath(const std::string& path);
// "Lumora v1.1.6" becomes "LUMORA_V116".
std::string PublisherId(const std::string& programNameVersion);
