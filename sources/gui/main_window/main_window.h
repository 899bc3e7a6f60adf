// The main window: the group bar, the groups' tabs with their page hosts,
// menus, progress strip and the Go/Cancel button. The decisions live in the
// frame model (workflow/main_frame.h); this class binds them to widgets.
#pragma once

#include <QMainWindow>
#include <memory>
#include <vector>

#include "exec/commands_manager.h"
#include "lib/settings.h"
#include "services/services.h"
#include "workflow/log_lines.h"
#include "workflow/log_settings.h"
#include "workflow/main_frame.h"

namespace Ui {
class LumoraForm;
}
class TLumoraTabbedForm;
class TPageLog;
class TPageHost;
class TDlgSettings;
class TPageSettingsAuthoring;
class TPageSettingsCdImage;
class TPageSettingsWarnings;
class TPageSettingsLog;
class QActionGroup;
class QTabWidget;

class TMainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainWindow(const TFrameAvailability& availability, QWidget* parent = nullptr);
    ~TMainWindow() override;

    // The first show: dock, translate, defaults, load, apply, reset.
    void Startup();

    void ShowPage(int id);
    void SelectGroup(int group, bool notify);
    int ActiveGroup() const;
    void SetWindowEnabled(bool enabled);
    // Runs one command alone; nothing while a queue runs.
    void RunSingleCommand(std::unique_ptr<TCommandInterface> command, bool showLog, TSoundEventCode successSound = 0,
                          TSoundEventCode failureSound = 0);
    // Where every command's status lines go.
    void HandleStatusLine(const std::string& line);
    TCommandOutputEvent LineHandler();

    void StoreMainSettings();
    // Chooses a language by display name ("English" for none) and translates every window.
    void ChooseLanguage(const std::string& name);
    void TranslateAll();
    void ShowSettingsDialog(const QString& topic = {});
    // Files handed over by another start of the program.
    void FilesReceived(const QStringList& files);

    TCommandsManager& Manager() { return *Commands; }
    TLogLines& Log() { return LogLines; }
    TLogSettingsModel& LogSettings() { return LogSettingsModel; }
    TSettings& Settings() { return GuiSettings; }
    TToastPregap& Pregap() { return TrackPregap; }
    TPageLog& LogPage() { return *PageLog; }
    TDlgSettings& SettingsDialog() { return *DlgSettings; }
    const TGoCancelState& GoCancelState() const { return GoCancel; }
    bool FirstPaintDone() const { return FirstPainted; }

signals:
    void FirstPaint();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<Ui::LumoraForm> Ui;
    TSettings GuiSettings;
    TLogLines LogLines;
    TLogSettingsModel LogSettingsModel;
    TMainWindowServices Services;
    std::unique_ptr<TServicesScope> ServicesInstalled;
    std::unique_ptr<TCommandsManager> Commands;
    TGoCancelState GoCancel;
    TToastPregap TrackPregap;
    TFrameAvailability Availability;
    TMainWindowSettings MainState;
    bool FirstPainted = false;
    bool Closing = false;
    QActionGroup* OutlookGroup = nullptr;
    QActionGroup* LanguageGroup = nullptr;
    TStringList LanguageEntries;

    TPageLog* PageLog = nullptr;
    TPageSettingsAuthoring* PageSettingsAuthoring = nullptr;
    TPageSettingsCdImage* PageSettingsCdImage = nullptr;
    TPageSettingsWarnings* PageSettingsWarnings = nullptr;
    TPageSettingsLog* PageSettingsLog = nullptr;
    TDlgSettings* DlgSettings = nullptr;
    // Every page in the order the frame drives them.
    std::vector<TLumoraTabbedForm*> Pages;

    void CreatePages();
    void RegisterServices();
    void ConnectActions();
    void BuildLanguageMenu();
    void UpdateTabVisibility();
    void DisplayedPageChange();
    void UpdateGoPanel();
    void GoCancelClicked();
    void Progress(const std::string& message, int position);
    void ShowWaitMessage(const std::string& text);
    void StopWaitAnimation();
    void SetProgressText(const std::string& text, bool show);
    void WriteStartupLines();
    // A desktop smaller than the window's minimum size is reported (unless silenced).
    void CheckDesktopSize();
    void SetMenusBusy(bool busy);
    QTabWidget* GroupControl(int group) const;
    QWidget* TabOfPage(int id) const;
    TPageHost* HostOfPage(int id) const;
    void RestorePosition();
    void SavePosition();
};
