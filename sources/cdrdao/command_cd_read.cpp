#include "cdrdao/command_cd_read.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "exec/status_lines.h"
#include "settings/language.h"

namespace fs = std::filesystem;

std::string RenameTocDataFile(const std::string& toc, const std::string& from, const std::string& to) {
    std::string result;
    std::istringstream in(toc);
    std::string line;
    const std::string quotedFrom = "\"" + from + "\"";
    while (std::getline(in, line)) {
        const std::string trimmed = TrimLeft(line);
        if (StartsWith(trimmed, "FILE ") || StartsWith(trimmed, "DATAFILE ")) {
            const std::size_t at = line.find(quotedFrom);
            if (at != std::string::npos) line.replace(at, quotedFrom.size(), "\"" + to + "\"");
        }
        result += line + "\n";
    }
    return result;
}

TCommandCdRead::TCommandCdRead(TCommandSetup setup, TCdrDaoSettingsPtr settings)
    : TCommandCd(std::move(setup), std::move(settings)) {
    Kind = TCommandKind::ReadCd;
}

void TCommandCdRead::GetWorkingFolder(std::string& folder) {
    const auto* info = dynamic_cast<const TCdReadInfo*>(Param.get());
    folder = info ? fs::path(info->DataFile).parent_path().string() : "";
}

std::vector<std::string> TCommandCdRead::ToolPaths() const {
    const auto* info = dynamic_cast<const TCdReadInfo*>(Param.get());
    return info ? std::vector<std::string>{info->DataFile, info->TocFile} : std::vector<std::string>{};
}

std::string TCommandCdRead::BuildParameters(std::string& why) {
    const auto* info = dynamic_cast<const TCdReadInfo*>(Param.get());
    if (!info || !Settings || info->DataFile.empty() || info->TocFile.empty()) return "";
    const std::string device = info->FromWriter ? Settings->WriterDevice : Settings->ReaderDevice;
    if (device.empty()) {
        why = Translate(info->FromWriter ? "No CD writer is selected" : "No CD reader is selected");
        return "";
    }
    const fs::path data(info->DataFile);
    const fs::path toc(info->TocFile);
    if (TemporaryData.empty()) {
        TemporaryData = Outputs.Base((data.parent_path() / data.stem()).string()) + data.extension().string();
        TemporaryToc = Outputs.Base((toc.parent_path() / toc.stem()).string()) + toc.extension().string();
    }
    std::string arguments = "read-cd -v 2" + DriveOptions(info->FromWriter);
    if (!info->Sector2336) arguments += " --read-raw";
    // cdrdao runs in the data file's folder: the TOC names the file without a folder.
    return arguments + " --datafile \"" + fs::path(TemporaryData).filename().string() + "\" \"" + TemporaryToc + "\"";
}

void TCommandCdRead::FilterCdLine(std::string& line) {
    if (ContainsText(line, "cannot read CD-TEXT data")) {
        line.clear();
        return;
    }
    if (const auto length = CdrdaoLeadoutLength(line)) {
        Emit(line);
        DiscLengthSeconds = length->Seconds;
        DiscLengthText = length->Text;
        line = MakeProgressStatusLine("CD Length " + DiscLengthText + " s", 0);
        return;
    }
    if (const auto progress = CdrdaoReadProgress(line, TCdTime{DiscLengthText, DiscLengthSeconds}))
        line = MakeProgressStatusLine(progress->Message, progress->Position);
}

void TCommandCdRead::OnSuccess() {
    const auto* info = dynamic_cast<const TCdReadInfo*>(Param.get());
    if (!info) return;
    // The TOC names the data file cdrdao wrote; it is to name the final one.
    std::string toc;
    {
        std::ifstream in(TemporaryToc, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        toc = text.str();
    }
    const std::string renamed = RenameTocDataFile(toc, fs::path(TemporaryData).filename().string(),
                                                  fs::path(info->DataFile).filename().string());
    std::string error;
    {
        std::ofstream out(TemporaryToc, std::ios::binary | std::ios::trunc);
        out << renamed;
        if (!out.flush()) error = Format(Translate("Unable to write \"%s\""), info->TocFile);
    }
    if (error.empty() && Outputs.Commit(&error)) {
        EmitLine(Translate("CD Image creation successful"));
        Status.SuccessLines.push_back("CD Image creation successful");
        return;
    }
    Outputs.Discard();
    Failed = true;
    EmitLine("ERROR: " + error);
    Status.SetFailed();
}

void TCommandCdRead::OnFailure() {
    if (!Cancelled)
        EmitLine("ERROR: " +
                 Translate("Note that CDRDAO troubles are often related to the use of an inadequate driver") + "...");
    // The previous image stays as it was.
    Outputs.Discard();
}

void TCommandCdRead::OnCancel() { OnFailure(); }
