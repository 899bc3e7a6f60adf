// The disc vocabulary shared by the model, the writers and the tool commands:
// TV systems, disc types, CD image types, the disc limits, the authoring
// exceptions, the zero-padded number formats and the disc size estimate.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "lib/text.h"

// TV system of a project. Film material counts as NTSC.
enum class TTvSystem : std::uint8_t { Pal = 0, Ntsc = 1 };

// TV system of one video stream, from its analysed frame rate.
enum class TStreamTvSystem : std::uint8_t { Pal = 0, Ntsc = 1, Film = 2, Unknown = 3 };

// The disc type; the number is the position in the type selector.
enum class TVideoCdType : std::uint8_t { Vcd11 = 0, Vcd20 = 1, Svcd10 = 2 };

enum class TCdImageType : std::uint8_t { Cue = 0, AdvCue = 1, Toc = 2, Toast = 3 };

std::string TvSystemName(TTvSystem value);
TTvSystem ParseTvSystem(std::string_view text);
std::string StreamTvSystemName(TStreamTvSystem value);

// "VCD 1.1", "VCD 2.0", "SVCD 1.0": the selector texts, in selector order.
std::string VideoCdTypeText(TVideoCdType value);
const TStringList& VideoCdTypeTexts();
// The selector text read back; an empty text (nothing selected) is the first
// item; nothing for any other text.
std::optional<TVideoCdType> ParseVideoCdTypeText(std::string_view text);
// As above, for the selector itself: an unknown text is an internal error
// that is shown and ends the program.
TVideoCdType GetVideoCdTypeFromSelector(std::string_view text);
std::string VideoCdTypeClass(TVideoCdType value);    // XML class: "vcd" or "svcd"
std::string VideoCdTypeVersion(TVideoCdType value);  // XML version: "1.1", "2.0", "1.0"
std::string DefaultVolumeLabel(TVideoCdType value);  // "VIDEOCD" or "SUPER_VIDEOCD"
// Playback control, and with it MPEG stills, exists from VCD 2.0 on.
bool HasPlaybackControl(TVideoCdType value);
bool AllowsStills(TVideoCdType value);
// Playback control after a type change: on when leaving VCD 1.1, off when
// going to it, unchanged otherwise.
bool UsePbcAfterTypeChange(bool usePbc, TVideoCdType from, TVideoCdType to);
// "svcd vcd30 mpegav", "svcd vcd30 entrysvd" and "update scan offsets".
bool HasSvcdOnlyOptions(TVideoCdType value);
bool WritesRestrictionCategory(TVideoCdType value);
// The primary volume descriptor's application id stays empty for an SVCD.
bool HasPvdApplicationId(TVideoCdType value);
// The default CD-i application options.
bool HasCdiOptions(TVideoCdType value);
// A label that still equals the old type's default follows the new type.
std::string VolumeLabelAfterTypeChange(const std::string& label, TVideoCdType from, TVideoCdType to);

std::string CdImageTypeName(TCdImageType value);
TCdImageType ParseCdImageType(std::string_view text);
// Captions of the CD image settings page: "BIN/CUE", "BIN/detailed CUE", ...
std::string CdImageTypeCaption(TCdImageType value);
TCdImageType CdImageTypeFromCaption(std::string_view caption);
// Extension of the output file the user chooses: "bin" or "toc".
std::string CdImageExtension(TCdImageType value);
// The extension of the chosen output file: "xml" when only the XML
// description is generated.
std::string OutputExtension(TCdImageType value, bool xmlOnly);
// Toast images always get this track pregap.
inline constexpr int ToastTrackPreGap = 152;

// Limits of one disc.
inline constexpr int MaxMotionVideos = 98;
inline constexpr int MaxStills = 1980;
inline constexpr int MaxEntryPointsOnDisc = 500;
inline constexpr int MaxEntriesPerFile = 99;  // the start entry included
inline constexpr int MaxNumericKey = 99;
inline constexpr int MainWindowMaxFiles = 2079;
inline constexpr int DefaultMaxFiles = 99;

// Raised by the project validation to abandon a generation. An empty message
// means the failing check has already shown its own box.
class EAuthoringError : public std::runtime_error {
public:
    explicit EAuthoringError(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// Raised while reading a project file back.
class ELoadProjectError : public std::runtime_error {
public:
    explicit ELoadProjectError(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// The disc size estimate does not fit 32 bits.
class EDiscSizeOverflow : public std::overflow_error {
public:
    EDiscSizeOverflow() : std::overflow_error("disc size estimate overflow") {}
};

bool IsMpegFileName(std::string_view path);

// Bytes that a file of `size` bytes is expected to take on the disc.
// Throws EDiscSizeOverflow when the estimate does not fit 32 bits.
std::int32_t EstimateDiscSize(std::int64_t size, bool isMotionVideo);

std::string FormatNumber4(int n);
std::string FormatNumber3(int n);
std::string FormatNumber2(int n);

// Shows a limit message in an error box, the "%s" filled with `limit`.
void ShowLimitMessage(const std::string& message, int limit);
