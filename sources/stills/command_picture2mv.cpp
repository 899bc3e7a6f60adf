#include "stills/command_picture2mv.h"

#include <filesystem>

#include "exec/status_lines.h"
#include "lib/safe_file.h"
#include "services/services.h"
#include "settings/language.h"

namespace fs = std::filesystem;

std::string Mpeg2EncOptions(const TPicture2MvData& data) {
    const int correction = data.Conversion.AspectCorrection;
    std::string options = correction == 0 ? " -a 1" : correction == 2 ? " -a 3" : " -a 2";
    if (!data.Vcd && data.SvcdHack)
        options += data.SvcdDisplayOption == 1 ? " --hack-svcd-hds-bug" : " --correct-svcd-hds";
    return options + " -f " + (data.Vcd ? "6" : "7");
}

TCommandPicture2Mv::TCommandPicture2Mv(TCommandSetup setup) : TCommandMjpeg(std::move(setup)) {
    Data = dynamic_cast<TPicture2MvData*>(Param.get());
    if (!Data) return;
    TempStillJpeg = Outputs.Base(Data->StillJpeg);
    if (!Data->ViewingJpeg.empty()) TempViewingJpeg = Outputs.Base(Data->ViewingJpeg);
    TempStream = Outputs.Base(Data->OutputStream);
}

void TCommandPicture2Mv::GetParameters(std::string& arguments) {
    arguments.clear();
    if (!MjpegToolsAvailable || !Data) return;
    const std::string size = std::to_string(TargetSizeKb(Data->Quality, Data->Conversion.StillType));
    const std::string rate = Data->Pal ? "25" : "29.97";
    const std::string script = "\"" + MjpegProgram("jpeg2yuv") + "\" -n 1 -f " + rate + " -I p -j \"$1\" | \"" +
                               MjpegProgram("mpeg2enc") + "\" -T " + size + Mpeg2EncOptions(*Data) + " -o \"$2\"";
    arguments = ShellCommand(script, {PatternSafe(TempStillJpeg), TempStream});
}

std::shared_ptr<const TPreparedPicture> TCommandPicture2Mv::TakePrepared() {
    const bool viewing = !Data->ViewingJpeg.empty() && !Data->DeleteTempFiles;
    try {
        std::shared_ptr<const TPreparedPicture> prepared =
            Data->Prepared.valid() ? Data->Prepared.get()
                                   : PreparePicture(Data->InputPicture, Data->Conversion, viewing);
        Data->Prepared = {};
        return prepared;
    } catch (const std::exception& error) {
        Data->Prepared = {};
        auto failed = std::make_shared<TPreparedPicture>();
        failed->Reason = error.what();
        return failed;
    }
}

bool TCommandPicture2Mv::Refuse(const std::string& message) {
    Status.ErrorLines.push_back(message);
    EmitLine(MakeLogStatusLine(LogLevel::Error, message));
    return false;
}

void TCommandPicture2Mv::BeforeStart(bool& proceed) {
    proceed = false;
    if (!Data || !MjpegToolsAvailable) return;
    MainThread().ProcessPending();
    if (Data->OnPictureStart) Data->OnPictureStart(Data->InputPicture);
    const std::string& input = Data->InputPicture;
    std::error_code error;
    if (input.empty() || input.front() != '/' || !fs::is_regular_file(input, error)) {
        Refuse(Format(Translate("The file \"%s\" does not exist"), input));
        return;
    }
    if (Data->OnOutputFolder) Data->OnOutputFolder(fs::path(Data->StillJpeg).parent_path().string());
    if (!EndsText(Data->StillJpeg, ".jpg") || Data->OutputStream.empty()) {
        Refuse(Translate("Invalid JPG filename"));
        return;
    }
    // Files deleted at the end are written under temporary names and replace nothing.
    std::vector<std::string> outputs{Data->OutputStream};
    if (!Data->DeleteTempFiles) outputs.insert(outputs.end(), {Data->StillJpeg, Data->ViewingJpeg});
    outputs.insert(outputs.end(), Data->OtherOutputs.begin(), Data->OtherOutputs.end());
    const bool confirmed = Data->ReplaceConfirmed && *Data->ReplaceConfirmed;
    if (!confirmed && !ConsentToReplace(outputs)) return;
    if (Data->ReplaceConfirmed) *Data->ReplaceConfirmed = true;

    std::shared_ptr<const TPreparedPicture> prepared = TakePrepared();
    if (prepared->Source && Data->OnSourceLoaded) Data->OnSourceLoaded(*prepared->Source);
    if (!prepared->Readable) {
        Refuse(Translate("Invalid picture file") + (prepared->Reason.empty() ? "" : ": " + prepared->Reason));
        return;
    }
    std::string reason = prepared->Reason;
    if (!prepared->Encoded || !SaveFileSafely(TempStillJpeg, prepared->StillJpeg, &reason)) {
        Refuse(Format(Translate("Unable to save the picture to \"%s\""), Data->StillJpeg) +
               (reason.empty() ? "" : ": " + reason));
        return;
    }
    if (Data->OnResultReady) Data->OnResultReady(prepared->View);
    if (!TempViewingJpeg.empty() && !Data->DeleteTempFiles &&
        !SaveFileSafely(TempViewingJpeg, prepared->ViewingJpeg, &reason)) {
        Refuse(Format(Translate("Unable to save the picture to \"%s\""), Data->ViewingJpeg) +
               (reason.empty() ? "" : ": " + reason));
        Outputs.Discard();
        return;
    }
    proceed = true;
}

bool TCommandPicture2Mv::CommitResults() {
    std::error_code error;
    if (!fs::is_regular_file(TempStream, error) || fs::file_size(TempStream, error) == 0) {
        Status.ErrorLines.push_back(Translate("mpeg2enc wrote no stream"));
        return false;
    }
    if (Data->DeleteTempFiles) {
        EmitLine(MakeLogStatusLine(LogLevel::Information,
                                   Format(Translate("Deleting temporary \"%s\" file"), Data->StillJpeg)));
        fs::remove(TempStillJpeg, error);
    }
    return CommitOutputs(Outputs);
}

void TCommandPicture2Mv::OnSuccess() { Status.SuccessLines.push_back("Mpeg Video only generation successful"); }

// Nothing was moved into place: the earlier files, if any, stay as they were.
void TCommandPicture2Mv::OnFailure() { Outputs.Discard(); }

void TCommandPicture2Mv::OnCancel() { Outputs.Discard(); }
