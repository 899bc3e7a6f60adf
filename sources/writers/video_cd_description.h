// Everything that a VideoCD XML description and a project file carry, as
// plain data: the disc settings, the ISO file system items, the MPEG files
// with their entry points and the complete playback-control state. The XML
// writer writes it; the project file reader fills it back.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/pbc_selection.h"
#include "model/video_cd.h"

class TIsoTree;
class TIsoTreeNode;

// What a key or event of a selection leads to.
enum class TPbcTargetKind : std::uint8_t {
    None,       // no action: nothing is written
    Disabled,   // the "Event Disabled" selection
    End,        // the end list, "Selection-end"
    Itself,     // the selection itself
    Selection,  // the selection of another entry, by its flat position
};

struct TPbcTarget {
    TPbcTargetKind Kind = TPbcTargetKind::None;
    int Selection = -1;  // position over all entries of all files, with Kind Selection

    static TPbcTarget To(int selection) { return {TPbcTargetKind::Selection, selection}; }
    bool operator==(const TPbcTarget&) const = default;
};

struct TPbcKey {
    TPbcTarget Target;
    bool Auto = true;  // still left to the automatic rules
    bool operator==(const TPbcKey&) const = default;
};

struct TSelectionState {
    TPbcKey Prev, Next, Return, DefaultKey;
    TPbcKey Timeout{{TPbcTargetKind::End, -1}, true};
    bool WaitAuto = true;
    int WaitTime = 0;  // seconds, -1 waits forever
    bool JumpImmediate = true;
    int LoopCount = 1;  // 0 plays forever
    TNumericMode NumericMode = TNumericMode::None;
    std::array<TPbcTarget, NumericKeyCount> NumericKeys{};  // keys 1 to 99
    bool operator==(const TSelectionState&) const = default;
};

struct TDescriptionEntry {
    std::string TimeText = "0:00:00.000";  // H:MM:SS.mmm
    TSelectionState Selection;
    bool operator==(const TDescriptionEntry&) const = default;
};

struct TDescriptionFile {
    std::string FullPath;
    bool IsStill = false;
    std::string Crc = "00000000";
    std::int64_t Size = 0;
    int FirstNumericKey = 1;                 // the key of the first entry in automatic mode
    std::vector<TDescriptionEntry> Entries;  // in time order, the start first
    bool operator==(const TDescriptionFile&) const = default;
};

// One folder or file of the user's part of the ISO file system.
struct TFileSystemItem {
    bool IsFolder = false;
    std::string Name;        // ISO name
    std::string SourcePath;  // files only
    bool Mixed = false;      // stored in 2336-byte sectors
    std::vector<TFileSystemItem> Children;
    bool operator==(const TFileSystemItem&) const = default;
};

// The main window's choices that only the project file keeps.
struct TProjectOptions {
    TTvSystem TvSystem = TTvSystem::Pal;
    TCdImageType CdImageType = TCdImageType::Cue;
    bool Image2336 = false;
    bool GapsCustomized = false;
    int DefaultWaitTime = 2;
    bool NumericKeysByDefault = true;
    bool AlwaysSegmentFolder = true;
    bool DefaultCdiApplication = false;
    bool DefaultCdiConfigFile = true;
    bool ExpertMode = false;
    bool ComplianceChecks = true;
    bool XmlOnly = true;
    std::string OutputBaseName;
    bool operator==(const TProjectOptions&) const = default;
};

struct TVideoCdDescription {
    TProjectOptions Options;
    TVideoCdType VideoCdType = TVideoCdType::Vcd20;
    bool UsePBC = false;
    bool XmlComments = true;
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
    std::string ProgramNameVersion;
    std::string PlaceholderSequence;  // the motion video of a disc of stills only
    std::vector<TFileSystemItem> FileSystem;
    std::vector<TDescriptionFile> Files;
    bool operator==(const TVideoCdDescription&) const = default;
};

// The items of the ISO tree that go into the description: user folders and
// files backed by the disk, the CD-i folder with its files, and the SEGMENT
// folder (empty) when the disc must have one without stills.
std::vector<TFileSystemItem> FileSystemItems(const TIsoTree& tree, const TIsoTreeNode* root, bool emptySegmentFolder);
