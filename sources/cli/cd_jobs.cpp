// lumora-cli cd: the cdrdao jobs (scan, disc information, blank, read, unlock
// and burn) with the stored recorder settings or the device given.
#include <filesystem>

#include "cdrdao/command_cd_disc.h"
#include "cdrdao/command_cd_read.h"
#include "cdrdao/command_cd_write.h"
#include "cdrdao/recorder_settings.h"
#include "cli/cli_jobs.h"
#include "environment/detected_tools.h"
#include "services/services.h"
#include "settings/gui_settings.h"
#include "settings/language.h"
#include "vcdimager/compliance_file_names.h"

namespace fs = std::filesystem;

namespace {

TRecorderChoices StoredChoices() {
    TSettings settings;
    DeclareGuiSettings(settings, "");
    settings.Load();
    return RecorderChoicesFrom(settings);
}

TCommandSetup Setup(TCliSession& session, std::shared_ptr<TCdrDaoParam> param, const std::string& title) {
    param->VersionCode = DetectedTools().CdrdaoVersionCode;
    TCommandSetup setup;
    setup.Param = std::move(param);
    setup.Title = title;
    setup.WaitMessage = Translate("Please wait") + "...";
    setup.OnOutput = session.LineHandler();
    return setup;
}

int Finish(TCliSession& session) { return session.RunQueue() ? ExitSuccess : session.FailureExitCode(); }

}  // namespace

int RunCd(TCliSession& session, const std::string& action, const TCdCliOptions& options) {
    if (DetectedTools().CdrdaoVersionCode == 0 || DetectedTools().CdrdaoDisabled) {
        session.Printer().Message(TMsgDlgType::Error, "No usable cdrdao was found: the CD jobs need cdrdao 1.2.");
        return ExitFailure;
    }
    TRecorderChoices choices = StoredChoices();
    const bool reader = options.Reader && action != "blank" && action != "burn";
    if (!options.Device.empty()) (reader ? choices.ReaderDevice : choices.WriterDevice) = options.Device;
    const TCdrDaoSettingsPtr settings = MakeCdrDaoSettings(choices);
    // The options given win over the stored choices.
    if (options.Speed >= 0) settings->WriterSpeed = " --speed " + std::to_string(options.Speed);
    if (options.Buffers > 0) settings->WriterBuffers = " --buffers " + std::to_string(options.Buffers);
    if (action != "scan" && (reader ? settings->ReaderDevice : settings->WriterDevice).empty()) {
        session.Printer().Message(TMsgDlgType::Error,
                                  std::string(reader ? "No CD reader" : "No CD writer") +
                                      " is chosen: give --device NODE (for example --device /dev/sr0) or choose one "
                                      "in the settings.");
        return ExitUsage;
    }

    if (action == "scan") {
        auto info = std::make_shared<TCdScanInfo>();
        session.Manager().Add(std::make_unique<TCommandCdScan>(Setup(session, info, "CDRDAO scanbus"), settings));
        const int code = Finish(session);
        for (const std::string& device : info->Devices) session.Printer().Result("device", device);
        if (code == ExitSuccess && info->Devices.empty())
            session.Printer().Message(TMsgDlgType::Information, "No CD writer or reader was found.");
        return code;
    }
    if (action == "info") {
        auto info = std::make_shared<TCdDiskInfo>();
        info->FromWriter = !reader;
        session.Manager().Add(std::make_unique<TCommandCdDiskInfo>(Setup(session, info, "CDRDAO Disk Info"), settings));
        const int code = Finish(session);
        if (code == ExitSuccess) {
            session.Printer().Result("cd-rw", info->CdRwKnown ? (info->CdRw ? "yes" : "no") : "unknown");
            session.Printer().Result("empty", info->EmptyKnown ? (info->Empty ? "yes" : "no") : "unknown");
        }
        return code;
    }
    if (action == "blank") {
        auto info = std::make_shared<TCdBlankInfo>();
        info->Minimal = !options.Full;
        info->Eject = options.Eject;
        info->Reload = !choices.DisableReload;
        session.Manager().Add(std::make_unique<TCommandCdBlank>(Setup(session, info, "CDRDAO blank"), settings));
        return Finish(session);
    }
    if (action == "unlock") {
        auto info = std::make_shared<TCdUnlockInfo>();
        info->ToWriter = !reader;
        session.Manager().Add(std::make_unique<TCommandCdUnlock>(Setup(session, info, "CDRDAO UnLock"), settings));
        return Finish(session);
    }
    if (action == "read") {
        const std::string data = AbsolutePath(options.Output);
        const std::string toc = fs::path(data).replace_extension(".toc").string();
        if (const std::string refusal = RefusedCdrdaoPath(data); !refusal.empty()) {
            session.Printer().Message(TMsgDlgType::Error, refusal);
            return ExitFailure;
        }
        for (const std::string& path : {data, toc})
            if (!PrepareOutputFile(path)) return ExitFailure;
        if (!ConfirmReplacing(ExistingFiles({data, toc}))) return ExitFailure;
        auto info = std::make_shared<TCdReadInfo>();
        info->FromWriter = !reader;
        info->Sector2336 = options.Sector2336;
        info->DataFile = data;
        info->TocFile = toc;
        auto command = std::make_unique<TCommandCdRead>(Setup(session, info, "CDRDAO Read"), settings);
        command->Cancellable = true;
        session.Manager().Add(std::move(command));
        const int code = Finish(session);
        if (code == ExitSuccess) {
            session.Printer().Result("image", data);
            session.Printer().Result("toc", toc);
        }
        return code;
    }
    // burn
    auto info = std::make_shared<TCdWriteInfo>();
    info->ImagePath = AbsolutePath(options.Image);
    info->Simulate = options.Simulate;
    info->Eject = options.Eject;
    info->Overburn = options.Overburn;
    info->Reload = !choices.DisableReload;
    std::error_code error;
    if (!fs::is_regular_file(info->ImagePath, error)) {
        session.Printer().Message(TMsgDlgType::Error, Format("The file \"%s\" does not exist", info->ImagePath));
        return ExitFailure;
    }
    auto command = std::make_unique<TCommandCdWrite>(Setup(session, info, "CDRDAO Write"), settings);
    // A burn stopped half-way ruins the disc: Ctrl-C asks first (a simulation may stop).
    command->Cancellable = true;
    if (!info->Simulate)
        session.ConfirmCancel = [] {
            return Dialogs().ConfirmNoDefault(
                       "Stopping the burn now leaves the disc unusable. Do you want to stop it anyway ?",
                       TMsgDlgType::Warning, mbYesNo) == TModalResult::Yes;
        };
    session.Manager().Add(std::move(command));
    return Finish(session);
}
