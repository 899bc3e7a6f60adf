#include "model/vcd_properties.h"

#include <algorithm>
#include <system_error>

#include "lib/safe_file.h"
#include "model/mpeg_files.h"
#include "settings/language.h"

namespace {

bool IsFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// The tools cannot take these shipped files from a folder whose path holds ",".
bool UsableFolder(const std::filesystem::path& folder) { return folder.string().find(',') == std::string::npos; }

[[noreturn]] void Refuse(const std::string& first, const std::string& second = {}) {
    std::string message = Translate(first);
    if (!second.empty()) message += "\r\r" + second;
    throw EAuthoringError(message);
}

int MotionVideoCount(const TMpegFiles& files) {
    int count = 0;
    for (int i = 0; i < files.Count(); ++i)
        if (files.Get(i)->IsSequence()) ++count;
    return count;
}

}  // namespace

void TVcdProperties::SetOutputBaseName(const std::string& baseName) {
    OutputBaseName = baseName;
    XmlPath = baseName + ".xml";
}

int VolumeNumberWithinCount(int volumeNumber, int volumeCount) {
    const int count = std::clamp(volumeCount, 1, MaxVolumeCount);
    return std::clamp(volumeNumber, 1, count);
}

int TrackPreGapFor(TCdImageType imageType, int storedTrackPreGap) {
    return imageType == TCdImageType::Toast ? ToastTrackPreGap : storedTrackPreGap;
}

TTrackMargins TrackMarginsFor(TVideoCdType type, TTrackMargins vcd, TTrackMargins svcd) {
    return type == TVideoCdType::Svcd10 ? svcd : vcd;
}

bool SvcdOnlyOption(bool checked, TVideoCdType type) { return checked && HasSvcdOnlyOptions(type); }

bool NextVolumeChecksEnabled(bool usePbc, int volumeCount, int volumeNumber, const std::string& albumName,
                             TVideoCdType type) {
    return usePbc && volumeCount > 1 && volumeNumber < volumeCount && !Trim(albumName).empty() &&
           type != TVideoCdType::Vcd11;
}

void ApplyNextVolumeFlags(TVcdProperties& properties, bool useSequence2Checked, bool useLid2Checked) {
    properties.NextVolumeUseSequence2 = false;
    properties.NextVolumeUseLid2 = false;
    const bool enabled = NextVolumeChecksEnabled(properties.UsePBC, properties.VolumeCount, properties.VolumeNumber,
                                                 properties.AlbumName, properties.VideoCdType);
    if (!enabled || properties.VolumeNumber <= 1) return;
    properties.NextVolumeUseSequence2 = useSequence2Checked;
    properties.NextVolumeUseLid2 = useLid2Checked;
}

std::string PlaceholderSequenceName(TTvSystem tvSystem, TVideoCdType type) {
    const std::string disc = type == TVideoCdType::Vcd20 ? "PhotoVCD2" : "PhotoSVCD";
    return disc + (tvSystem == TTvSystem::Ntsc ? "-NTSC.mpg" : "-PAL.mpg");
}

std::string PlaceholderSequenceFor(const std::filesystem::path& dataFolder, TTvSystem tvSystem, TVideoCdType type,
                                   bool hasMotionVideo, bool hasStills) {
    if (hasMotionVideo || !hasStills || !UsableFolder(dataFolder)) return {};
    const std::filesystem::path path = dataFolder / "Extra" / PlaceholderSequenceName(tvSystem, type);
    return IsFile(path) ? path.string() : std::string();
}

std::string PlaceholderSequenceFor(const TStringList& dataFolders, TTvSystem tvSystem, TVideoCdType type,
                                   bool hasMotionVideo, bool hasStills) {
    for (const std::string& folder : dataFolders)
        if (std::string path = PlaceholderSequenceFor(folder, tvSystem, type, hasMotionVideo, hasStills); !path.empty())
            return path;
    return {};
}

bool CdiOptionsApply(TVideoCdType type) { return HasCdiOptions(type); }

bool CdiApplicationAvailable(const std::filesystem::path& programFolder) {
    const std::filesystem::path folder = programFolder / "Cdi";
    if (!UsableFolder(folder)) return false;
    return IsFile(folder / "CDI_VCD.APP") && IsFile(folder / "CDI_TEXT.FNT") && IsFile(folder / "CDI_IMAG.RTF");
}

std::filesystem::path CdiDataFolder(const TStringList& dataFolders) {
    for (const std::string& folder : dataFolders)
        if (CdiApplicationAvailable(folder)) return folder;
    return dataFolders.empty() ? std::filesystem::path() : std::filesystem::path(dataFolders.front());
}

std::filesystem::path CdiConfigFilePath(const std::filesystem::path& programFolder) {
    return programFolder / "Cdi" / "CDI_VCD.CFG";
}

bool CdiConfigFileAvailable(const std::filesystem::path& programFolder, bool defaultApplicationChosen) {
    return defaultApplicationChosen && CdiApplicationAvailable(programFolder) &&
           IsFile(CdiConfigFilePath(programFolder));
}

std::string ApplicationIdFor(bool defaultApplication, const std::string& storedApplicationId) {
    return defaultApplication ? DefaultCdiApplicationId : storedApplicationId;
}

bool TCdiConfigText::Refresh() {
    std::error_code error;
    const auto time = std::filesystem::last_write_time(Path, error);
    if (error) {
        LoadedTime.reset();
        Content.clear();
        return false;
    }
    if (LoadedTime && *LoadedTime == time) return true;
    std::optional<std::string> bytes = ReadFileBytes(Path.string());
    if (!bytes) {
        LoadedTime.reset();
        Content.clear();
        return false;
    }
    Content = std::move(*bytes);
    LoadedTime = time;
    return true;
}

void ApplyDependentValues(TVcdProperties& properties, const TMpegFiles& files, const TStringList& dataFolders) {
    const bool hasStills = files.StillCount() > 0;
    properties.TrackPreGap = TrackPreGapFor(properties.CdImageType, properties.TrackPreGap);
    properties.EmptySegmentFolder = properties.AlwaysSegmentFolder && !hasStills;
    properties.PlaceholderSequence = PlaceholderSequenceFor(dataFolders, properties.TvSystem, properties.VideoCdType,
                                                            MotionVideoCount(files) > 0, hasStills);
}

void ApplyDefaultWaitTime(TMpegFiles& files, int seconds) {
    PbcDefaults().WaitTime = seconds;
    for (int i = 0; i < files.Count(); ++i) {
        const TEntryPointsList& entries = files.Get(i)->EntryPoints();
        for (int e = 0; e < entries.Count(); ++e) entries.SelectionAt(e)->SetAutoWaitTime(seconds);
    }
}

void ApplyNumericKeysByDefault(TMpegFiles& files, bool numericKeys) {
    PbcDefaults().NumericKeysByDefault = numericKeys;
    const TNumericMode mode = numericKeys ? TNumericMode::Automatic : TNumericMode::None;
    for (int i = 0; i < files.Count(); ++i) {
        const TEntryPointsList& entries = files.Get(i)->EntryPoints();
        for (int e = 0; e < entries.Count(); ++e) {
            TPbcSelection* selection = entries.SelectionAt(e);
            if (!selection->NumericCustom()) selection->SetNumericMode(mode);
        }
    }
}

void CheckDiscLimits(const TMpegFiles& files) {
    int entryPoints = 0;
    for (int i = 0; i < files.Count(); ++i)
        if (files.Get(i)->IsSequence()) entryPoints += files.Get(i)->EntryPoints().Count();
    if (entryPoints > MaxEntryPointsOnDisc) {
        ShowLimitMessage("No more than a total of %s entrypoints can be referenced in a (S)VCD", MaxEntryPointsOnDisc);
        throw EAuthoringError("");
    }
    // The counters follow the kind at add time: a counter above its limit is
    // checked again against the kinds now.
    if (files.SequenceCount() > MaxMotionVideos && MotionVideoCount(files) > MaxMotionVideos) {
        ShowLimitMessage("A (S)VCD can not have more than %s MPEG videos", MaxMotionVideos);
        throw EAuthoringError("");
    }
    if (files.SegmentCount() > MaxStills && files.StillCount() > MaxStills) {
        ShowLimitMessage("A (S)VCD can not have more than %s MPEG stills (pictures)", MaxStills);
        throw EAuthoringError("");
    }
}

namespace {

// vcdxbuild cuts these fields after so many bytes: a character outside ASCII
// takes two or more of them.
std::string LengthProblem(const std::string& message, const std::string& value, int maximum) {
    if (value.size() <= static_cast<std::size_t>(maximum)) return {};
    return Format(Translate(message), value, std::to_string(maximum));
}

}  // namespace

std::string AlbumNameProblem(const std::string& albumName) {
    return LengthProblem("The album name \"%s\" is longer than %s characters", albumName, MaxAlbumNameLength);
}

std::string VolumeLabelProblem(const std::string& volumeLabel) {
    return LengthProblem("The volume label \"%s\" is longer than %s characters", volumeLabel, MaxVolumeLabelLength);
}

std::string RangeProblem(const std::string& what, long long value, int minimum, int maximum) {
    if (value >= minimum && value <= maximum) return {};
    return Format(Translate("%s must be between %s and %s, not %s"), what, std::to_string(minimum),
                  std::to_string(maximum), std::to_string(value));
}

TStringList PropertyLimitProblems(const TVcdProperties& p) {
    const std::string problems[] = {
        AlbumNameProblem(p.AlbumName),
        VolumeLabelProblem(p.VolumeLabel),
        RangeProblem(Translate("The default wait time"), p.DefaultWaitTime, 0, MaxWaitTime),
        RangeProblem(Translate("The volume count"), p.VolumeCount, MinVolumeCount, MaxVolumeCount),
        RangeProblem(Translate("The volume number"), p.VolumeNumber, MinVolumeCount, MaxVolumeCount),
        RangeProblem(Translate("The restriction category"), p.RestrictionCategory, 0, MaxRestrictionCategory),
        RangeProblem(Translate("The leadout pregap"), p.LeadoutPreGap, 0, MaxPreGap),
        RangeProblem(Translate("The track pregap"), p.TrackPreGap, MinTrackPreGap, MaxPreGap),
        RangeProblem(Translate("The track front margin"), p.TrackFrontMargin, 0, MaxMargin),
        RangeProblem(Translate("The track rear margin"), p.TrackRearMargin, 0, MaxMargin),
    };
    TStringList found;
    for (const std::string& problem : problems)
        if (!problem.empty()) found.push_back(problem);
    return found;
}

void ValidateProject(const TVcdProperties& properties, const TMpegFiles& files) {
    // Values beyond these limits would be cut or refused by the image tools.
    if (const TStringList limits = PropertyLimitProblems(properties); !limits.empty())
        throw EAuthoringError(JoinLines(limits, "\r"));
    if (properties.VolumeCount > 1 && Trim(properties.AlbumName).empty())
        Refuse("The volume name must not be empty when there are more than one volumes",
               Format(Translate("You entered a total of %s volumes for the album"),
                      std::to_string(properties.VolumeCount)));
    const bool hasStills = files.StillCount() > 0;
    if (hasStills && properties.VideoCdType == TVideoCdType::Vcd11)
        Refuse("VCD1.1 does not allow the use of MPEG pictures", Translate("Remove them or choose VCD2.0"));
    if (hasStills && !properties.UsePBC)
        Refuse("You need to activate Interactivity (Playback Control) in order to play MPEG pictures");
    if (MotionVideoCount(files) == 0 && properties.PlaceholderSequence.empty()) {
        if (files.Count() == 0) Refuse("Please, add at least one MPEG file");
        Refuse("Please, add at least one non MPEG still file", Translate("(i.e. one MPEG video file)"));
    }
    CheckDiscLimits(files);
}
