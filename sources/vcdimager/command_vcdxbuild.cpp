#include "vcdimager/command_vcdxbuild.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "environment/detected_tools.h"
#include "exec/status_lines.h"
#include "lib/product.h"
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

void DeleteQuietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

// Deletes the track images of `base`, and only those: another file whose name
// merely starts like them may be the user's.
void DeleteTrackImages(const std::string& base) {
    for (const std::string& path : TrackImageFiles(base)) DeleteQuietly(path);
}

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

void TCommandVcdXBuild::GetParameters(std::string& arguments) {
    arguments.clear();
    if (!BuildParam || !ToolsComplete) return;
    const std::string xml = ToolPath(BuildParam->XmlFile);
    const std::string base = ToolPath(BuildParam->ImageBase);
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

void TCommandVcdXBuild::OnSuccess() {
    if (!BuildParam) return;
    const std::string& base = BuildParam->ImageBase;
    RememberLastImageName(base);
    std::string error;
    bool rewritten = true;
    switch (BuildParam->ImageType) {
        case TCdImageType::Cue:
        case TCdImageType::AdvCue:
            rewritten =
                RewriteCue(base, BuildParam->ImageType == TCdImageType::Cue, BuildParam->BareBinFileName, &error);
            break;
        case TCdImageType::Toast:
            StripToastFiles(base);
            break;
        case TCdImageType::Toc:
            rewritten = RewriteToc(base, &error);
            break;
    }
    if (!rewritten) {
        // The description was not adapted: not a success, and the image goes as for any failed build.
        Failed = true;
        Status.SetFailed();
        Status.ErrorLines.push_back(Translate("Unable to adapt the CD image description file") + ": " + error);
    }
}

void TCommandVcdXBuild::DeletePartialFiles() const {
    if (!BuildParam || BuildParam->ImageBase.empty()) return;
    const std::string& base = BuildParam->ImageBase;
    if (IsBinCue(BuildParam->ImageType)) {
        DeleteQuietly(base + ".cue");
        DeleteQuietly(base + ".bin");
    } else {
        DeleteQuietly(base + ".toc");
        DeleteTrackImages(base);
    }
}

void TCommandVcdXBuild::OnFailure() { DeletePartialFiles(); }
void TCommandVcdXBuild::OnCancel() { DeletePartialFiles(); }

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
                                            TCdImageType imageType, bool sector2336) {
    auto param = std::make_shared<TBuildParam>();
    param->ToolsComplete = DetectedTools().VcdImagerAvailable;
    param->XmlFile = xmlFile;
    param->ImageBase = imageBase;
    param->ImageType = imageType;
    param->Sector2336 = sector2336;
    param->BareBinFileName = TStartupKeysReader().Read().ExpertLongBinNameOnly;
    return param;
}

std::shared_ptr<TBuildParam> MakeBuildParam(const TVcdProperties& properties) {
    return MakeBuildParam(properties.XmlPath, properties.OutputBaseName, properties.CdImageType, properties.Image2336);
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
