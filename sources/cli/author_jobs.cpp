#include <cmath>
#include <filesystem>
#include <map>

#include "cli/cli_jobs.h"
#include "environment/detected_tools.h"
#include "model/entry_points.h"
#include "model/mpeg_file.h"
#include "services/services.h"
#include "settings/gui_settings.h"
#include "settings/language.h"
#include "vcdimager/compliance_file_names.h"
#include "vcdimager/mpeg_analysis_command.h"
#include "vcdimager/mpeg_compliance.h"
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

// A chapter time: H:MM:SS.mmm, or seconds ("65", "65.5"), up to 9:59:59.999.
std::optional<std::int64_t> ChapterTimeMs(const std::string& text) {
    const std::string value = Trim(text);
    if (IsValidTimeText(value)) return TimeTextToMs(value);
    try {
        std::size_t used = 0;
        const double seconds = std::stod(value, &used);
        // "nan", "inf" and times past the last time text are refused.
        if (used != value.size() || !std::isfinite(seconds) || seconds < 0 || seconds >= 36000.0) return std::nullopt;
        const auto ms = static_cast<std::int64_t>(std::llround(seconds * 1000.0));
        if (IsValidTimeText(MsToTimeText(ms))) return ms;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

// Shows an error that ends the job; the terminal dialogs count it.
void ShowError(const std::string& text) { Dialogs().MessageDlg(text, TMsgDlgType::Error, mbOK); }

// Every name is checked before any analysis starts, so that each refused
// file is told with its own reason; false (after a summary) when one was refused.
bool CheckInputFiles(const TStringList& files) {
    std::string names;
    int refused = 0;
    for (const std::string& file : files)
        if (!CheckMpegInputFile(file)) {
            ++refused;
            names += "\r" + file;
        }
    if (refused == 0) return true;
    ShowError(Format("%d of %d files were refused", refused, static_cast<int>(files.size())) + ":" + names);
    return false;
}

// The stored options out of their limits are told before any work starts:
// neither a generation nor a saved project may carry them.
bool CheckStoredLimits(TCliSession& session, TAuthoringProject& project) {
    const std::shared_ptr<TVcdProperties> properties = project.BuildProjectProperties(false, session.Manager());
    if (!properties) return false;
    for (const std::string& problem : PropertyLimitProblems(*properties)) ShowError(problem);
    return session.ErrorsShown() == 0;
}

// The summary of an add that left files out, naming each of them (a file
// named twice counts twice).
void ReportFilesNotAdded(const TStringList& files, const TMpegFiles& added) {
    std::map<std::string, int> left;
    for (const std::string& file : files) ++left[file];
    for (int i = 0; i < added.Count(); ++i) --left[added.Get(i)->FullPath()];
    std::string names;
    std::size_t notAdded = 0;
    for (const std::string& file : files)
        if (left[file] > 0) {
            --left[file];
            ++notAdded;
            names += "\r" + file;
        }
    ShowError(Format("%d of %d files could not be added to the project", static_cast<int>(notAdded),
                     static_cast<int>(files.size())) +
              ":" + names);
}

// The chapters asked for, on every motion video; false when one could not be made.
bool AddCliChapters(TCliSession& session, TMpegFiles& files, const std::vector<std::int64_t>& chapters,
                    std::int64_t everyMs) {
    for (int i = 0; i < files.Count(); ++i) {
        TMpegFile& file = *files.Get(i);
        if (!file.IsSequence()) continue;
        const int errorsBefore = session.ErrorsShown();
        for (const std::int64_t ms : chapters) {
            const int errors = session.ErrorsShown();
            if (!AddChapterAt(file, ms, true) && session.ErrorsShown() == errors)
                ShowError(Format("The chapter %s could not be added to \"%s\" (at most %d entry points per file)",
                                 MsToTimeText(ms), file.FileName(), MaxEntriesPerFile));
        }
        if (everyMs > 0) {
            const int errors = session.ErrorsShown();
            if (AddChaptersEvery(file, everyMs, 0) == 0 && session.ErrorsShown() == errors)
                session.Printer().Message(TMsgDlgType::Warning,
                                          Format("No chapter every %s fits in \"%s\": none is placed within the "
                                                 "last two seconds",
                                                 MsToTimeText(everyMs), file.FileName()));
        }
        // The chapter messages do not name the file; several files may be given.
        if (session.ErrorsShown() != errorsBefore)
            session.Printer().Message(TMsgDlgType::Error,
                                      Format("The chapters of \"%s\" could not all be made", file.FullPath()));
    }
    files.UpdateNotify(true);
    return session.ErrorsShown() == 0;
}

// The user's files and folders go into the root of the disc's file system;
// false when one of them is not there.
bool AddCliIsoFiles(TCliSession& session, TAuthoringProject& project, const std::vector<std::string>& paths) {
    if (paths.empty()) return true;
    // The generated folders first, so that a user's "VCD" is refused, not merged.
    project.PrepareIsoTree();
    TCdTreeView& tree = project.IsoTree;
    tree.ClearConflicts();
    tree.ClearLimitRefusals();
    for (const std::string& given : paths) {
        const std::string path = AbsolutePath(given);
        const int errors = session.ErrorsShown();
        const std::size_t conflicts = tree.Conflicts().size();
        std::error_code error;
        const bool added = fs::is_directory(path, error) ? tree.AddFolderFromDisk(tree.Root(), path, false, false)
                                                         : tree.AddFileFromDisk(tree.Root(), path, "", false, false);
        if (!added && tree.Conflicts().size() == conflicts && tree.LimitRefusals().empty() &&
            session.ErrorsShown() == errors)
            ShowError(Format("\"%s\" could not be put on the disc", path));
    }
    for (const std::string& conflict : tree.Conflicts()) ShowError("\r" + conflict);
    tree.ClearConflicts();
    // The window's tree leaves these out silently; a script must know.
    for (const std::string& path : tree.LimitRefusals())
        ShowError(
            Format("\"%s\" lies too deep (eight folder levels at most) or its disc path is too long "
                   "(255 characters at most)",
                   path));
    tree.ClearLimitRefusals();
    return session.ErrorsShown() == 0;
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
    std::int64_t everyMs = 0;
    if (!options.ChaptersEvery.empty()) {
        const std::optional<std::int64_t> ms = ChapterTimeMs(options.ChaptersEvery);
        if (!ms || *ms <= 0) {
            session.Printer().Message(TMsgDlgType::Error, "Invalid chapter interval \"" + options.ChaptersEvery +
                                                              "\" (at least 0.001 seconds, at most 9:59:59.999)");
            return ExitUsage;
        }
        everyMs = *ms;
    }
    for (const std::string& problem : {VolumeLabelProblem(options.Label), AlbumNameProblem(options.Album)})
        if (!problem.empty()) {
            session.Printer().Message(TMsgDlgType::Error, problem);
            return ExitUsage;
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
    // The stored mode, as the window starts with it; out of expert mode the
    // expert options keep their defaults and every refusal stays a refusal.
    project.Pages.ExpertMode = options.Expert || project.Pages.ExpertMode;
    if (!project.Pages.ExpertMode) {
        project.Pages.ComplianceChecks = true;
        project.Pages.RelaxAps = false;
    }
    project.Pages.XmlOnly = options.XmlOnly;
    project.SelectVideoCdType(*type);
    project.Pages.PlaybackControlChecked = project.PlaybackControlEnabled() && !options.NoPbc;
    project.Pages.OutputFile = output;

    if (!CheckStoredLimits(session, project)) return ExitFailure;

    TStringList files;
    for (const std::string& file : options.Files) files.push_back(AbsolutePath(file));
    if (!CheckInputFiles(files)) return ExitFailure;
    if (!options.Tv.empty()) {
        project.Pages.TvSystem = ParseTvSystem(options.Tv);
    } else if (const auto system = FirstFileTvSystem(session, files.front(), project.Pages.RelaxAps)) {
        project.Pages.TvSystem = *system;
    }

    if (session.WasInterrupted()) return ExitInterrupted;
    project.QueueAddFiles(files, session.Manager(), session.LineHandler());
    session.RunQueue(false);
    project.EndFileBatch();
    if (session.WasInterrupted()) return ExitInterrupted;
    if (project.Files.Count() != static_cast<int>(files.size())) {
        ReportFilesNotAdded(files, project.Files);
        return ExitFailure;
    }
    if (session.ErrorsShown() > 0) return ExitFailure;
    if (!options.Label.empty()) project.Pages.VolumeLabel = options.Label;
    if (!options.Album.empty()) project.Pages.AlbumName = options.Album;

    if (!AddCliChapters(session, project.Files, chapters, everyMs)) return ExitFailure;
    if (!AddCliIsoFiles(session, project, options.IsoFiles)) return ExitFailure;

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
