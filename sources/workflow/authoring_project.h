// The project that the main page and the option pages edit, and what the main
// window does with it: the disc type rules, adding analysed files, the checks
// and the queue of a generation, saving and opening. The GUI binds its
// controls to this object; the command line drives it directly.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "exec/commands_manager.h"
#include "lib/settings.h"
#include "model/iso_tree.h"
#include "model/mpeg_files.h"
#include "model/pbc_selection.h"
#include "model/vcd_properties.h"
#include "vcdimager/compliance_file_names.h"
#include "writers/video_cd_description.h"

// The state of the main page's and the options page's controls.
struct TAuthoringPages {
    TVideoCdType VideoCdType = TVideoCdType::Vcd20;
    TTvSystem TvSystem = TTvSystem::Pal;
    bool PlaybackControlChecked = true;
    std::string VolumeLabel = "VIDEOCD";
    std::string OutputFile;
    bool XmlOnly = false;
    bool RelaxAps = false;
    bool ComplianceChecks = true;
    bool ExpertMode = false;
    bool Burn = false;
    bool Simulate = false;
    std::string AlbumName;
    int VolumeCount = 1;
    int VolumeNumber = 1;
    bool NextVolumeUseSequence2Checked = false;
    bool NextVolumeUseLid2Checked = false;
};

// "Bin", "Toc" or "Xml": what the output field names.
std::string OutputKind(bool xmlOnly, TCdImageType imageType);
// The album name that the first file's name gives: "my_movie_01" -> "MY_MOVIE".
std::string AlbumNameFromFileName(const std::string& path);
// The volume label that the first file's name gives (its first 20 characters).
std::string VolumeLabelFromFileName(const std::string& path);
// Free space of the folder's file system in bytes; nothing when it cannot be read.
std::optional<std::int64_t> FreeDiskSpace(const std::string& folder);

class TAuthoringProject {
public:
    // `settings` is the program's declared store (DeclareGuiSettings).
    explicit TAuthoringProject(TSettings& settings);
    ~TAuthoringProject();
    TAuthoringProject(const TAuthoringProject&) = delete;
    TAuthoringProject& operator=(const TAuthoringProject&) = delete;

    TSettings& Settings;
    TMpegFiles Files;
    TCdTreeView IsoTree;
    TAuthoringPages Pages;
    bool Modified = false;
    std::string ProjectFileName;
    TOutputConfirmation OutputConfirmation;
    TOutputConfirmation ProjectConfirmation;
    std::int64_t FreeSpaceKb = 0;
    std::int32_t FreeSpaceMb = 0;

    // The disc type rules that follow a change of type or of the playback-control check.
    void SelectVideoCdType(TVideoCdType type);
    bool PlaybackControlEnabled() const { return HasPlaybackControl(Pages.VideoCdType); }
    bool UsePbc() const { return PlaybackControlEnabled() && Pages.PlaybackControlChecked; }
    TCdImageType ImageType() const;

    // Approximate CD size in MB and the free space of the output drive.
    std::int32_t ApproximateCdSizeMb() const;
    void UpdateFreeSpace();

    // Queues one analysis per MPEG file (other names are left out); each
    // accepted file joins the list. The navigation refresh waits until
    // EndFileBatch, which the queue's end calls.
    void QueueAddFiles(const TStringList& names, TCommandsManager& manager, TCommandOutputEvent onOutput);
    void EndFileBatch();
    // Brings the generated part of the ISO tree up to date with the project.
    void PrepareIsoTree();

    // The record of a generation or a save, checked when `validate`; nothing
    // when a check refused the project (its message was shown).
    std::shared_ptr<TVcdProperties> BuildProjectProperties(bool validate, const TCommandsManager& manager);
    // The XML generation and the image build; false when nothing was queued.
    bool QueueAuthoring(TCommandsManager& manager, TCommandOutputEvent onOutput);

    // Writes the project file, a ".dsv" file replaced only when confirmed;
    // false (message shown) when it was refused or could not be saved.
    bool SaveProject(const std::string& path, const TCommandsManager& manager);
    // Reads a project file and queues the analyses that reopen it; false
    // (message shown) when the file cannot be read. EndFileBatch then
    // restores the project when every file was accepted.
    bool QueueOpenProject(const std::string& path, TCommandsManager& manager, TCommandOutputEvent onOutput);
    // After an opening's batch: whether the project was restored.
    bool OpenedProject() const { return Opened; }

private:
    struct TOpening;
    std::unique_ptr<TOpening> Opening;
    bool Opened = false;
    std::unique_ptr<TNavigationUpdateScope> Batch;
    TNavigationRegistration Navigation{Files};

    void FileAdded(TMpegFile& file);
    // The XML and image files that go with the output `base` + "." + `extension`:
    // writable, and the existing ones confirmed.
    bool ConfirmCompanionFiles(const std::string& base, const std::string& extension, bool withImage);
    void ApplyDescriptionOptions(const TVideoCdDescription& description);
    void FinishOpening();
};
