#include "stills/command_mplex_still.h"

#include <filesystem>

#include "exec/status_lines.h"
#include "services/services.h"
#include "settings/language.h"

namespace fs = std::filesystem;

TCommandMplexStill::TCommandMplexStill(TCommandSetup setup) : TCommandMjpeg(std::move(setup)) {
    Data = dynamic_cast<TMplexStillData*>(Param.get());
    if (Data) TempStill = Outputs.Base(Data->OutputStill);
}

void TCommandMplexStill::GetParameters(std::string& arguments) {
    arguments.clear();
    if (!MjpegToolsAvailable || !Data) return;
    std::string script = "\"" + MjpegProgram("mplex") + "\" -f " + (Data->Vcd ? "6" : "7") + " -o \"$1\" \"$2\"";
    std::vector<std::string> files{PatternSafe(TempStill)};
    if (Data->SecondStream.empty()) {
        files.push_back(Data->FirstStream);
    } else {
        script += " \"$3\"";
        files.push_back(Data->SecondStream);
        files.push_back(Data->FirstStream);
    }
    arguments = ShellCommand(script, files);
}

void TCommandMplexStill::BeforeStart(bool& proceed) {
    proceed = false;
    if (!Data || !MjpegToolsAvailable) return;
    MainThread().ProcessPending();
    if (Data->OnStart) Data->OnStart(fs::path(Data->OutputStill).filename().string());
    std::error_code error;
    for (const std::string* stream : {&Data->FirstStream, &Data->SecondStream}) {
        if (stream == &Data->SecondStream && stream->empty()) continue;
        if (stream->empty() || stream->front() != '/' || !fs::is_regular_file(*stream, error)) {
            const std::string message = Format(Translate("The file \"%s\" does not exist"), *stream);
            Status.ErrorLines.push_back(message);
            EmitLine(MakeLogStatusLine(LogLevel::Error, message));
            return;
        }
    }
    const bool confirmed = Data->ReplaceConfirmed && *Data->ReplaceConfirmed;
    if (!confirmed && !ConsentToReplace({Data->OutputStill})) return;
    proceed = true;
}

std::string TCommandMplexStill::ErrorLineText(const std::string& text) const {
    if (!ContainsText(text, "larger than maximum permitted")) return text;
    return text + " (" + Translate("Please increase the Mpeg Size [Quality]") + ")";
}

bool TCommandMplexStill::CommitResults() {
    std::error_code error;
    if (!fs::is_regular_file(TempStill, error) || fs::file_size(TempStill, error) == 0) {
        Status.ErrorLines.push_back(Translate("mplex wrote no still"));
        return false;
    }
    return CommitOutputs(Outputs);
}

void TCommandMplexStill::DeleteStreams() {
    if (!Data) return;
    DeleteAnnounced(Data->FirstStream, "Deleting temporary \"%s\" file");
    DeleteAnnounced(Data->SecondStream, "Deleting temporary \"%s\" file");
}

void TCommandMplexStill::OnSuccess() {
    if (Data && Data->DeleteTempFiles) DeleteStreams();
    MainWindowServices().SetWindowEnabled(true);
    Status.SuccessLines.push_back("Mpeg Still generation successful");
}

void TCommandMplexStill::OnFailure() {
    Outputs.Discard();
    DeleteStreams();
    MainWindowServices().SetWindowEnabled(true);
}

void TCommandMplexStill::OnCancel() { OnFailure(); }
