// A main window over temporary folders, with Qt's main thread and scripted dialogs.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <functional>
#include <memory>

#include "app/qt_main_thread.h"
#include "main_window/main_window.h"
#include "services/services.h"
#include "settings/language.h"
#include "support/folders_scope.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

// Serves events until `done` holds or `timeoutMs` passed; returns `done()`.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

inline TFrameAvailability AllTools() {
    TFrameAvailability tools;
    tools.VcdImagerToolsFound = true;
    tools.CdrdaoVersionCode = 3;
    tools.MjpegToolsVersionCode = 2;
    tools.MjpegToolsAvailable = true;
    return tools;
}

class GuiTest : public ::testing::Test {
protected:
    TTempFolder Folder;
    TFoldersScope Folders{Folder.File("program"), Folder.File("config"), std::string(LUMORA_SOURCE_DIR) + "/data"};
    TQtMainThread Thread;
    TScriptedDialogs Dialogs;
    TServicesScope Scope{&Thread, &Dialogs};
    std::unique_ptr<TMainWindow> Window;

    void SetUp() override {
        std::filesystem::create_directories(Folder.File("program"));
        ResetLanguageState();
        ActivateLanguage(false);
    }
    void TearDown() override {
        Window.reset();
        ResetLanguageState();
    }

    TMainWindow& Open(const TFrameAvailability& tools = AllTools()) {
        Window = std::make_unique<TMainWindow>(tools);
        Window->Startup();
        Window->show();
        return *Window;
    }

    template <typename T>
    T* Find(const char* name) const {
        T* found = Window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
};
