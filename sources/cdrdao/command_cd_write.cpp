#include "cdrdao/command_cd_write.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <utility>

#include "exec/status_lines.h"
#include "lib/output_files.h"
#include "services/services.h"
#include "settings/language.h"

namespace fs = std::filesystem;

namespace {

// The quoted name after a FILE or DATAFILE keyword.
std::string QuotedFileName(const std::string& line) {
    const std::string trimmed = Trim(line);
    if (!StartsWith(trimmed, "FILE ") && !StartsWith(trimmed, "DATAFILE ")) return "";
    const std::size_t open = trimmed.find('"');
    const std::size_t close = open == std::string::npos ? open : trimmed.find('"', open + 1);
    return close == std::string::npos ? "" : trimmed.substr(open + 1, close - open - 1);
}

}  // namespace

TStringList ImageDataFiles(const std::string& imagePath) {
    TStringList files;
    std::ifstream in(imagePath);
    const fs::path folder = fs::path(imagePath).parent_path();
    std::string line;
    while (std::getline(in, line)) {
        const std::string name = QuotedFileName(line);
        if (name.empty()) continue;
        const fs::path path(name);
        const std::string full = (path.is_absolute() ? path : folder / path).string();
        if (std::find(files.begin(), files.end(), full) == files.end()) files.push_back(full);
    }
    return files;
}

TCommandCdWrite::TCommandCdWrite(TCommandSetup setup, TCdrDaoSettingsPtr settings)
    : TCommandCd(std::move(setup), std::move(settings)) {
    Kind = TCommandKind::CdWrite;
}

// cdrdao opens the data files a CUE or TOC names relative to its working folder.
void TCommandCdWrite::GetWorkingFolder(std::string& folder) {
    const auto* info = dynamic_cast<const TCdWriteInfo*>(Param.get());
    folder = info ? fs::path(info->ImagePath).parent_path().string() : "";
}

std::vector<std::string> TCommandCdWrite::ToolPaths() const {
    const auto* info = dynamic_cast<const TCdWriteInfo*>(Param.get());
    return info ? std::vector<std::string>{info->ImagePath} : std::vector<std::string>{};
}

std::string TCommandCdWrite::BuildParameters(std::string& why) {
    const auto* info = dynamic_cast<const TCdWriteInfo*>(Param.get());
    if (!info || !Settings || info->ImagePath.empty()) return "";
    if (Settings->WriterDevice.empty()) {
        why = NoDeviceReason(true);
        return "";
    }
    if (!EndsText(info->ImagePath, ".toc") && !EndsText(info->ImagePath, ".cue")) {
        why = Format(Translate("Only a CUE or TOC image can be burnt: %s"), info->ImagePath);
        return "";
    }
    DriveOptions(true);
    std::string arguments = "write -v 2";
    if (info->Reload) arguments += " --reload";
    arguments +=
        Settings->WriterSpeed + Settings->WriterDevice + " -n" + Settings->WriterDriver + Settings->WriterBuffers;
    if (info->Eject) arguments += " --eject";
    if (info->Simulate) arguments += " --simulate";
    if (info->Overburn) arguments += " --overburn";
    if (info->Force) arguments += " --force";
    return arguments + " \"" + info->ImagePath + "\"";
}

void TCommandCdWrite::BeforeStart(bool& proceed) {
    const auto* info = dynamic_cast<const TCdWriteInfo*>(Param.get());
    if (proceed && GetEmptyReason().empty() && info && info->DiskInfo) {
        EmitDeviceLockWarning();
        // "n/a" is not "not empty": only a disc known to be written is refused.
        if (info->DiskInfo->EmptyKnown && !info->DiskInfo->Empty) {
            const std::string a = Translate("An empty disk is required") + "...";
            const std::string b = "(" +
                                  Translate(
                                      "If you are sure your disk is empty, then you may have a bad \"Force "
                                      "Driver\" in the \"CD Writer/Reader\" settings page") +
                                  ".)";
            Dialogs().MessageDlg("\r" + a + "   \r\r" + b + "      \r\r", TMsgDlgType::Error, mbOK);
            Failed = true;
            EmitLine("ERROR: " + a);
            EmitLine("ERROR: " + b);
            Status.SetFailed();
            proceed = false;
            return;
        }
    }
    TCommandCd::BeforeStart(proceed);
}

void TCommandCdWrite::FilterCdLine(std::string& line) {
    if (ContainsText(line, "syntax error"))
        Status.ErrorLines.push_back(line);
    else if (ContainsText(line, "finished successfully"))
        Status.SuccessLines.push_back(line);
    if (line.find("Disk seems to be written") != std::string::npos) {
        // cdrdao waits for a key before it reloads the disc.
        WriteInput("\n");
        line = Translate("Disk seems to be written, will reload the disk to be sure") + "...";
    }
    if (const auto progress = CdrdaoWriteProgress(line)) {
        line = MakeProgressStatusLine(ReplaceAll(progress->Message, "\"", "'"), progress->Position);
        return;
    }
    if (line.find("Flushing cache...") != std::string::npos)
        EmitLine(Translate("Please wait while finalizing the CD") + "...");
}

void TCommandCdWrite::OnSuccess() {
    const auto* info = dynamic_cast<const TCdWriteInfo*>(Param.get());
    if (!info || info->ImagePath.empty() || !info->DeleteImageFiles || info->Simulate) return;
    const fs::path image(info->ImagePath);
    EmitLine(EndsText(info->ImagePath, ".toc") ? "Deleting Toc CD Image files" : "Deleting Bin/Cue CD Image files");
    // Only what the image names goes, never other files of its folder.
    for (const std::string& file : ImageDataFiles(info->ImagePath)) RemoveQuietly(file);
    RemoveQuietly(image);
    if (info->DeleteXmlFile) {
        EmitLine("Deleting XML file");
        RemoveQuietly(fs::path(image).replace_extension(".xml").string());
    }
}

void TCommandCdWrite::OnFailure() {
    if (Cancelled) return;
    const auto* info = dynamic_cast<const TCdWriteInfo*>(Param.get());
    EmitDriverHint(*this, info && info->SimulatedBefore);
}

void TCommandCdWrite::OnCancel() { OnFailure(); }
