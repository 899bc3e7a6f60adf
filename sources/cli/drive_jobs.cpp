#include "cli/drive_jobs.h"

#include "environment/detected_tools.h"
#include "environment/drive_access.h"
#include "environment/layer_report.h"
#include "settings/language.h"
#include "settings/startup_keys.h"

namespace {

struct TActionName {
    const char* Name;
    TDriveAction Action;
    const char* Verb;
    const char* Done;
};

constexpr TActionName Actions[] = {
    {"eject", TDriveAction::Eject, "open the tray of", "tray opened"},
    {"load", TDriveAction::Load, "close the tray of", "tray closed"},
    {"lock", TDriveAction::Lock, "lock", "medium removal prevented"},
    {"unlock", TDriveAction::Unlock, "unlock", "medium removal allowed"},
    {"spin-up", TDriveAction::StartRotate, "spin up", "disc spinning"},
    {"spin-down", TDriveAction::StopRotate, "spin down", "disc stopped"},
};

// A stored device entry is a scan line ("/dev/sr0 : VENDOR, PRODUCT, REV"): its node comes first.
std::string NodeOfEntry(const std::string& entry) {
    const std::string trimmed = Trim(entry);
    return Trim(trimmed.substr(0, trimmed.find(": ")));
}

std::string ChosenNode(const TDriveCliOptions& options) {
    if (!options.Device.empty()) return options.Device;
    return NodeOfEntry(TStartupKeysReader().Read().CdWriterDevice);
}

int Failed(TCliSession& session, const TkseCDDrive& drive, const std::string& verb) {
    std::string text = Format(Translate("Cannot %s %s: %s"), Translate(verb), drive.Node(), drive.LastResultText()) +
                       " (" + ScsiErrorName(drive.LastResult()) + ").";
    const std::string hint = drive.LastResultHint();
    if (!hint.empty()) text += "\r" + hint + ".";
    session.Printer().Message(TMsgDlgType::Error, text);
    return ExitFailure;
}

int ShowInquiry(TCliSession& session, TkseCDDrive& drive) {
    const std::optional<TInquiryData> inquiry = drive.Inquiry();
    if (!inquiry) return Failed(session, drive, "identify");
    session.Printer().Result("device", drive.Node());
    session.Printer().Result("vendor", inquiry->Vendor);
    session.Printer().Result("product", inquiry->Product);
    session.Printer().Result("revision", inquiry->Revision);
    session.Printer().Result("type", std::to_string(inquiry->DeviceType) +
                                         (inquiry->DeviceType == CdDeviceType ? " (CD/DVD)" : " (not a CD drive)"));
    return ExitSuccess;
}

int RunReport(TCliSession& session) {
    for (const std::string& line : LayerReportLines(CheckLinuxLayer())) session.Printer().Line(line);
    return ExitSuccess;
}

}  // namespace

void AddDriveCommand(CLI::App& app, TDriveCliOptions& options) {
    auto* drive = app.add_subcommand("drive", "Drive tools: tray, rotation, medium lock, identity; the SCSI report");
    drive->add_option("ACTION", options.Action, "eject, load, lock, unlock, spin-up, spin-down, info or report")
        ->required()
        ->check(CLI::IsMember({"eject", "load", "lock", "unlock", "spin-up", "spin-down", "info", "report"}));
    drive->add_option("--device", options.Device, "Device node (default: the stored CD writer)");
}

int RunDrive(TCliSession& session, const TDriveCliOptions& options) {
    if (options.Action == "report") return RunReport(session);
    if (!DetectedTools().ScsiToolsAllowed) {
        session.Printer().Message(TMsgDlgType::Error,
                                  Translate("The drive tools need a SCSI layer that reaches drives."));
        return ExitFailure;
    }
    const std::string node = ChosenNode(options);
    if (node.empty()) {
        session.Printer().Message(TMsgDlgType::Error,
                                  Translate("No CD writer is stored in the settings: name the drive with --device."));
        return ExitUsage;
    }
    std::unique_ptr<TkseCDDrive> drive = OpenCdDrive(node);
    if (options.Action == "info") return ShowInquiry(session, *drive);
    for (const TActionName& action : Actions) {
        if (options.Action != action.Name) continue;
        if (action.Action == TDriveAction::Lock) drive->KeepLockAtEnd();  // the user wants it to stay
        const TGuardedAction result = PerformOnCdDrive(*drive, action.Action);
        if (result.Reached && !result.IsCdDrive) {
            session.Printer().Message(
                TMsgDlgType::Error,
                Format(Translate("%s is not a CD drive (device type %d): the command was not sent."), node,
                       result.DeviceType));
            return ExitFailure;
        }
        if (!result.Done) return Failed(session, *drive, action.Verb);
        session.Printer().Result(action.Name, node + ": " + Translate(action.Done));
        return ExitSuccess;
    }
    return ExitUsage;
}
