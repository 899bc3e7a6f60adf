#include "cdrdao/command_cd_disc.h"

#include <utility>

#include "services/services.h"
#include "settings/language.h"

namespace {

template <typename T>
T* ParamAs(const TCommandParamPtr& param) {
    return dynamic_cast<T*>(param.get());
}

std::string YesNo(bool yes) { return UpperCase(Translate(yes ? "Yes" : "No")); }

bool ConfirmErase() {
    const std::string question = "\r" + Translate("Existing CD data will not be recoverable after the blank") +
                                 "\r\r    " + Translate("Do you really want to erase the CD ?") + "\r";
    return Dialogs().ConfirmNoDefault(question, TMsgDlgType::Warning, mbYesNo) == TModalResult::Yes;
}

}  // namespace

std::string NoDeviceReason(bool writer) {
    return Translate(writer ? "No CD writer is selected" : "No CD reader is selected");
}

TCommandCdScan::TCommandCdScan(TCommandSetup setup, TCdrDaoSettingsPtr settings)
    : TCommandCd(std::move(setup), std::move(settings)) {
    Kind = TCommandKind::DeviceScan;
}

std::string TCommandCdScan::BuildParameters(std::string&) { return "scanbus"; }

void TCommandCdScan::FilterCdLine(std::string& line) {
    line = Trim(line);
    if (auto* info = ParamAs<TCdScanInfo>(Param); info && IsCdrdaoDeviceLine(line)) info->Devices.push_back(line);
}

TCommandCdDiskInfo::TCommandCdDiskInfo(TCommandSetup setup, TCdrDaoSettingsPtr settings)
    : TCommandCd(std::move(setup), std::move(settings)) {
    Kind = TCommandKind::DiskInformation;
}

std::string TCommandCdDiskInfo::BuildParameters(std::string& why) {
    const auto* info = ParamAs<TCdDiskInfo>(Param);
    if (!info || !Settings) return "";
    const std::string device = info->FromWriter ? Settings->WriterDevice : Settings->ReaderDevice;
    if (device.empty()) {
        why = NoDeviceReason(info->FromWriter);
        return "";
    }
    return "disk-info -v 2" + DriveOptions(info->FromWriter);
}

void TCommandCdDiskInfo::FilterCdLine(std::string& line) {
    auto* info = ParamAs<TCdDiskInfo>(Param);
    if (!info) return;
    if (ContainsText(line, "Unit not ready, giving up")) {
        EmitLine("ERROR: " + Translate("A CD is required (if there is one, then you may have a bad \"Force Driver\" "
                                       "in the \"CD Writer/Reader\" settings page)"));
        info->NoDisc = true;
    }
    if (ContainsText(line, "That data below may not reflect the real status of the inserted medium")) {
        line.clear();
        return;
    }
    if (ContainsText(line, "if a simulation run was performed before. Reload the medium in this case")) {
        line = Translate(
            "That data below may not reflect the real status of the inserted medium. Reload the "
            "medium in this case.");
        return;
    }
    for (const bool yes : {false, true}) {
        if (ContainsText(line, yes ? "CD-RW: yes" : "CD-RW: no")) {
            line = "CD-RW: " + YesNo(yes);
            info->CdRw = yes;
            info->CdRwKnown = true;
            return;
        }
        if (ContainsText(line, yes ? "CD-R empty: yes" : "CD-R empty: no")) {
            line = Translate("CD empty") + ": " + YesNo(yes);
            info->Empty = yes;
            info->EmptyKnown = true;
            return;
        }
    }
}

TCommandCdBlank::TCommandCdBlank(TCommandSetup setup, TCdrDaoSettingsPtr settings)
    : TCommandCd(std::move(setup), std::move(settings)) {
    Kind = TCommandKind::Blank;
}

std::string TCommandCdBlank::BuildParameters(std::string& why) {
    const auto* info = ParamAs<TCdBlankInfo>(Param);
    if (!info || !Settings) return "";
    if (Settings->WriterDevice.empty()) {
        why = NoDeviceReason(true);
        return "";
    }
    std::string arguments = "blank -v 2" + Settings->WriterDevice + Settings->WriterSpeed + Settings->WriterDriver;
    if (info->Eject) arguments += " --eject";
    if (info->Reload) arguments += " --reload";
    // Minimal is cdrdao's default: a full blank has to be asked for.
    arguments += info->Minimal ? " --blank-mode minimal" : " --blank-mode full";
    return arguments;
}

void TCommandCdBlank::BeforeStart(bool& proceed) {
    if (proceed && GetEmptyReason().empty()) {
        EmitDeviceLockWarning();
        const auto* info = ParamAs<TCdBlankInfo>(Param);
        const TCdDiskInfo* disc = info ? info->DiskInfo.get() : nullptr;
        if (disc && disc->CdRwKnown && !disc->CdRw) {
            const std::string message = Translate("A CD-RW is required");
            RefuseRun(message);
            Dialogs().MessageDlg("\r" + message + "    \r", TMsgDlgType::Information, mbOK);
            proceed = false;
            return;
        }
        // An empty CD-RW is blanked without a question; an unknown one is asked about.
        const bool knownEmpty = disc && disc->EmptyKnown && disc->Empty;
        if (!knownEmpty && !ConfirmErase()) {
            proceed = false;
            return;
        }
    }
    TCommandCd::BeforeStart(proceed);
}

void TCommandCdBlank::FilterLine(std::string& line) {
    if (ContainsText(line, "incompatible medium installed"))
        line = "ERROR: Incompatible medium installed (not CD-RW ?)";
    TCommandCd::FilterLine(line);
}

void TCommandCdBlank::OnSuccess() {
    if (auto* info = ParamAs<TCdBlankInfo>(Param); info && info->DiskInfo) {
        info->DiskInfo->Empty = true;
        info->DiskInfo->EmptyKnown = true;
    }
    EmitLine(Translate("Disc blanked"));
    Status.SuccessLines.push_back(Translate("Disc blanked"));
}

TCommandCdUnlock::TCommandCdUnlock(TCommandSetup setup, TCdrDaoSettingsPtr settings)
    : TCommandCd(std::move(setup), std::move(settings)) {
    Kind = TCommandKind::Unlock;
}

std::string TCommandCdUnlock::BuildParameters(std::string& why) {
    const auto* info = ParamAs<TCdUnlockInfo>(Param);
    if (!info || !Settings) return "";
    const std::string device = info->ToWriter ? Settings->WriterDevice : Settings->ReaderDevice;
    if (device.empty()) {
        why = NoDeviceReason(info->ToWriter);
        return "";
    }
    return "unlock -v 2" + DriveOptions(info->ToWriter);
}

void TCommandCdUnlock::OnSuccess() {
    EmitLine(Translate("Drive unlocked"));
    Status.SuccessLines.push_back(Translate("Drive unlocked"));
}
