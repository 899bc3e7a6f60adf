// The process-wide services. A front end installs its own at start-up; until
// then a loop main thread (on the first thread that asks), silent dialogs,
// silent sounds and an empty main window table are in place.
#pragma once

#include "services/dialogs.h"
#include "services/main_thread.h"
#include "services/main_window_services.h"
#include "services/sound_player.h"

TMainThread& MainThread();
TDialogs& Dialogs();
TSoundPlayer& SoundPlayer();
TMainWindowServices& MainWindowServices();

// Installs services for the lifetime of the object and restores the earlier
// ones afterwards. A null pointer keeps the current service.
class TServicesScope {
public:
    TServicesScope(TMainThread* mainThread, TDialogs* dialogs, TSoundPlayer* soundPlayer = nullptr,
                   TMainWindowServices* mainWindow = nullptr);
    ~TServicesScope();
    TServicesScope(const TServicesScope&) = delete;
    TServicesScope& operator=(const TServicesScope&) = delete;

private:
    TMainThread* SavedMainThread;
    TDialogs* SavedDialogs;
    TSoundPlayer* SavedSoundPlayer;
    TMainWindowServices* SavedMainWindow;
};
