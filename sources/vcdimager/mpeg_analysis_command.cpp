#include "vcdimager/mpeg_analysis_command.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "environment/detected_tools.h"
#include "exec/status_lines.h"
#include "model/entry_points.h"
#include "model/mpeg_file.h"
#include "model/video_cd.h"
#include "services/services.h"
#include "settings/language.h"
#include "settings/message_dialogs.h"
#include "vcdimager/analysis_store.h"
#include "vcdimager/compliance_file_names.h"
#include "vcdimager/mpeg_analysis_parser.h"
#include "vcdimager/mpeg_analysis_sanity.h"
#include "vcdimager/mpeg_compliance.h"

namespace {

bool IsExistingFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

std::string BatchPrefix(const TMinfoParam& param) {
    return "[" + std::to_string(param.BatchIndex) + "/" + std::to_string(param.BatchCount) + "] - ";
}

void ShowTooBig(const TMpegFile& file) {
    TAdvancedMessage message;
    message.Message = "\"" + file.FullPath() + "\":\r\r" + std::to_string(file.Size() / 1048576) + " " +
                      Translate("MB") + ":    " + Translate("This MPEG file is too big") + ".\r" +
                      Translate("Click on the \"Help\" link below to have an example on how to cut MPEG files") + ".";
    message.DlgType = TMsgDlgType::Error;
    message.Buttons = mbOK;
    message.HelpPage = ResolveHelpPage("Cut");
    bool checked = false;
    Dialogs().AdvancedMessageDlg(message, checked);
}

[[noreturn]] void LoadError(const std::string& message) { throw ELoadProjectError(message); }

std::string NotUniqueMessage(const std::string& id) {
    return Format(Translate("The ID \"%s\" is not unique..."), id);
}

void Register(TSelectionRegistry& registry, const std::string& id, TPbcSelection* selection) {
    if (!selection) LoadError(Translate("Error with Selection Object"));
    if (!registry.emplace(id, selection).second) LoadError(NotUniqueMessage(id));
}

}  // namespace

TMinfoParam::~TMinfoParam() = default;

TCommandVcdXMinfo::TCommandVcdXMinfo(TCommandSetup setup) : TCommandVcd(std::move(setup)) {
    Kind = TCommandKind::MpegAnalysis;
}

TMinfoParam* TCommandVcdXMinfo::MinfoParam() const { return dynamic_cast<TMinfoParam*>(Param.get()); }

void TCommandVcdXMinfo::GetExecutable(std::string& path) { path = VcdImagerProgram("vcdxminfo"); }

void TCommandVcdXMinfo::GetParameters(std::string& arguments) {
    arguments.clear();
    const TMinfoParam* param = MinfoParam();
    if (!param || !ToolsComplete) return;
    arguments = "-v -i -p --gui";
    arguments += " -a";
    if (param->RelaxedAps) arguments += " --relaxed-aps";
    arguments += " \"" + ToolFileName(param->MpegFileName) + "\"";
}

void TCommandVcdXMinfo::GetWorkingFolder(std::string& folder) { folder = DetectedTools().VcdImagerFolder; }

std::vector<std::string> TCommandVcdXMinfo::ToolPaths() const {
    const TMinfoParam* param = MinfoParam();
    return param ? std::vector<std::string>{param->MpegFileName} : std::vector<std::string>{};
}

void TCommandVcdXMinfo::RestoreListBatch() {
    if (ListRefreshed) MainWindowServices().SetFileListBatch(true);
}

void TCommandVcdXMinfo::BeforeStart(bool& proceed) {
    ListRefreshed = false;
    RiffSeen = false;
    DescriptionBytes = 0;
    TMinfoParam* param = MinfoParam();
    if (!param) {
        proceed = false;
        return;
    }
    if (!param->MpegFile) {
        proceed = false;
        if (param->MpegFileName.empty()) return;
        bool refused = false;
        param->MpegFile = CreateCheckedMpegFile(param->MpegFileName, true, refused);
        if (refused && param->BatchIndex != param->BatchCount) param->AskContinue = true;
        if (!param->MpegFile) return;
        proceed = true;
    }
    TMpegFile& file = *param->MpegFile;

    AnalysisReused = false;
    if (IsExistingFile(GetAnalysisFileName(file.FullPath(), param->RelaxedAps))) {
        if (param->BatchCount > 1)
            MainWindowServices().SetProgressText(
                BatchPrefix(*param) + Format(Translate("Scanning %s"), file.FileName()) + "...", true);
        std::optional<TStringList> stored = LoadMpegAnalysis(file, param->RelaxedAps);
        // A stored description with impossible values is analysed again.
        if (stored && !stored->empty() && StoredDescriptionProblem(*stored, file.SequenceFlag()).empty()) {
            AnalysisLines = std::move(*stored);
            AnalysisReused = true;
            proceed = false;
            Status.SetSucceeded();
            OnSuccess();
            return;
        }
    }

    if (file.Size() / 1024 > LongAnalysisKiB) {
        ListRefreshed = true;
        MainWindowServices().SetFileListBatch(false);
    }
    if (file.Size() / 1048576 > MaxAnalysedMiB) {
        ShowTooBig(file);
        proceed = false;
        file.ResetAnalysis();
        param->MpegFile.reset();
        RestoreListBatch();
        return;
    }
    TCommandVcd::BeforeStart(proceed);
    // A path the command line cannot carry ends the run here, explained.
    if (!proceed && Status.IsFailed()) OnFailure();
}

void TCommandVcdXMinfo::FilterLine(std::string& line) {
    const TMinfoParam* param = MinfoParam();
    if (ContainsText(line, "looks like a RIFF header")) {
        RiffSeen = true;
        const std::string invalid = Translate("Invalid MPEG file, seems to be a \".dat\" file renamed to \".mpg\"");
        const std::string convert =
            Translate("Use Cdxa2mpeg in the tools page to try to convert it to a \"true\" Mpeg file");
        line = MakeLogStatusLine(LogLevel::Assertion, invalid + ". (" + convert + ")");
        Status.ErrorLines.push_back(invalid);
        Status.ErrorLines.push_back(convert);
        return;
    }
    if (line.find("input mpeg stream has been deemed invalid -- aborting") != std::string::npos) {
        if (RiffSeen) {
            line.clear();
            return;
        }
        const std::string onlyStreams = Translate("%s only accepts/analyzes multiplexed program streams");
        line = MakeLogStatusLine(LogLevel::Assertion, Format(onlyStreams, std::string("GNU VCDImager")) + ".");
        Status.ErrorLines.push_back(Format(onlyStreams, std::string("Lumora")) + ".\r");
        Status.ErrorLines.push_back("");
        Status.ErrorLines.push_back(
            Translate(
                "If this file is a working MPEG file,^check first that it is not an elementary video or elementary "
                "audio stream only,^as a multiplexed program stream (video AND audio, or MPEG still) is required") +
            ".");
        return;
    }
    if (IsElement(line, "log") && (line.find("trying to open mpeg stream") != std::string::npos ||
                                   line.find("stream scan completed") != std::string::npos)) {
        line.clear();
        return;
    }

    TCommandVcd::FilterLine(line);
    if (line.empty() || IsElement(line, "progress")) return;
    if (IsElement(line, "guiprogress")) {
        if (param && param->BatchCount > 1) {
            const std::size_t at = line.find("message=\"");
            if (at != std::string::npos) line.insert(at + 9, BatchPrefix(*param));
        }
        return;
    }
    if (IsElement(line, "log") && AttributeValue(line, "level") == LogLevel::Assertion) return;
    if (StartsWith(Trim(line), "<")) {
        DescriptionBytes += line.size();
        if (DescriptionBytes > MaxDescriptionBytes) {
            AnalysisLines.clear();
            FailAndStop(Format(Translate("vcdxminfo gave a description larger than %s bytes"),
                               std::to_string(MaxDescriptionBytes)));
        } else {
            AnalysisLines.push_back(line);
        }
        line.clear();
    }
}

void TCommandVcdXMinfo::OnSuccess() {
    TMinfoParam* param = MinfoParam();
    if (param && param->MpegFile) {
        const TStringList collected = AnalysisLines;
        ParseMpegAnalysis(param->MpegFile.get(), &AnalysisLines);
        // A run that printed no believable description must not pass for a
        // success, nor be stored for reuse.
        std::string problem;
        if (!param->MpegFile->Analysed())
            problem = Translate("vcdxminfo gave no description of the MPEG file");
        else if (const std::string wrong = AnalysisProblem(*param->MpegFile); !wrong.empty())
            problem = Translate("The analysis gives no usable description of the MPEG file") + " (" + wrong + ")";
        if (!problem.empty()) {
            Failed = true;
            Status.ErrorLines.push_back(problem);
            Status.SetFailed();
            OnFailure();
            return;
        }
        if (!AnalysisReused) SaveMpegAnalysis(*param->MpegFile, collected, param->RelaxedAps);
        // Shown as they are: the indentation is the point of the rewrite.
        if (!param->ProjectRecord)
            for (const std::string& line : AnalysisLines)
                if (!Trim(line).empty()) Emit(line);
    }
    AnalysisLines.clear();
    RestoreListBatch();
    ComposeMessages();
}

void TCommandVcdXMinfo::OnFailure() {
    // The tool's own reasons were held back with the description; without
    // them the log would only say that the analysis failed.
    for (const std::string& line : AnalysisLines)
        if (IsElement(Trim(line), "log")) Emit(Trim(line));
    AnalysisLines.clear();
    RestoreListBatch();
    if (TMinfoParam* param = MinfoParam(); param && param->MpegFile) param->MpegFile->ResetAnalysis();
    ComposeMessages();
}

void TCommandVcdXMinfo::OnCancel() {
    AnalysisLines.clear();
    RestoreListBatch();
    if (TMinfoParam* param = MinfoParam(); param && param->MpegFile) param->MpegFile->ResetAnalysis();
}

std::string TCommandVcdXMinfo::ShownFileName() const {
    const TMinfoParam* param = MinfoParam();
    if (!param) return "";
    if (param->MpegFile && !param->MpegFile->FileName().empty()) return param->MpegFile->FileName();
    return std::filesystem::path(param->MpegFileName).filename().string();
}

void TCommandVcdXMinfo::ComposeMessages() {
    TMinfoParam* param = MinfoParam();
    if (!param) return;
    const std::string name = ShownFileName();
    param->SuccessMessage.clear();
    param->FailureMessage.clear();
    if (Status.IsSucceeded()) {
        const std::string title = Format(Translate("\"%s\" analyse succeeded") + ".", name);
        param->SuccessMessage =
            Status.SuccessLines.empty() ? "\r" + title : FormatMessageBlock(Status.SuccessLines, title);
    } else if (Status.IsFailed()) {
        const std::string title = Format(Translate("\"%s\" analyse failed") + ":", name);
        param->FailureMessage = Status.ErrorLines.empty() ? "\r" + title : FormatMessageBlock(Status.ErrorLines, title);
    }
    param->WarningMessage = Status.FormatWarnings();
}

std::unique_ptr<TCommandVcdXMinfo> AnalyseMpegFile(const std::string& fileName, std::unique_ptr<TMpegFile> mpegFile,
                                                   std::shared_ptr<const TProjectRecord> projectRecord,
                                                   std::int32_t batchCount, std::int32_t batchIndex, bool relaxedAps,
                                                   TCommandOutputEvent lineCallback, TCommandEndedEvent doneCallback) {
    auto param = std::make_shared<TMinfoParam>();
    param->ToolsComplete = DetectedTools().VcdImagerAvailable;
    param->MpegFileName = fileName;
    param->MpegFile = std::move(mpegFile);
    param->ProjectRecord = std::move(projectRecord);
    param->BatchCount = batchCount;
    param->BatchIndex = batchIndex;
    param->RelaxedAps = relaxedAps;
    TCommandSetup setup;
    setup.Param = param;
    setup.OnOutput = std::move(lineCallback);
    setup.OnEnded = std::move(doneCallback);
    setup.Title = "MPEG Analyze: " + fileName;
    setup.WaitMessage = "";
    // The end handlers show the analysis messages; the queue's summary would repeat them.
    setup.Reported = false;
    return std::make_unique<TCommandVcdXMinfo>(std::move(setup));
}

void ValidateAgainstProjectRecord(TMpegFile& file, const TProjectRecord& record, TSelectionRegistry& registry) {
    if (record.Fingerprint != file.Crc())
        LoadError(Translate("The original MPEG file has been modified or changed (bad CRC)"));
    if (record.Size != std::to_string(file.Size()))
        LoadError(Translate("The original MPEG file has been modified or changed (bad size)"));
    if (record.MotionVideo != file.IsSequence())
        LoadError(Translate("The MPEG file type found is different to the one expected..."));
    Register(registry, record.Id, file.EntryPoints().Count() > 0 ? file.EntryPoints().SelectionAt(0) : nullptr);
    for (const TProjectRecord::TChapter& chapter : record.Chapters) {
        if (!IsValidTimeText(chapter.TimeText) || chapter.TimeText == StartTimeText || !file.IsSequence())
            LoadError(Translate("Invalid Chapter Information"));
        Register(registry, chapter.Id, file.AddEntryPoint(chapter.TimeText, true));
    }
}

std::unique_ptr<TMpegFile> AcceptAnalysedMpeg(const TExecuteStatus& status, TMinfoParam& param, bool& continueBatch,
                                              TComplianceContext& context, TSelectionRegistry* registry) {
    std::unique_ptr<TMpegFile> file = std::move(param.MpegFile);
    bool rejected = !file || !file->Analysed() || status.IsFailed();
    bool askContinue = rejected && continueBatch;
    if (status.IsSucceeded() && file && file->Analysed()) {
        if (param.ProjectRecord) {
            try {
                TSelectionRegistry scratch;
                ValidateAgainstProjectRecord(*file, *param.ProjectRecord, registry ? *registry : scratch);
            } catch (const ELoadProjectError& error) {
                Dialogs().MessageDlg("\r" + error.Message(), TMsgDlgType::Error, mbOK);
                rejected = true;
                askContinue = false;
                continueBatch = false;
            }
        } else {
            const TComplianceResult result = CheckMpegCompliance(*file, context, continueBatch);
            rejected = result.Refused;
            askContinue = result.Refused && result.AskContinue;
        }
        MainThread().ProcessPending();
    } else if (!status.IsFailed()) {
        // Neither succeeded nor failed: refused before the tool ran, or cancelled.
        rejected = true;
        if (!continueBatch || status.IsCancelled()) {
            continueBatch = false;
            askContinue = false;
        } else {
            askContinue = param.AskContinue;
        }
    }

    if (rejected && !param.FailureMessage.empty())
        Dialogs().MessageDlg("\r" + param.FailureMessage, TMsgDlgType::Error, mbOK);
    if (!rejected && !param.WarningMessage.empty())
        Dialogs().MessageDlg(param.WarningMessage, TMsgDlgType::Information, mbOK);
    if (askContinue && continueBatch &&
        Dialogs().MessageDlg("\r" + Translate("Do you want to continue ?") + "   ", TMsgDlgType::Confirmation,
                             mbYesNo) == TModalResult::No)
        continueBatch = false;
    if (rejected) {
        if (file) file->ResetAnalysis();
        return nullptr;
    }
    return file;
}

TStringList MpegInformationLines(const TMpegFile& file) {
    if (!file.Analysed()) return {};
    TStringList lines = {file.PropertiesText(), ""};
    for (int slot = 0; slot < 3; ++slot)
        if (const TVideoStream* stream = file.VideoStream(slot))
            lines.push_back(Translate("Video Stream") + ": " + file.VideoStreamText(stream));
    for (int slot = 0; slot < 3; ++slot)
        if (const TAudioStream* stream = file.AudioStream(slot))
            lines.push_back(Translate("Audio Stream") + ": " + file.AudioStreamText(stream));
    return lines;
}

int MpegInformationMemoLines(const TMpegFile& file) {
    int lines = 4;
    if (file.VideoStream(VideoSlotMotion)) lines += 1;
    for (int slot = 0; slot < 3; ++slot) {
        if (slot != VideoSlotMotion && file.VideoStream(slot)) ++lines;
        if (file.AudioStream(slot)) ++lines;
    }
    return lines;
}

TMpegInformation ShowSimpleMpegAnalyse(const TExecuteStatus& status, const TMinfoParam& param) {
    TMpegInformation information;
    if ((status.IsSucceeded() || status.IsFailed()) && param.MpegFile && param.MpegFile->Analysed()) {
        information.Analysed = true;
        information.Lines = MpegInformationLines(*param.MpegFile);
        information.MemoLines = MpegInformationMemoLines(*param.MpegFile);
    }
    if (!param.FailureMessage.empty()) Dialogs().MessageDlg(param.FailureMessage, TMsgDlgType::Error, mbOK);
    if (!param.SuccessMessage.empty()) Dialogs().MessageDlg(param.SuccessMessage, TMsgDlgType::Information, mbOK);
    return information;
}

bool IsWarningLogLine(const std::string& line) {
    return IsElement(line, "log") && AttributeValue(line, "level") == LogLevel::Warning;
}
