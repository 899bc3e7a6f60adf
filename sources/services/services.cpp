#include "services/services.h"

namespace {

TMainThread* CurrentMainThread = nullptr;
TDialogs* CurrentDialogs = nullptr;
TSoundPlayer* CurrentSoundPlayer = nullptr;
TMainWindowServices* CurrentMainWindow = nullptr;

}  // namespace

TMainThread& MainThread() {
    if (!CurrentMainThread) {
        static TLoopMainThread defaultLoop;
        CurrentMainThread = &defaultLoop;
    }
    return *CurrentMainThread;
}

TDialogs& Dialogs() {
    static TSilentDialogs silent;
    return CurrentDialogs ? *CurrentDialogs : silent;
}

TSoundPlayer& SoundPlayer() {
    static TSilentSoundPlayer silent;
    return CurrentSoundPlayer ? *CurrentSoundPlayer : silent;
}

TMainWindowServices& MainWindowServices() {
    static TMainWindowServices empty;
    return CurrentMainWindow ? *CurrentMainWindow : empty;
}

TServicesScope::TServicesScope(TMainThread* mainThread, TDialogs* dialogs, TSoundPlayer* soundPlayer,
                               TMainWindowServices* mainWindow)
    : SavedMainThread(CurrentMainThread),
      SavedDialogs(CurrentDialogs),
      SavedSoundPlayer(CurrentSoundPlayer),
      SavedMainWindow(CurrentMainWindow) {
    if (mainThread) CurrentMainThread = mainThread;
    if (dialogs) CurrentDialogs = dialogs;
    if (soundPlayer) CurrentSoundPlayer = soundPlayer;
    if (mainWindow) CurrentMainWindow = mainWindow;
}

TServicesScope::~TServicesScope() {
    CurrentMainThread = SavedMainThread;
    CurrentDialogs = SavedDialogs;
    CurrentSoundPlayer = SavedSoundPlayer;
    CurrentMainWindow = SavedMainWindow;
}
