#include "vcdimager/command_vcdxbuild.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "environment/detected_tools.h"
#include "exec/status_lines.h"
#include "lib/product.h"
#include "lib/safe_file.h"
#include "services/services.h"
#include "settings/language.h"
#include "settings/startup_keys.h"
#include "vcdimager/last_file_names.h"
#include "vcdimager/mpeg_analysis_parser.h"
#include "writers/image_description_rewrite.h"
#include "writers/video_cd_xml_writer.h"

namespace fs = std::filesystem;

namespace {

bool IsBinCue(TCdImageType type) { return type == TCdImageType::Cue || type == TCdImageType::AdvCue; }

std::string WarningBoxLine(const std::string& text) { return Translate(text) + "       "; }

// vcdxbuild's track images: base + "_" + the track number (+ "_pregap") + ".img".
bool IsTrackImageName(const std::string& name, const std::string& prefix) {
    if (!StartsWith(name, prefix) || !EndsWith(name, ".img")) return false;
    std::string rest = name.substr(prefix.size(), name.size() - prefix.size() - 4);
    if (EndsWith(rest, "_pregap")) rest.resize(rest.size() - 7);
    return !rest.empty() && rest.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

TStringList TrackImageFiles(const std::string& base) {
    const fs::path basePath(base);
    const std::string prefix = basePath.filename().string() + "_";
    const fs::path folder = basePath.has_parent_path() ? basePath.parent_path() : fs::path(".");
    std::error_code error;
    TStringList images;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        if (IsTrackImageName(it->path().filename().string(), prefix) && it->is_regular_file(kindError))
            images.push_back(it->path().string());
    }
    return images;
}

std::string EntryPointKey(std::string_view text) {
    const std::string line(text);
    std::string id;
    if (const std::size_t open = line.find("(id="); open != std::string::npos) {
        const std::size_t close = line.find(") at", open + 4);
        if (close != std::string::npos) id = line.substr(open + 4, close - open - 4);
    }
    // The entry's own number goes: the key names the sequence.
    id = id.size() > 3 ? id.substr(0, id.size() - 3) : "";
    std::string where;
    const std::string marker = "closest possible entry point at";
    if (const std::size_t at = FindText(line, marker); at != std::string::npos)
        where = line.substr(at + marker.size(), 20);
    return Trim(id + where);
}

std::string ImageFileName(const TBuildParam& param) {
    return param.ImageBase + (IsBinCue(param.ImageType) ? ".bin" : ".toc");
}

TCommandVcdXBuild::TCommandVcdXBuild(TCommandSetup setup)
    : TCommandVcd(std::move(setup)), BuildParam(std::dynamic_pointer_cast<TBuildParam>(Param)) {
    Kind = TCommandKind::ImageBuild;
}

void TCommandVcdXBuild::GetExecutable(std::string& path) { path = VcdImagerProgram("vcdxbuild"); }

void TCommandVcdXBuild::GetWorkingFolder(std::string& folder) {
    folder = BuildParam ? fs::path(BuildParam->XmlFile).parent_path().string() : "";
}

std::vector<std::string> TCommandVcdXBuild::ToolPaths() const {
    if (!BuildParam) return {};
    return {ToolPath(BuildParam->XmlFile), ToolPath(BuildParam->ImageBase)};
}

const std::string& TCommandVcdXBuild::WorkBase() {
    if (BuildParam->WorkBase.empty()) {
        if (!BuildParam->Outputs) BuildParam->Outputs = std::make_shared<TOutputFiles>();
        BuildParam->WorkBase = BuildParam->Outputs->Base(BuildParam->ImageBase);
    }
    return BuildParam->WorkBase;
}

void TCommandVcdXBuild::GetParameters(std::string& arguments) {
    arguments.clear();
    if (!BuildParam || !ToolsComplete) return;
    const std::string xml = ToolPath(BuildParam->XmlFile);
    const std::string base = ToolPath(WorkBase());
    const std::string sector = BuildParam->Sector2336 ? " -o sector=2336" : "";
    arguments = "-v --gui -p";
    if (IsBinCue(BuildParam->ImageType))
        arguments += " -i bincue" + sector + " -o bin=\"" + base + ".bin\"" + " -o cue=\"" + base + ".cue\"";
    else
        arguments += " -i cdrdao" + sector + " -o img_base=\"" + base + "\"" + " --cdrdao-file \"" + base + "\"";
    arguments += " \"" + xml + "\"";
}

void TCommandVcdXBuild::BeforeStart(bool& proceed) {
    LastEntryKey.clear();
    PendingLine.clear();
    Warnings.clear();
    if (BuildParam) {
        BuildParam->SameEntryPoint = false;
        BuildParam->ShowUnknownTagRemark = true;
        BuildParam->ShowUserDataRemark = true;
    }
    // Without the tools the command line would be empty: say why instead.
    if (proceed && !ToolsComplete) {
        RefuseRun(Translate("GNU VCDImager was not found, or not all of its tools"));
        proceed = false;
        return;
    }
    TCommandVcd::BeforeStart(proceed);
}

void TCommandVcdXBuild::FilterLine(std::string& line) {
    if (!PendingLine.empty()) EmitLine(std::exchange(PendingLine, {}));
    TCommandVcd::FilterLine(line);
    line = Trim(line);
    if (IsElement(line, "log"))
        FilterLogLine(line);
    else if (line.find("finished ok, ") != std::string::npos)
        Status.SuccessLines.push_back(line);
}

void TCommandVcdXBuild::FilterLogLine(std::string& line) {
    const std::string level = AttributeValue(line, "level");
    const std::string text = LogElementText(line);
    const bool remark = level == LogLevel::Debug || level == LogLevel::Warning;
    if (level == LogLevel::Warning && Warnings.size() < 20) Warnings.push_back(text);

    if (level == LogLevel::Information && line.find("finished ok, ") != std::string::npos)
        Status.SuccessLines.push_back(text);

    if (remark && ContainsText(line, "closest possible entry point")) {
        const std::string key = EntryPointKey(text);
        // A remark without a recognisable key says nothing about its neighbour.
        if (!key.empty() && key == LastEntryKey) {
            if (BuildParam) BuildParam->SameEntryPoint = true;
            PendingLine = MakeLogStatusLine(
                LogLevel::Assertion,
                Format(Translate("Attention: several chapters at the same entry point (if it is not what you "
                                 "wanted... change your chapters or let %s analyse the MPEG files to avoid this "
                                 "situation)"),
                       std::string(ProductName)));
        }
        LastEntryKey = key;
    }
    if (remark && ContainsText(line, "falls into same sector as previous one") && BuildParam)
        BuildParam->SameEntryPoint = true;

    if (ContainsText(line, "looks like a RIFF header")) {
        line = MakeLogStatusLine(LogLevel::Error,
                                 "Invalid MPEG file, seems to be a \".dat\" file renamed to \".mpg\". (Use Cdxa2mpeg "
                                 "in the tools page to try to convert it to a \"true\" Mpeg file)");
        Status.ErrorLines.push_back(Translate("Invalid MPEG file, seems to be a \".dat\" file renamed to \".mpg\""));
        Status.ErrorLines.push_back(
            Translate("Use Cdxa2mpeg in the tools page to try to convert it to a \"true\" Mpeg file"));
        Failed = true;
        return;
    }
    if (ContainsText(line, "bad packet at packet")) {
        line = IsHarmlessBadPacket(text) ? "" : MakeLogStatusLine(LogLevel::Assertion, text);
        return;
    }
    if (ContainsText(line, "mpeg stream will be padded on the fly")) {
        line = MakeLogStatusLine(LogLevel::Warning, text);
        return;
    }
    if (ContainsText(line, "may not fit on")) {
        line = MakeLogStatusLine(LogLevel::Assertion, text);
        return;
    }
    if (ContainsText(line, "image too big (")) {
        Status.ErrorLines.push_back("");
        Status.ErrorLines.push_back(Translate(
            "CD image file too big... (note that it will not solve the problem, nor work, to use a DVD disc...)"));
        Status.ErrorLines.push_back(Translate("You need to cut a too big MPEG file if any (in using a MPEG cut tool), "
                                              "or put less MPEG files, to reduce the total size") +
                                    ".");
        Status.ErrorLines.push_back(
            Translate("Or, if you put many files in the ISO filesystem part, you may need to remove some..."));
        Failed = true;
        return;
    }

    if (!BuildParam) return;
    if (ContainsText(line, "<log level=\"debug\">adding sequence #") ||
        ContainsText(line, "<log level=\"debug\">adding segment #")) {
        BuildParam->ShowUnknownTagRemark = true;
        BuildParam->ShowUserDataRemark = true;
    }
    if (remark && ContainsText(line, "strange (possibly non-compliant) user_data seen...")) {
        line = BuildParam->ShowUserDataRemark
                   ? MakeLogStatusLine(LogLevel::Warning,
                                       text + " " + Translate("(not a problem, usually a sign of TMPGEnc)"))
                   : "";
        BuildParam->ShowUserDataRemark = false;
    } else if (remark && ContainsText(line, "unknown user data tag id")) {
        line = BuildParam->ShowUnknownTagRemark
                   ? MakeLogStatusLine(
                         LogLevel::Warning,
                         text + " " + Translate("(not a problem, most likely caused by a specific MPEG encoder)"))
                   : "";
        BuildParam->ShowUnknownTagRemark = false;
    }
}

// Checks what vcdxbuild wrote, adapts the description file and moves the
// image into place; the reason when any step failed.
std::string TCommandVcdXBuild::PlaceImageFiles() {
    const std::string& work = WorkBase();
    const std::string& base = BuildParam->ImageBase;
    const TCdImageType type = BuildParam->ImageType;
    if (std::string problem = ImageFilesProblem(work, type, BuildParam->Sector2336); !problem.empty()) return problem;
    // The description names the temporary files: it must name the final ones.
    const std::string description = work + (IsBinCue(type) ? ".cue" : ".toc");
    std::string error;
    if (const std::optional<std::string> text = ReadFileBytes(description);
        !text || !SaveFileSafely(description, ReplaceAll(*text, work, base), &error))
        return Translate("Unable to adapt the CD image description file") + ": " + error;
    bool rewritten = true;
    switch (type) {
        case TCdImageType::Cue:
        case TCdImageType::AdvCue:
            rewritten = RewriteCue(work, type == TCdImageType::Cue, BuildParam->BareBinFileName, &error);
            break;
        case TCdImageType::Toast:
            StripToastFiles(work);
            break;
        case TCdImageType::Toc:
            rewritten = RewriteToc(work, &error);
            break;
    }
    if (!rewritten) return Translate("Unable to adapt the CD image description file") + ": " + error;

    // Track images of the previous image that this one does not replace would
    // be mistaken for part of it.
    TStringList obsolete;
    if (!IsBinCue(type)) {
        obsolete = TrackImageFiles(base);
        if (type == TCdImageType::Toast) obsolete.push_back(base + ".toc");
        for (const auto& [written, final] : BuildParam->Outputs->Written())
            obsolete.erase(std::remove(obsolete.begin(), obsolete.end(), final), obsolete.end());
    }
    if (!BuildParam->Outputs->Commit(&error)) return Translate("Unable to overwrite") + ": " + error;
    for (const std::string& path : obsolete) RemoveQuietly(path);
    return "";
}

void TCommandVcdXBuild::OnSuccess() {
    if (!BuildParam) return;
    const std::string problem = PlaceImageFiles();
    if (problem.empty()) {
        RememberLastImageName(BuildParam->ImageBase);
        return;
    }
    // Not a success: the image goes as for any failed build.
    FailAfterRun(problem);
}

// The previous image stays as it was: only what this run wrote goes.
void TCommandVcdXBuild::DeletePartialFiles() {
    if (!BuildParam) return;
    if (BuildParam->Outputs) BuildParam->Outputs->Discard();
}

void TCommandVcdXBuild::OnFailure() { DeletePartialFiles(); }

// vcdxbuild says why it could not read a description only in a warning.
void TCommandVcdXBuild::ExplainFailure(std::uint32_t exitCode) {
    if (Warnings.empty()) return TCommandVcd::ExplainFailure(exitCode);
    for (const std::string& warning : Warnings) Status.ErrorLines.push_back(warning);
}

void TCommandVcdXBuild::OnCancel() { DeletePartialFiles(); }

namespace {

std::uintmax_t SectorSize(bool sector2336) { return sector2336 ? 2336 : 2352; }

// A file the description names: a non-empty whole number of sectors.
std::string DataFileProblem(const fs::path& path, bool sector2336) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return Translate("The CD image file is missing") + ": " + path.string();
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size == 0 || size % SectorSize(sector2336) != 0)
        return Translate("The CD image file is not a whole number of sectors") + ": " + path.string();
    return "";
}

// The quoted names after `keyword` (FILE in a CUE sheet, DATAFILE or FILE in a TOC).
TStringList NamedFiles(const std::string& text, const TStringList& keywords) {
    TStringList names;
    for (const std::string& line : SplitLines(text)) {
        const std::string trimmed = Trim(line);
        for (const std::string& keyword : keywords) {
            if (!StartsText(trimmed, keyword + " \"")) continue;
            const std::size_t open = keyword.size() + 1;
            const std::size_t close = trimmed.find('"', open + 1);
            if (close != std::string::npos) names.push_back(trimmed.substr(open + 1, close - open - 1));
        }
    }
    return names;
}

}  // namespace

std::string ImageFilesProblem(const std::string& base, TCdImageType type, bool sector2336) {
    const bool binCue = IsBinCue(type);
    const std::string description = base + (binCue ? ".cue" : ".toc");
    const std::optional<std::string> text = ReadFileBytes(description);
    if (!text || Trim(*text).empty()) return Translate("vcdxbuild wrote no CD image description") + ": " + description;
    const TStringList named = NamedFiles(*text, binCue ? TStringList{"FILE"} : TStringList{"DATAFILE", "FILE"});
    if (named.empty()) return Translate("The CD image description names no image file") + ": " + description;
    const fs::path folder = fs::path(description).parent_path();
    for (const std::string& name : named) {
        const fs::path path = fs::path(name).is_absolute() ? fs::path(name) : folder / name;
        if (std::string problem = DataFileProblem(path, sector2336); !problem.empty()) return problem;
    }
    if (binCue) return DataFileProblem(base + ".bin", sector2336);
    return "";
}

std::unique_ptr<TCommandVcdXBuild> BuildCdImage(std::shared_ptr<TBuildParam> param, TCommandOutputEvent onOutput) {
    TCommandSetup setup;
    setup.Param = std::move(param);
    setup.Title = "VCDxBuild";
    setup.WaitMessage = Translate("Please wait") + "...";
    setup.OnOutput = std::move(onOutput);
    setup.OnEnded = BuildCdImageEnded;
    setup.Reported = true;
    setup.StopWaitingAtEnd = true;
    return std::make_unique<TCommandVcdXBuild>(std::move(setup));
}

std::shared_ptr<TBuildParam> MakeBuildParam(const std::string& xmlFile, const std::string& imageBase,
                                            TCdImageType imageType, bool sector2336,
                                            std::shared_ptr<TOutputFiles> outputs) {
    auto param = std::make_shared<TBuildParam>();
    param->ToolsComplete = DetectedTools().VcdImagerAvailable;
    param->XmlFile = xmlFile;
    param->ImageBase = imageBase;
    param->ImageType = imageType;
    param->Sector2336 = sector2336;
    param->BareBinFileName = TStartupKeysReader().Read().ExpertLongBinNameOnly;
    param->Outputs = outputs ? std::move(outputs) : std::make_shared<TOutputFiles>();
    param->WorkBase = param->Outputs->Base(imageBase);
    return param;
}

std::shared_ptr<TBuildParam> MakeBuildParam(const TVcdProperties& properties, std::shared_ptr<TOutputFiles> outputs) {
    return MakeBuildParam(properties.XmlPath, properties.OutputBaseName, properties.CdImageType, properties.Image2336,
                          std::move(outputs));
}

void BuildCdImageEnded(TCommandInterface&, const TExecuteStatus& status, bool& continueQueue,
                       const TCommandParamPtr& param) {
    if (!status.IsSucceeded()) {
        continueQueue = false;
        return;
    }
    const auto* build = dynamic_cast<const TBuildParam*>(param.get());
    if (!build || !build->SameEntryPoint) return;

    const std::string a = Translate("Attention: one or more chapters have the same entry point") + " (" +
                          ReplaceAll(Translate("See the detailled log"), "detailled", "detailed") + ")";
    const std::string b = WarningBoxLine("To avoid this, change your chapters or relax the ASP constraints");
    if (!continueQueue) {
        Dialogs().MessageDlg("\r" + a + "\r" + b + "\r", TMsgDlgType::Warning, mbOK);
    } else if (build->ImageType == TCdImageType::AdvCue) {
        const std::string c = WarningBoxLine(
            "CDRDAO will not accept to burn the VideoCD,^Change the CD image type to \"CDRDAO TOC\" if you really "
            "want to burn it");
        Dialogs().MessageDlg("\r" + a + "\r" + b + "\r\r" + c + "\r", TMsgDlgType::Warning, mbOK);
        continueQueue = false;
    } else {
        const std::string d = WarningBoxLine("NB: You may encounter burning problems...");
        const std::string e = WarningBoxLine("Do you want to continue ?");
        if (Dialogs().ConfirmNoDefault("\r" + a + "\r" + b + "\r\r" + d + "\r" + e + "\r", TMsgDlgType::Warning,
                                       mbYesNo) != TModalResult::Yes)
            continueQueue = false;
    }
}
