#include "workflow/authoring_project.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

#include "environment/detected_tools.h"
#include "lib/output_files.h"
#include "lib/product.h"
#include "model/iso_structure.h"
#include "model/pbc_selection.h"
#include "platform/folders.h"
#include "services/services.h"
#include "settings/language.h"
#include "settings/startup_keys.h"
#include "vcdimager/command_vcd.h"
#include "vcdimager/command_vcdxbuild.h"
#include "vcdimager/command_xml.h"
#include "vcdimager/mpeg_analysis_command.h"
#include "vcdimager/mpeg_compliance.h"
#include "writers/project_file.h"
#include "writers/project_model.h"
#include "writers/vcd_properties_xml.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t StillDiscBytes = 352800;
constexpr std::int64_t MinimumXmlFreeKb = 50;

std::string FileStem(const std::string& path) { return fs::path(path).stem().string(); }

void ShowError(const std::string& text) { Dialogs().MessageDlg("\r" + text, TMsgDlgType::Error, mbOK); }

}  // namespace

std::string OutputKind(bool xmlOnly, TCdImageType imageType) {
    if (xmlOnly) return "Xml";
    return imageType == TCdImageType::Cue || imageType == TCdImageType::AdvCue ? "Bin" : "Toc";
}

std::string AlbumNameFromFileName(const std::string& path) {
    // One "_" per character that is not a digit, a letter A to Z or "_".
    std::string name;
    for (const std::string& character : Utf8Characters(Utf8Prefix(FileStem(path), 16))) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(character[0])));
        const bool allowed = character.size() == 1 &&
                             (std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'Z') || c == '_');
        name += allowed ? c : '_';
    }
    for (auto it = name.rbegin(); it != name.rend() && !(*it >= 'A' && *it <= 'Z'); ++it) *it = ' ';
    name = Trim(name);
    return Trim(name.substr(0, 16));
}

std::string VolumeLabelFromFileName(const std::string& path) { return Utf8Prefix(FileStem(path), 20); }

std::optional<std::int64_t> FreeDiskSpace(const std::string& folder) {
    struct statvfs info {};
    if (statvfs(folder.c_str(), &info) != 0) return std::nullopt;
    return static_cast<std::int64_t>(info.f_bavail) * static_cast<std::int64_t>(info.f_frsize);
}

struct TAuthoringProject::TOpening {
    TVideoCdDescription Description;
    std::string Path;
    TSelectionRegistry Registry;  // by the entry's position over all files
    std::size_t Accepted = 0;
};

TAuthoringProject::TAuthoringProject(TSettings& settings) : Settings(settings) {
    Files.SetNbMaxFiles(MainWindowMaxFiles);
    Pages.XmlOnly = Settings.GetBool("XmlOnly");
    Pages.RelaxAps = Settings.GetBool("RelaxAPS");
    Pages.ComplianceChecks = Settings.GetBool("PerformComplianceChecks", true);
    Pages.ExpertMode = Settings.GetBool("ExpertMode");
    Pages.PlaybackControlChecked = Settings.GetBool("UsePBC", true);
    Pages.TvSystem = ParseTvSystem(Settings.GetString("TvSystem", "PAL"));
    PbcDefaults().WaitTime = Settings.GetInteger("WaitTime", 2);
    PbcDefaults().NumericKeysByDefault = Settings.GetBool("IncludeNumKeyForChapters", true);
    Files.OnNewNotify = [this](TMpegFiles&, TMpegFile& file) { FileAdded(file); };
    Files.OnDeleteNotify = [this](TMpegFiles&, TMpegFile&) { Modified = true; };
    Files.OnMoveNotify = [this](TMpegFiles&, int, int) { Modified = true; };
    Files.OnClearNotify = [this](TMpegFiles&) { Modified = true; };
}

TAuthoringProject::~TAuthoringProject() = default;

TCdImageType TAuthoringProject::ImageType() const { return ParseCdImageType(Settings.GetString("CdImageType", "Cue")); }

void TAuthoringProject::SelectVideoCdType(TVideoCdType type) {
    const TVideoCdType previous = Pages.VideoCdType;
    Pages.VideoCdType = type;
    if (previous == TVideoCdType::Vcd11 && type != TVideoCdType::Vcd11) Pages.PlaybackControlChecked = true;
    if (type == TVideoCdType::Vcd11) Pages.PlaybackControlChecked = false;
    const bool svcd = type == TVideoCdType::Svcd10;
    if (svcd && SameText(Pages.VolumeLabel, "VIDEOCD")) Pages.VolumeLabel = "SUPER_VIDEOCD";
    if (!svcd && SameText(Pages.VolumeLabel, "SUPER_VIDEOCD")) Pages.VolumeLabel = "VIDEOCD";
}

void TAuthoringProject::FileAdded(TMpegFile& file) {
    Modified = true;
    if (Files.Count() != 1) return;
    const std::string label = Trim(Pages.VolumeLabel);
    if (Settings.GetBool("FillVolumeLabel", true) &&
        (Pages.VolumeLabel == "SUPER_VIDEOCD" || Pages.VolumeLabel == "VIDEOCD" || label.empty()))
        Pages.VolumeLabel = VolumeLabelFromFileName(file.FullPath());
    if (Settings.GetBool("FillAlbumName", true) && Trim(Pages.AlbumName).empty())
        Pages.AlbumName = AlbumNameFromFileName(file.FullPath());
}

std::int32_t TAuthoringProject::ApproximateCdSizeMb() const {
    std::int64_t extra = IsoTree.RealSize();
    const bool mpeg2Folder = Pages.VideoCdType == TVideoCdType::Svcd10 && !Settings.GetBool("SvcdBroken");
    for (const char* folder : {mpeg2Folder ? "MPEG2" : "MPEGAV", "SEGMENT"})
        if (const TIsoTreeNode* node = IsoTree.Root()->FindChild(folder)) extra -= node->SubTreeSize;
    const std::int64_t bytes =
        Files.TotalSequenceSize() + Files.StillCount() * StillDiscBytes + std::max<std::int64_t>(extra, 0);
    return static_cast<std::int32_t>(bytes / 1024 / 1024 + 1);
}

void TAuthoringProject::UpdateFreeSpace() {
    if (Trim(Pages.OutputFile).empty()) {
        FreeSpaceMb = 0;
        return;
    }
    const std::optional<std::int64_t> bytes = FreeDiskSpace(FolderOf(Pages.OutputFile));
    if (!bytes || *bytes == 0) return;  // keeps the last value
    FreeSpaceKb = std::max<std::int64_t>(*bytes, 0) / 1024;
    FreeSpaceMb = static_cast<std::int32_t>(FreeSpaceKb / 1024);
}

void TAuthoringProject::PrepareIsoTree() {
    TIsoStructure structure;
    structure.Svcd = Pages.VideoCdType == TVideoCdType::Svcd10;
    structure.PlaybackControl = UsePbc();
    structure.SvcdMpegav = structure.Svcd && Settings.GetBool("SvcdBroken");
    const fs::path cdiFolder = CdiDataFolder(ShippedFolders());
    structure.CdiAvailable = CdiOptionsApply(Pages.VideoCdType) && Settings.GetBool("VcdUseCdiDefault") &&
                             CdiApplicationAvailable(cdiFolder);
    structure.CdiConfigFile = structure.CdiAvailable && Settings.GetBool("VcdUseCdiDefaultCfg", true) &&
                              CdiConfigFileAvailable(cdiFolder, true);
    structure.CdiFolder = (cdiFolder / "Cdi").string();
    for (int i = 0; i < Files.Count(); ++i) {
        const TMpegFile* file = Files.Get(i);
        TIsoStructureItem item{file->FullPath(), 0};
        try {
            item.DiscSize = EstimateDiscSize(file->Size(), file->IsSequence());
        } catch (const EDiscSizeOverflow&) {
            item.DiscSize = file->Size();
        }
        (file->IsSequence() ? structure.MotionVideos : structure.Stills).push_back(item);
    }
    BuildGeneratedStructure(IsoTree, structure);
    IsoTree.SetTitle(Pages.VolumeLabel);
}

void TAuthoringProject::QueueAddFiles(const TStringList& names, TCommandsManager& manager,
                                      TCommandOutputEvent onOutput) {
    if (manager.IsRunning()) return;
    TStringList mpegNames;
    std::copy_if(names.begin(), names.end(), std::back_inserter(mpegNames),
                 [](const std::string& name) { return IsMpegFileName(name); });
    const auto count = static_cast<std::int32_t>(mpegNames.size());
    for (std::int32_t i = 0; i < count; ++i) {
        auto accept = [this](TCommandInterface&, const TExecuteStatus& status, bool& continueBatch,
                             const TCommandParamPtr& param) {
            TComplianceContext context;
            context.DiscType = Pages.VideoCdType;
            context.ProjectTvSystem = Pages.TvSystem;
            context.ExpertMode = Pages.ExpertMode;
            context.ComplianceChecks = Pages.ComplianceChecks;
            context.NoBadPacketsWarning = Settings.GetBool("NoBadPacketsWarning");
            context.DoNotShowHighSvcdBitRateAgain = Settings.GetBool("DoNotShowHighSvcdBitRateAgain");
            context.NoAutopaddingWarning = Settings.GetBool("NoAutopaddingWarning");
            context.UpdateScanData = Settings.GetBool("SvcdUpdateScanData", true);
            context.ShowScanDataOffsetsWarning = Settings.GetBool("ShowSDOWarning");
            SetProjectCounts(context, Files);
            std::unique_ptr<TMpegFile> file =
                AcceptAnalysedMpeg(status, static_cast<TMinfoParam&>(*param), continueBatch, context);
            Pages.TvSystem = context.ProjectTvSystem;
            if (context.DoNotShowHighSvcdBitRateAgain) Settings.SetValue("DoNotShowHighSvcdBitRateAgain", true);
            if (file && !Files.Add(std::move(file))) {
                ShowError(Format(Translate("A project holds at most %d files"), MainWindowMaxFiles));
                continueBatch = false;
            }
        };
        manager.Add(AnalyseMpegFile(mpegNames[static_cast<std::size_t>(i)], nullptr, nullptr, count, i + 1,
                                    Pages.RelaxAps, onOutput, accept));
    }
    if (count > 0 && !Batch) Batch = std::make_unique<TNavigationUpdateScope>();
}

void TAuthoringProject::EndFileBatch() {
    if (Opening) FinishOpening();
    Batch.reset();  // runs the navigation refresh once
}

std::shared_ptr<TVcdProperties> TAuthoringProject::BuildProjectProperties(bool validate,
                                                                          const TCommandsManager& manager) {
    if (manager.IsRunning()) return nullptr;
    auto properties = std::make_shared<TVcdProperties>();
    TVcdProperties& p = *properties;
    const bool svcd = Pages.VideoCdType == TVideoCdType::Svcd10;
    const TStringList dataFolders = ShippedFolders();
    const fs::path cdiFolder = CdiDataFolder(dataFolders);
    p.ExpertMode = Pages.ExpertMode;
    p.ComplianceChecks = Pages.ComplianceChecks;
    p.XmlOnly = Pages.XmlOnly;
    p.CdImageType = ImageType();
    p.Image2336 = Settings.GetBool("Use2336BytesForImage");
    p.DefaultWaitTime = Settings.GetInteger("WaitTime", 2);
    p.NumericKeysByDefault = Settings.GetBool("IncludeNumKeyForChapters", true);
    p.AlwaysSegmentFolder = Settings.GetBool("AddEmptySegmentDir", true);
    p.TvSystem = Pages.TvSystem;
    p.DefaultCdiApplication = CdiOptionsApply(Pages.VideoCdType) && Settings.GetBool("VcdUseCdiDefault") &&
                              CdiApplicationAvailable(cdiFolder);
    // The user's choice, kept while the option is unavailable (the disc takes
    // the file only when it is there, see PrepareIsoTree).
    p.DefaultCdiConfigFile = Settings.GetBool("VcdUseCdiDefaultCfg", true);
    p.UsePBC = UsePbc();
    p.VideoCdType = Pages.VideoCdType;
    p.SvcdMpegavEntrysvd = svcd && Settings.GetBool("SvcdBroken");
    p.UpdateScanOffsets = svcd && Settings.GetBool("SvcdUpdateScanData", true);
    p.RelaxedAps = Pages.RelaxAps;
    p.GapsCustomized = Settings.GetBool("CustomizeGaps");
    p.LeadoutPreGap = Settings.GetInteger("LeadoutPreGap", DefaultLeadoutPreGap);
    const TTrackMargins margins = TrackMarginsFor(Pages.VideoCdType,
                                                  {Settings.GetInteger("VcdTrackFrontMargin", DefaultVcdFrontMargin),
                                                   Settings.GetInteger("VcdTrackRearMargin", DefaultVcdRearMargin)},
                                                  {Settings.GetInteger("SvcdTrackFrontMargin", DefaultSvcdFrontMargin),
                                                   Settings.GetInteger("SvcdTrackRearMargin", DefaultSvcdRearMargin)});
    p.TrackFrontMargin = margins.Front;
    p.TrackRearMargin = margins.Rear;
    p.TrackPreGap = TrackPreGapFor(p.CdImageType, Settings.GetInteger("TrackPreGap", DefaultTrackPreGap));
    p.AlbumName = Pages.AlbumName;
    p.VolumeCount = Pages.VolumeCount;
    p.VolumeNumber = VolumeNumberWithinCount(Pages.VolumeNumber, Pages.VolumeCount);
    ApplyNextVolumeFlags(p, Pages.NextVolumeUseSequence2Checked, Pages.NextVolumeUseLid2Checked);
    p.RestrictionCategory = Settings.GetInteger("RestrictionCategory");
    p.VolumeLabel = Pages.VolumeLabel;
    p.ApplicationID =
        ApplicationIdFor(p.DefaultCdiApplication, Settings.GetString("ApplicationID", DefaultCdiApplicationId));
    p.ProgramNameVersion = std::string(ProductName) + " v" + ProductVersion;
    p.VcdImagerState = DetectedTools().VcdImagerAvailable ? 1 : 0;
    p.XmlComments = Settings.GetBool("XmlComments", true);
    p.Simulate = Pages.Simulate && Pages.Burn;
    p.LogVerbose = SameText(Settings.GetString("Log", "Verbose"), "Verbose");
    ApplyDependentValues(p, Files, dataFolders);
    p.Files = &Files;

    if (validate) {
        try {
            ValidateProject(p, Files);
            CheckDiscLimits(Files);
        } catch (const EAuthoringError& error) {
            if (!std::string(error.what()).empty()) ShowError(error.what());
            return nullptr;
        }
        const std::string extension = OutputExtension(p.CdImageType, p.XmlOnly);
        if (!ConfirmOutputFile(Pages.OutputFile, extension, OutputConfirmation)) return nullptr;
        const std::string base = fs::path(Pages.OutputFile).replace_extension().string();
        if (!ConfirmCompanionFiles(base, extension, !p.XmlOnly && DetectedTools().VcdImagerAvailable)) return nullptr;
        p.SetOutputBaseName(base);
        UpdateFreeSpace();

        const std::string drive = FolderOf(Pages.OutputFile);
        const std::string first = Format(Translate("Not enough Disk Space on %s"), drive) + "    \r\r";
        if (p.XmlOnly) {
            if (FreeSpaceKb < MinimumXmlFreeKb) {
                ShowError(first + Translate("Available Hard Disk Space") + ": " + std::to_string(FreeSpaceKb) + " " +
                          Translate("KB") + "\r");
                return nullptr;
            }
        } else if (const std::int32_t size = ApproximateCdSizeMb(); FreeSpaceMb < size) {
            ShowError(first + Translate("Approximate CD Size") + ": " + std::to_string(size) + " " + Translate("MB") +
                      "\r" + Translate("Available Hard Disk Space") + ": " + std::to_string(FreeSpaceMb) + " " +
                      Translate("MB") + "\r");
            return nullptr;
        }
    } else {
        p.SetOutputBaseName(fs::path(Pages.OutputFile).replace_extension().string());
    }
    p.IsoTree = &IsoTree;
    p.IsoRoot = IsoTree.Root();
    return properties;
}

bool TAuthoringProject::QueueAuthoring(TCommandsManager& manager, TCommandOutputEvent onOutput) {
    if (manager.IsRunning()) return false;
    PrepareIsoTree();
    RequestNavigationRefresh(this, true);
    const std::shared_ptr<TVcdProperties> properties = BuildProjectProperties(true, manager);
    if (!properties) return false;

    // Every output is written under a temporary name and replaces the
    // previous one only when the whole generation succeeded.
    auto outputs = std::make_shared<TOutputFiles>();
    const std::string finalXml = properties->XmlPath;
    properties->XmlPath = outputs->Base(finalXml);
    auto info = std::make_shared<TXmlGenerationInfo>();
    info->Properties = properties;
    info->Outputs = outputs;
    info->CommitOutputs = properties->XmlOnly || !DetectedTools().VcdImagerAvailable;
    manager.Add(MakeXmlCommand(info, onOutput));
    if (info->CommitOutputs) {
        Pages.OutputFile = finalXml;
        return true;
    }
    auto build = MakeBuildParam(properties->XmlPath, properties->OutputBaseName, properties->CdImageType,
                                properties->Image2336, outputs);
    Pages.OutputFile = ImageFileName(*build);
    manager.Add(BuildCdImage(build, onOutput));
    return true;
}

bool TAuthoringProject::ConfirmCompanionFiles(const std::string& base, const std::string& extension, bool withImage) {
    TStringList companions;
    if (extension != "xml") companions.push_back(base + ".xml");
    if (withImage) {
        if (extension == "toc") {
            companions.push_back(base + ".toc");
            for (const std::string& image : TrackImageFiles(base)) companions.push_back(image);
        } else {
            companions.push_back(base + ".bin");
            companions.push_back(base + ".cue");
        }
    }
    const std::string main = base + "." + extension;
    companions.erase(std::remove(companions.begin(), companions.end(), main), companions.end());
    for (const std::string& path : companions)
        if (!PrepareOutputFile(path)) return false;
    return ConfirmReplacing(ExistingFiles(companions));
}

bool TAuthoringProject::SaveProject(const std::string& path, const TCommandsManager& manager) {
    std::string name = path;
    if (!ConfirmOutputFile(name, "dsv", ProjectConfirmation)) return false;
    // The output name goes into the project file: it must be carried as it is.
    if (const std::string refusal = RefusedToolPathMessage(Trim(Pages.OutputFile)); !refusal.empty()) {
        ShowError(refusal);
        return false;
    }
    PrepareIsoTree();
    RequestNavigationRefresh(this, true);
    const std::shared_ptr<TVcdProperties> properties = BuildProjectProperties(false, manager);
    if (!properties) return false;
    std::string error;
    if (!SaveProjectFile(name, DescriptionFromProperties(*properties), TStartupKeysReader().Read().EncryptFiles,
                         &error)) {
        ShowError(Translate("Unable to save the project") + ":\r" + name + "\r" + error);
        return false;
    }
    ProjectFileName = name;
    Modified = false;
    return true;
}

void TAuthoringProject::ApplyDescriptionOptions(const TVideoCdDescription& d) {
    const TProjectOptions& o = d.Options;
    const bool svcd = d.VideoCdType == TVideoCdType::Svcd10;
    Pages.VideoCdType = d.VideoCdType;
    Pages.TvSystem = o.TvSystem;
    Pages.PlaybackControlChecked = d.UsePBC;
    Pages.VolumeLabel = d.VolumeLabel;
    Pages.AlbumName = d.AlbumName;
    Pages.VolumeCount = d.VolumeCount;
    Pages.VolumeNumber = d.VolumeNumber;
    Pages.NextVolumeUseSequence2Checked = d.NextVolumeUseSequence2;
    Pages.NextVolumeUseLid2Checked = d.NextVolumeUseLid2;
    Pages.XmlOnly = o.XmlOnly;
    Pages.ComplianceChecks = o.ComplianceChecks;
    Pages.ExpertMode = o.ExpertMode;
    Pages.RelaxAps = d.RelaxedAps;
    Pages.OutputFile =
        o.OutputBaseName.empty() ? "" : o.OutputBaseName + "." + OutputExtension(o.CdImageType, o.XmlOnly);

    // The options pages keep these in the settings store.
    Settings.SetValue("CdImageType", CdImageTypeName(o.CdImageType));
    Settings.SetValue("Use2336BytesForImage", o.Image2336);
    Settings.SetValue("WaitTime", o.DefaultWaitTime);
    Settings.SetValue("IncludeNumKeyForChapters", o.NumericKeysByDefault);
    Settings.SetValue("AddEmptySegmentDir", o.AlwaysSegmentFolder);
    Settings.SetValue("VcdUseCdiDefault", o.DefaultCdiApplication);
    Settings.SetValue("VcdUseCdiDefaultCfg", o.DefaultCdiConfigFile);
    Settings.SetValue("CustomizeGaps", o.GapsCustomized);
    Settings.SetValue("LeadoutPreGap", d.LeadoutPreGap);
    if (o.CdImageType != TCdImageType::Toast) Settings.SetValue("TrackPreGap", d.TrackPreGap);
    Settings.SetValue(svcd ? "SvcdTrackFrontMargin" : "VcdTrackFrontMargin", d.TrackFrontMargin);
    Settings.SetValue(svcd ? "SvcdTrackRearMargin" : "VcdTrackRearMargin", d.TrackRearMargin);
    if (svcd) {
        Settings.SetValue("SvcdBroken", d.SvcdMpegavEntrysvd);
        Settings.SetValue("SvcdUpdateScanData", d.UpdateScanOffsets);
    }
    Settings.SetValue("RestrictionCategory", d.RestrictionCategory);
    if (!o.DefaultCdiApplication && !d.ApplicationID.empty()) Settings.SetValue("ApplicationID", d.ApplicationID);
    PbcDefaults().WaitTime = o.DefaultWaitTime;
    PbcDefaults().NumericKeysByDefault = o.NumericKeysByDefault;
}

bool TAuthoringProject::QueueOpenProject(const std::string& path, TCommandsManager& manager,
                                         TCommandOutputEvent onOutput) {
    if (manager.IsRunning()) return false;
    auto opening = std::make_unique<TOpening>();
    try {
        opening->Description = TProjectFileReader().Read(path);
    } catch (const ELoadProjectError& error) {
        ShowError(error.Message());
        return false;
    }
    if (const TStringList limits = DescriptionLimitProblems(opening->Description); !limits.empty()) {
        ShowError(JoinLines(limits, "\r") + "\r\r" + Translate("The project cannot be opened") + ": " + path);
        return false;
    }
    // Every file must still be there before the current project is given up.
    for (const TDescriptionFile& file : opening->Description.Files) {
        std::error_code error;
        if (!fs::is_regular_file(file.FullPath, error)) {
            ShowError(Format(Translate("The file \"%s\" does not exist"), file.FullPath) + "\r" +
                      Translate("The project cannot be opened") + ": " + path);
            return false;
        }
    }
    opening->Path = path;
    Opened = false;
    // From here the old project is gone: a save must not write over its file.
    ProjectFileName.clear();
    Files.Clear();
    IsoTree.DeleteSelected(IsoTree.Root());
    ApplyDescriptionOptions(opening->Description);

    const std::vector<TDescriptionFile>& saved = opening->Description.Files;
    const auto count = static_cast<std::int32_t>(saved.size());
    int position = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        const TDescriptionFile& file = saved[static_cast<std::size_t>(i)];
        auto record = std::make_shared<TProjectRecord>();
        record->Fingerprint = file.Crc;
        record->Size = std::to_string(file.Size);
        record->MotionVideo = !file.IsStill;
        record->Id = std::to_string(position++);
        for (std::size_t entry = 1; entry < file.Entries.size(); ++entry)
            record->Chapters.push_back({file.Entries[entry].TimeText, std::to_string(position++)});
        if (file.Entries.empty()) ++position;
        auto accept = [this](TCommandInterface&, const TExecuteStatus& status, bool& continueBatch,
                             const TCommandParamPtr& param) {
            TComplianceContext context;
            std::unique_ptr<TMpegFile> analysed = AcceptAnalysedMpeg(status, static_cast<TMinfoParam&>(*param),
                                                                     continueBatch, context, &Opening->Registry);
            if (!analysed || !Files.Add(std::move(analysed))) {
                continueBatch = false;
                return;
            }
            ++Opening->Accepted;
        };
        manager.Add(AnalyseMpegFile(file.FullPath, nullptr, record, count, i + 1, opening->Description.RelaxedAps,
                                    onOutput, accept));
    }
    Opening = std::move(opening);
    if (!Batch) Batch = std::make_unique<TNavigationUpdateScope>();
    return true;
}

void TAuthoringProject::FinishOpening() {
    const std::unique_ptr<TOpening> opening = std::move(Opening);
    if (opening->Accepted != opening->Description.Files.size()) {
        Files.Clear();
        ShowError(Translate("The project cannot be opened") + ": " + opening->Path);
        return;
    }
    // Each file's first numeric key before the selections: it moves their automatic keys.
    for (int i = 0; i < Files.Count() && i < static_cast<int>(opening->Description.Files.size()); ++i)
        Files.Get(i)->SetFirstNumericKey(opening->Description.Files[static_cast<std::size_t>(i)].FirstNumericKey);
    std::vector<TPbcSelection*> flat;
    for (const TDescriptionFile& file : opening->Description.Files)
        for (std::size_t entry = 0; entry < std::max<std::size_t>(file.Entries.size(), 1); ++entry) {
            const auto found = opening->Registry.find(std::to_string(flat.size()));
            flat.push_back(found == opening->Registry.end() ? nullptr : found->second);
        }
    ApplySelectionStates(opening->Description, flat);
    IsoTreeFromDescription(opening->Description.FileSystem, IsoTree);
    Files.UpdateNotify(true);
    ProjectFileName = opening->Path;
    Modified = false;
    Opened = true;
}
