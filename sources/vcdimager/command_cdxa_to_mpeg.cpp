#include "vcdimager/command_cdxa_to_mpeg.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "environment/detected_tools.h"
#include "exec/status_lines.h"
#include "services/services.h"
#include "settings/language.h"
#include "vcdimager/compliance_file_names.h"
#include "vcdimager/last_file_names.h"
#include "writers/video_cd_xml_writer.h"

namespace fs = std::filesystem;

namespace {

void ShowError(const std::string& what, const std::string& path, const std::string& advice) {
    Dialogs().MessageDlg(Translate(what) + ":" + "\r\r" + "  " + path + "\r\r" + Translate(advice) + "...   ",
                         TMsgDlgType::Error, mbOK);
}

bool Exists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// Rewrites a line that starts with `marker` (any case) as a log line of `level`.
bool ConvertMarker(std::string& line, std::string_view marker, const char* level) {
    if (!StartsText(line, marker)) return false;
    line = MakeLogStatusLine(level, Trim(std::string_view(line).substr(marker.size())));
    return true;
}

}  // namespace

bool PrepareToolOutputFile(const std::string& path) {
    const TOutputProblem problem = OutputFileProblem(path);
    if (problem == TOutputProblem::CannotOverwrite)
        ShowError("Unable to overwrite", path, "Please be sure that this file is not ReadOnly");
    else if (problem == TOutputProblem::CannotCreate)
        ShowError("Unable to create", path, "Please check the filename");
    return problem == TOutputProblem::None && (!Exists(path) || ConfirmReplacing({path}));
}

bool RefuseSameCdxaFiles(const std::string& datFile, const std::string& mpgFile) {
    std::error_code error;
    const std::string in = fs::weakly_canonical(fs::path(Trim(datFile)), error).string();
    const std::string out = fs::weakly_canonical(fs::path(Trim(mpgFile)), error).string();
    // Also one file under two names (a link), which would be read while it is rewritten.
    if (!SameText(in, out) && !fs::equivalent(in, out, error)) return false;
    Dialogs().MessageDlg("\r" + Translate("The files must be different") + "\r", TMsgDlgType::Error, mbOK);
    return true;
}

TCommandCdxaToMpeg::TCommandCdxaToMpeg(TCommandSetup setup)
    : TCommandVcd(std::move(setup)), DatParam(std::dynamic_pointer_cast<TDatToMpgParam>(Param)) {
    Kind = TCommandKind::CdxaConversion;
}

void TCommandCdxaToMpeg::GetExecutable(std::string& path) { path = VcdImagerProgram("cdxa2mpeg"); }

void TCommandCdxaToMpeg::GetWorkingFolder(std::string& folder) {
    folder = DatParam ? fs::path(StripSurroundingQuotes(DatParam->MpgFile)).parent_path().string() : "";
}

const std::string& TCommandCdxaToMpeg::TemporaryMpg() {
    // The tool writes beside the output under a temporary name; the output
    // itself is replaced only when the conversion succeeded.
    if (TemporaryFile.empty() && DatParam && !StripSurroundingQuotes(DatParam->MpgFile).empty())
        TemporaryFile = Outputs.Base(StripSurroundingQuotes(DatParam->MpgFile));
    return TemporaryFile;
}

std::vector<std::string> TCommandCdxaToMpeg::ToolPaths() const {
    if (!DatParam) return {};
    return {ToolPath(DatParam->DatFile), ToolPath(DatParam->MpgFile)};
}

void TCommandCdxaToMpeg::GetParameters(std::string& arguments) {
    arguments.clear();
    if (!DatParam) return;
    // The quotes a user may have typed around the names go before the run.
    const std::string dat = ToolPath(StripSurroundingQuotes(DatParam->DatFile));
    arguments = "\"" + dat + "\" \"" + ToolPath(TemporaryMpg()) + "\"";
}

void TCommandCdxaToMpeg::BeforeStart(bool& proceed) {
    proceed = false;
    if (!DatParam) return;
    DatParam->DatFile = StripSurroundingQuotes(DatParam->DatFile);
    DatParam->MpgFile = StripSurroundingQuotes(DatParam->MpgFile);
    std::error_code error;
    if (DatParam->DatFile.empty() || !fs::is_regular_file(DatParam->DatFile, error))
        return RefuseRun(Format(Translate("The file \"%s\" does not exist"), DatParam->DatFile));
    if (DatParam->MpgFile.empty())
        return RefuseRun(Format(Translate("Please enter a %s filename"), std::string("MPG")));
    // A refused name must not cost the user an existing output file.
    for (const std::string& path : ToolPaths())
        if (!RefusedToolPathMessage(path).empty()) {
            proceed = true;
            TCommandVcd::BeforeStart(proceed);
            return;
        }
    if (!PrepareToolOutputFile(DatParam->MpgFile)) return;
    proceed = true;
    TCommandVcd::BeforeStart(proceed);
}

void TCommandCdxaToMpeg::FilterLine(std::string& line) {
    line = Trim(line);
    ConvertMarker(line, "**ERROR:", LogLevel::Error);
    ConvertMarker(line, "--DEBUG:", LogLevel::Debug);
    if (StartsText(line, "++ WARN:")) {
        const std::string rest = Trim(std::string_view(line).substr(8));
        line = ContainsText(rest, "unknown chunk id")
                   ? MakeLogStatusLine(
                         LogLevel::Error,
                         rest + " (" + Translate("The file is not a MPEG file with Riff header [.dat file]") + ")")
                   : MakeLogStatusLine(LogLevel::Warning, rest);
    }
    ConvertMarker(line, "INFO:", LogLevel::Information);
    ConvertMarker(line, "!ASSERT:", LogLevel::Assertion);

    if (IsElement(line, "log")) {
        const std::string level = AttributeValue(line, "level");
        const std::string text = LogElementText(line);
        if (level == LogLevel::Information && ContainsText(text, "extraction done")) {
            Status.SuccessLines.push_back(text);
        } else if (level == LogLevel::Error) {
            Status.ErrorLines.push_back(text);
            Failed = true;
        }
    } else {
        TCommandVcd::FilterLine(line);
    }
}

void TCommandCdxaToMpeg::OnSuccess() {
    if (!DatParam) return;
    // A tool that says nothing wrong but wrote nothing did not convert anything.
    std::error_code error;
    const std::string& written = TemporaryMpg();
    std::string reason;
    if (!fs::is_regular_file(written, error) || fs::file_size(written, error) == 0)
        reason = Translate("The tool wrote no MPEG file");
    else if (!Outputs.Commit(&reason))
        reason = Translate("Unable to overwrite") + ": " + reason;
    if (!reason.empty()) return FailAfterRun(reason);
    RememberLastFileName(TFileDialogKind::Mpeg, DatParam->MpgFile);
}

// The previous output stays as it was; only the temporary file goes.
void TCommandCdxaToMpeg::OnFailure() { Outputs.Discard(); }

void TCommandCdxaToMpeg::OnCancel() { OnFailure(); }

std::unique_ptr<TCommandCdxaToMpeg> CdxaToMpeg(const std::string& datFile, const std::string& mpgFile,
                                               TCommandOutputEvent onOutput) {
    auto param = std::make_shared<TDatToMpgParam>();
    param->ToolsComplete = DetectedTools().VcdImagerAvailable;
    param->DatFile = datFile;
    param->MpgFile = mpgFile;
    TCommandSetup setup;
    setup.Param = std::move(param);
    setup.Title = "Cdxa2mpeg";
    setup.WaitMessage = Translate("Please wait") + "...";
    setup.OnOutput = std::move(onOutput);
    setup.Reported = true;
    setup.StopWaitingAtEnd = true;
    return std::make_unique<TCommandCdxaToMpeg>(std::move(setup));
}
