#include "cdrdao/command_cd.h"

#include <utility>

#include "environment/detected_tools.h"
#include "exec/status_lines.h"
#include "settings/language.h"
#include "vcdimager/command_vcd.h"

std::string CdrdaoProgram() {
    std::string folder = DetectedTools().CdrdaoFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder + "cdrdao";
}

std::string RefusedCdrdaoPath(const std::string& path) {
    std::string refusal = RefusedToolPathMessage(path);
    if (!refusal.empty()) return refusal;
    if (StartsWith(path, "-")) return Format(Translate("A file name may not begin with \"-\": %s"), path);
    return "";
}

TCommandCd::TCommandCd(TCommandSetup setup, TCdrDaoSettingsPtr settings)
    : TCommandGui2Console(std::move(setup)), Settings(std::move(settings)) {
    if (const auto* param = dynamic_cast<const TCdrDaoParam*>(Param.get())) VersionCode = param->VersionCode;
    Cancellable = false;
}

void TCommandCd::GetExecutable(std::string& path) { path = CdrdaoProgram(); }

void TCommandCd::GetWorkingFolder(std::string& folder) { folder = DetectedTools().CdrdaoFolder; }

void TCommandCd::GetParameters(std::string& arguments) {
    EmptyReason.clear();
    if (VersionCode == 0) {
        EmptyReason = Translate("No usable cdrdao was found");
        arguments.clear();
        return;
    }
    arguments = BuildParameters(EmptyReason);
    if (arguments.empty() && EmptyReason.empty()) EmptyReason = Translate("The command cannot be built");
}

std::string TCommandCd::DriveOptions(bool writer) {
    if (!Settings) return "";
    Settings->EjectCurrent = writer ? Settings->EjectWriter : Settings->EjectReader;
    return writer ? Settings->WriterDevice + Settings->WriterDriver : Settings->ReaderDevice + Settings->ReaderDriver;
}

void TCommandCd::RefuseRun(const std::string& message) {
    Failed = true;
    EmitLine("ERROR: " + message);
    Status.SetFailed();
}

void TCommandCd::BeforeStart(bool& proceed) {
    FilterState = {};
    if (!proceed) return;
    // An empty command line would only make cdrdao print its usage.
    if (!EmptyReason.empty()) {
        RefuseRun(EmptyReason);
        proceed = false;
        return;
    }
    for (const std::string& path : ToolPaths()) {
        const std::string refusal = RefusedCdrdaoPath(path);
        if (refusal.empty()) continue;
        RefuseRun(refusal);
        proceed = false;
        return;
    }
    const std::string& version = DetectedTools().CdrdaoVersion;
    if (!version.empty()) EmitLine(MakeLogStatusLine(LogLevel::Information, version));
}

void TCommandCd::EmitDeviceLockWarning() {
    EmitLine("WARNING: " + Translate("During writing you should avoid to open the Windows Explorer and similar tools"));
    EmitLine("WARNING: " + Translate("CDRDAO does not lock the recording device so that all access action from the "
                                     "Explorer will lead to a failure of the recording process."));
}

void TCommandCd::FilterLine(std::string& line) {
    // Our own status lines pass as they are.
    if (IsElement(line, "log") || IsElement(line, "guiprogress")) return;
    const TCdrdaoLine filtered = FilterCdrdaoLine(line, FilterState, Kind == TCommandKind::CdWrite);
    line = filtered.Text;
    if (filtered.GaveUp && Kind != TCommandKind::CdWrite && Settings && Settings->EjectWhenNoDisc &&
        Settings->EjectCurrent)
        Settings->EjectCurrent();
    if (line.empty()) return;
    if (!filtered.ErrorText.empty()) Status.ErrorLines.push_back(filtered.ErrorText);
    FilterCdLine(line);
}

void TCommandCd::TranslateLine(const std::string& line, std::string& result) {
    result = IsElement(line, "guiprogress") || IsElement(line, "log") ? Trim(line) : TranslateCdrdaoLine(line);
}

void EmitDriverHint(TCommandInterface& command, bool simulatedBefore) {
    command.EmitLine(
        "ERROR: " + Translate("Note that CDRDAO troubles are often related to the use of an inadequate driver") +
        "...");
    if (simulatedBefore)
        command.EmitLine("ERROR: " +
                         Translate("You may have a bad \"Force Driver\" in the \"CD Writer/Reader\" settings page, "
                                   "BUT before changing it, try first without simulation") +
                         ".");
    else
        command.EmitLine("ERROR: " +
                         Translate("You may have a bad \"Force Driver\" in the \"CD Writer/Reader\" "
                                   "settings page") +
                         ".");
}
