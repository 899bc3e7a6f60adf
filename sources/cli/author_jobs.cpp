#include <algorithm>
#include <filesystem>

#include "cli/cli_jobs.h"
#include "environment/detected_tools.h"
#include "model/entry_points.h"
#include "model/mpeg_file.h"
#include "settings/gui_settings.h"
#include "settings/language.h"
#include "stills/still_picture.h"
#include "vcdimager/compliance_file_names.h"
#include "vcdimager/mpeg_analysis_command.h"
#include "workflow/authoring_project.h"
#include "workflow/chapters.h"

namespace fs = std::filesystem;

namespace {

// The user's settings, as the program would start with them.
void LoadProgramSettings(TSettings& settings) {
    DeclareGuiSettings(settings, "");
    settings.Load();
}

std::optional<TVideoCdType> CliVideoCdType(const std::string& name) {
    if (name == "vcd11") return TVideoCdType::Vcd11;
    if (name == "vcd20") return TVideoCdType::Vcd20;
    if (name == "svcd") return TVideoCdType::Svcd10;
    return std::nullopt;
}

// A chapter time: H:MM:SS.mmm, or seconds ("65", "65.5").
std::optional<std::int64_t> ChapterTimeMs(const std::string& text) {
    const std::string value = Trim(text);
    if (IsValidTimeText(value)) return TimeTextToMs(value);
    try {
        std::size_t used = 0;
        const double seconds = std::stod(value, &used);
        if (used == value.size() && seconds >= 0) return static_cast<std::int64_t>(seconds * 1000.0 + 0.5);
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

// The project TV system that the first file gives; its stored analysis makes
// the add that follows cost nothing.
std::optional<TTvSystem> FirstFileTvSystem(TCliSession& session, const std::string& path, bool relaxedAps) {
    std::optional<TTvSystem> system;
    auto take = [&](TCommandInterface&, const TExecuteStatus& status, bool&, const TCommandParamPtr& param) {
        const TMinfoParam& minfo = static_cast<TMinfoParam&>(*param);
        if (!status.IsSucceeded() || !minfo.MpegFile || !minfo.MpegFile->Analysed()) return;
        const TStreamTvSystem stream = minfo.MpegFile->MainTvSystem();
        if (stream == TStreamTvSystem::Pal) system = TTvSystem::Pal;
        if (stream == TStreamTvSystem::Ntsc || stream == TStreamTvSystem::Film) system = TTvSystem::Ntsc;
    };
    session.Manager().Add(AnalyseMpegFile(path, nullptr, nullptr, 1, 1, relaxedAps, nullptr, take));
    session.RunQueue(false);
    return system;
}

int Generate(TCliSession& session, TAuthoringProject& project) {
    if (!project.QueueAuthoring(session.Manager(), session.LineHandler())) return ExitFailure;
    if (!session.RunQueue()) return session.FailureExitCode();
    session.Printer().Result(project.Pages.XmlOnly || !DetectedTools().VcdImagerAvailable ? "xml" : "image",
                             project.Pages.OutputFile);
    return ExitSuccess;
}

std::string DefaultOutput(bool xmlOnly, TCdImageType type) { return "videocd." + OutputExtension(type, xmlOnly); }

}  // namespace

int RunAuthor(TCliSession& session, const TAuthorOptions& options) {
    TSettings settings;
    LoadProgramSettings(settings);
    TAuthoringProject project(settings);

    const std::optional<TVideoCdType> type = CliVideoCdType(options.Type);
    if (!type) {
        session.Printer().Message(TMsgDlgType::Error, "Unknown disc type \"" + options.Type + "\"");
        return ExitUsage;
    }
    std::vector<std::int64_t> chapters;
    for (const std::string& text : options.Chapters) {
        const std::optional<std::int64_t> ms = ChapterTimeMs(text);
        if (!ms) {
            session.Printer().Message(TMsgDlgType::Error, "Invalid chapter time \"" + text + "\"");
            return ExitUsage;
        }
        chapters.push_back(*ms);
    }

    const TCdImageType imageType = CliImageType(options.Image);
    // Names that cannot be written as asked are refused before any work.
    const std::string output =
        AbsolutePath(options.Output.empty() ? DefaultOutput(options.XmlOnly, imageType) : options.Output);
    if (!CheckOutputFileName(output, OutputExtension(imageType, options.XmlOnly))) return ExitFailure;
    if (!options.SaveProject.empty() && !CheckOutputFileName(AbsolutePath(options.SaveProject), "dsv"))
        return ExitFailure;
    settings.SetValue("CdImageType", CdImageTypeName(imageType));
    settings.SetValue("Use2336BytesForImage", options.Sector2336);
    project.Pages.ExpertMode = true;  // the command line offers the expert options
    project.Pages.XmlOnly = options.XmlOnly;
    project.SelectVideoCdType(*type);
    project.Pages.PlaybackControlChecked = project.PlaybackControlEnabled() && !options.NoPbc;
    project.Pages.OutputFile = output;

    TStringList files;
    for (const std::string& file : options.Files) files.push_back(AbsolutePath(file));
    // Pictures become stills of the disc's kind; the TV system comes from the first MPEG file.
    const auto firstMpeg =
        std::find_if(files.begin(), files.end(), [](const std::string& f) { return !HasPictureExtension(f); });
    if (!options.Tv.empty()) {
        project.Pages.TvSystem = ParseTvSystem(options.Tv);
    } else if (firstMpeg == files.end()) {
        project.Pages.TvSystem = TTvSystem::Pal;
    } else if (const auto system = FirstFileTvSystem(session, *firstMpeg, project.Pages.RelaxAps)) {
        project.Pages.TvSystem = *system;
    }
    if (std::any_of(files.begin(), files.end(), HasPictureExtension)) {
        if (*type == TVideoCdType::Vcd11) {
            session.Printer().Message(TMsgDlgType::Error, "Stills need a VCD 2.0 or SVCD disc (--type vcd20 or svcd).");
            return ExitUsage;
        }
        if (!AuthorStills(session, *type == TVideoCdType::Svcd10, project.Pages.TvSystem == TTvSystem::Pal,
                          fs::path(output).parent_path().string(), files))
            return session.WasInterrupted() ? ExitInterrupted : ExitFailure;
    }

    if (session.WasInterrupted()) return ExitInterrupted;
    project.QueueAddFiles(files, session.Manager(), session.LineHandler());
    session.RunQueue(false);
    project.EndFileBatch();
    if (session.WasInterrupted()) return ExitInterrupted;
    if (project.Files.Count() != static_cast<int>(files.size())) {
        session.Printer().Message(TMsgDlgType::Error, Format("%d of %d files could not be added to the project",
                                                             static_cast<int>(files.size()) - project.Files.Count(),
                                                             static_cast<int>(files.size())));
        return ExitFailure;
    }
    if (!options.Label.empty()) project.Pages.VolumeLabel = options.Label;
    if (!options.Album.empty()) project.Pages.AlbumName = options.Album;

    for (int i = 0; i < project.Files.Count(); ++i) {
        TMpegFile& file = *project.Files.Get(i);
        if (!file.IsSequence()) continue;
        for (const std::int64_t ms : chapters) AddChapterAt(file, ms, true);
        if (options.ChaptersEverySeconds > 0)
            AddChaptersEvery(file, static_cast<std::int64_t>(options.ChaptersEverySeconds * 1000.0 + 0.5), 0);
    }
    project.Files.UpdateNotify(true);

    if (!options.SaveProject.empty()) {
        if (!project.SaveProject(AbsolutePath(options.SaveProject), session.Manager())) return ExitFailure;
        session.Printer().Result("project", AbsolutePath(options.SaveProject));
    }
    return Generate(session, project);
}

int RunBuildProject(TCliSession& session, const std::string& projectFile, const std::string& output) {
    TSettings settings;
    LoadProgramSettings(settings);
    TAuthoringProject project(settings);
    if (!project.QueueOpenProject(AbsolutePath(projectFile), session.Manager(), session.LineHandler()))
        return ExitFailure;
    session.RunQueue(false);
    project.EndFileBatch();
    if (session.WasInterrupted()) return ExitInterrupted;
    if (!project.OpenedProject()) return ExitFailure;  // the opening told why
    if (!output.empty()) project.Pages.OutputFile = AbsolutePath(output);
    if (Trim(project.Pages.OutputFile).empty())
        project.Pages.OutputFile = AbsolutePath(DefaultOutput(project.Pages.XmlOnly, project.ImageType()));
    return Generate(session, project);
}
