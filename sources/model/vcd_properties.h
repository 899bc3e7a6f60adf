// Every project-wide value the writers need, gathered fresh for each
// generation or save, and the rules that tie the disc options together.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "lib/text.h"
#include "model/video_cd.h"

class TCdTreeView;
class TIsoTreeNode;
class TMpegFiles;

class TVcdProperties {
public:
    // Back to the values of a new record: the references are cleared and
    // the lines emptied too.
    void Reset() { *this = TVcdProperties(); }
    // The chosen output path without its extension; sets XmlPath with it.
    void SetOutputBaseName(const std::string& baseName);

    bool ExpertMode = false;
    bool ComplianceChecks = true;
    bool XmlOnly = true;
    TCdImageType CdImageType = TCdImageType::Cue;
    bool Image2336 = false;
    int DefaultWaitTime = 2;
    bool NumericKeysByDefault = true;
    bool AlwaysSegmentFolder = true;
    TTvSystem TvSystem = TTvSystem::Pal;
    bool DefaultCdiApplication = false;
    bool DefaultCdiConfigFile = true;
    std::string PlaceholderSequence;
    bool GapsCustomized = false;
    TVideoCdType VideoCdType = TVideoCdType::Vcd20;
    bool SvcdMpegavEntrysvd = false;
    bool UpdateScanOffsets = false;
    bool RelaxedAps = false;
    int LeadoutPreGap = 0;
    int TrackPreGap = 150;
    int TrackFrontMargin = 30;
    int TrackRearMargin = 45;
    std::string AlbumName;
    int VolumeCount = 1;
    int VolumeNumber = 1;
    bool NextVolumeUseSequence2 = false;
    bool NextVolumeUseLid2 = false;
    int RestrictionCategory = 0;
    std::string VolumeLabel;
    std::string ApplicationID;
    TCdTreeView* IsoTree = nullptr;   // not owned
    TIsoTreeNode* IsoRoot = nullptr;  // not owned
    TMpegFiles* Files = nullptr;      // not owned
    bool UsePBC = false;
    std::string OutputBaseName;
    std::string XmlPath;
    bool XmlComments = true;
    std::string ProgramNameVersion;
    std::uint8_t VcdImagerState = 0;
    bool LogVerbose = false;
    bool Simulate = true;
    bool EmptySegmentFolder = false;
    TStringList Lines;
};

// Ranges and defaults of the option pages.
inline constexpr int MaxWaitTime = 65534;
inline constexpr int MaxVolumeCount = 65534;
inline constexpr int MaxAlbumNameLength = 16;
inline constexpr int MaxRestrictionCategory = 3;
inline constexpr int MaxPreGap = 300;
inline constexpr int MinTrackPreGap = 1;
inline constexpr int MaxMargin = 150;
inline constexpr int MinVolumeCount = 1;
// The primary volume descriptor's volume id holds 32 characters.
inline constexpr int MaxVolumeLabelLength = 32;
// What the gaps page's "Defaults" button sets.
inline constexpr int DefaultLeadoutPreGap = 150;
inline constexpr int DefaultTrackPreGap = 150;
inline constexpr int DefaultVcdFrontMargin = 30;
inline constexpr int DefaultVcdRearMargin = 45;
inline constexpr int DefaultSvcdFrontMargin = 0;
inline constexpr int DefaultSvcdRearMargin = 0;
inline constexpr const char* DefaultCdiApplicationId = "CDI/CDI_VCD.APP;1";

// Volume number and count within 1..65534, the number at most the count.
int VolumeNumberWithinCount(int volumeNumber, int volumeCount);

// The track pregap that goes into the record: Toast images need 152.
int TrackPreGapFor(TCdImageType imageType, int storedTrackPreGap);

// Front and rear margins: the SVCD pair for an SVCD, the VCD pair otherwise.
struct TTrackMargins {
    int Front;
    int Rear;
};
TTrackMargins TrackMarginsFor(TVideoCdType type, TTrackMargins vcd, TTrackMargins svcd);

// An SVCD-only option ("SvcdBroken", "SvcdUpdateScanData") as it goes into
// the record: only when checked and the disc is an SVCD.
bool SvcdOnlyOption(bool checked, TVideoCdType type);

// The next-volume checks are offered on every volume of an album but the last.
bool NextVolumeChecksEnabled(bool usePbc, int volumeCount, int volumeNumber, const std::string& albumName,
                             TVideoCdType type);
// Sets the record's two flags from the checks, from the record's own playback
// control, type and volume values. They are written only for a volume that
// is neither the first nor the last one of its album.
void ApplyNextVolumeFlags(TVcdProperties& properties, bool useSequence2Checked, bool useLid2Checked);

// "PhotoVCD2-PAL.mpg", "PhotoSVCD-PAL.mpg", "PhotoVCD2-NTSC.mpg" or "PhotoSVCD-NTSC.mpg".
std::string PlaceholderSequenceName(TTvSystem tvSystem, TVideoCdType type);
// The placeholder motion video from "Extra" in `dataFolder` for a disc of
// stills only; empty when not needed, not there, or the folder path holds ",".
std::string PlaceholderSequenceFor(const std::filesystem::path& dataFolder, TTvSystem tvSystem, TVideoCdType type,
                                   bool hasMotionVideo, bool hasStills);
// The same from the first of `dataFolders` that has it.
std::string PlaceholderSequenceFor(const TStringList& dataFolders, TTvSystem tvSystem, TVideoCdType type,
                                   bool hasMotionVideo, bool hasStills);

// The CD-i files of the "Cdi" folder in a data folder (`programFolder` below).
bool CdiOptionsApply(TVideoCdType type);  // VCD 1.1 and 2.0 only
// The first of `dataFolders` whose "Cdi" folder holds the application files;
// the first one when none does (the options are then unavailable).
std::filesystem::path CdiDataFolder(const TStringList& dataFolders);
bool CdiApplicationAvailable(const std::filesystem::path& programFolder);
bool CdiConfigFileAvailable(const std::filesystem::path& programFolder, bool defaultApplicationChosen);
std::filesystem::path CdiConfigFilePath(const std::filesystem::path& programFolder);
// The application id that goes into the record.
std::string ApplicationIdFor(bool defaultApplication, const std::string& storedApplicationId);

// The CD-i configuration file's text, read-only, read again whenever the
// file's date changes.
class TCdiConfigText {
public:
    explicit TCdiConfigText(std::filesystem::path path) : Path(std::move(path)) {}
    // Reads the file when it is new or changed; false when it cannot be read
    // (the text is then empty).
    bool Refresh();
    const std::string& Text() const { return Content; }

private:
    std::filesystem::path Path;
    std::optional<std::filesystem::file_time_type> LoadedTime;
    std::string Content;
};

// The values that follow from the others: the Toast pregap, the SEGMENT
// folder of a disc without stills and the placeholder sequence.
// The placeholder is looked for in `dataFolders` in order.
void ApplyDependentValues(TVcdProperties& properties, const TMpegFiles& files, const TStringList& dataFolders);

// A changed default reaches every selection of the project.
void ApplyDefaultWaitTime(TMpegFiles& files, int seconds);
void ApplyNumericKeysByDefault(TMpegFiles& files, bool numericKeys);

// The limits of the values a project takes from its pages, the command line
// and project files: each returns the message that refuses the value, or
// empty when it fits. Lengths count bytes, as the disc's fields do.
std::string AlbumNameProblem(const std::string& albumName);
std::string VolumeLabelProblem(const std::string& volumeLabel);
// `what` names the value in the message ("The track pregap").
std::string RangeProblem(const std::string& what, long long value, int minimum, int maximum);
// Every value of the record outside its limits, one message each.
TStringList PropertyLimitProblems(const TVcdProperties& properties);

// The project checks of a generation; raises EAuthoringError. The disc limit
// checks show their own box and raise it with an empty message.
void ValidateProject(const TVcdProperties& properties, const TMpegFiles& files);
void CheckDiscLimits(const TMpegFiles& files);
