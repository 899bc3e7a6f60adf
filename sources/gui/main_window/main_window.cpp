#include "main_window/main_window.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QScreen>
#include <QUrl>

#include "app/qt_main_thread.h"
#include "dialogs/dlg_settings.h"
#include "dialogs/page_settings_authoring.h"
#include "dialogs/page_settings_cd_image.h"
#include "dialogs/page_settings_log.h"
#include "dialogs/page_settings_warnings.h"
#include "environment/detected_tools.h"
#include "environment/tools_detection.h"
#include "lib/product.h"
#include "lib/saved_form.h"
#include "pages/page_log.h"
#include "settings/gui_settings.h"
#include "settings/language.h"
#include "settings/message_dialogs.h"
#include "ui_main_window.h"
#include "widgets/log_view.h"
#include "widgets/page_host.h"
#include "widgets/translatable_window.h"
#include "workflow/log_functions.h"

// The icons are compiled into the GUI library, which a static link does not register by itself.
static void InitGuiResources() { Q_INIT_RESOURCE(lumora); }

namespace {

constexpr const char* ProductHomePage = "https://lumora.example.org/";

// The components of the frame whose captions come from the language file.
const TStringList FrameComponents{"MenuFile",         "MenuView",           "MenuHelp",
                                  "MenuLanguage",     "MenuProjectNew",     "MenuProjectOpen",
                                  "MenuProjectSave",  "MenuProjectSaveAs",  "MenuSettings",
                                  "MenuExpertMode",   "MenuPageSetup",      "MenuPrintXml",
                                  "MenuExit",         "MenuRememberPos",    "MenuAlwaysOnTop",
                                  "MenuTipOfTheDay",  "MenuHomePage",       "MenuGuidesPage",
                                  "MenuFaqPage",      "MenuReportBug",      "MenuCheckNewVersion",
                                  "MenuHistory",      "MenuCredits",        "MenuAbout",
                                  "OutlookItemSvcd",  "OutlookItemTools",   "OutlookItemLog",
                                  "TabSheetMain",     "TabSheetOptions",    "TabSheetChapters",
                                  "TabSheetIsoFiles", "TabSheetNavigation", "TabSheetMpegScan",
                                  "TabSheetBuildRip", "TabSheetBurn",       "TabSheetMpegStills",
                                  "TabSheetLog",      "TabSheetXmlViewer"};

// Captions that carry the product's name.
const char* const ComposedCaptions[] = {"MenuRememberPos", "MenuAlwaysOnTop", "MenuHomePage", "MenuAbout"};

TScreenInfo ScreenOf(const QWidget& widget) {
    TScreenInfo info;
    if (const QScreen* screen = widget.screen()) {
        info.PixelsPerInch = static_cast<int>(screen->logicalDotsPerInch());
        info.Width = screen->size().width();
        info.Height = screen->size().height();
    }
    return info;
}

}  // namespace

TMainWindow::TMainWindow(const TFrameAvailability& availability, QWidget* parent)
    : QMainWindow(parent), Ui(std::make_unique<Ui::LumoraForm>()), Availability(availability) {
    InitGuiResources();
    Ui->setupUi(this);
    setWindowTitle(ProductName);
    setWindowIcon(QIcon(":/icons/lumora.svg"));
    Ui->MainPageControl->tabBar()->hide();
    Ui->MainPageControl->setDocumentMode(true);
    OutlookGroup = new QActionGroup(this);
    for (QAction* action : {Ui->OutlookItemSvcd, Ui->OutlookItemTools, Ui->OutlookItemLog}) {
        OutlookGroup->addAction(action);
        if (QWidget* button = Ui->OutlookBar->widgetForAction(action))
            button->setObjectName(QString(action->objectName()).replace("OutlookItem", "OutlookButton"));
    }
    Ui->OutlookBar->toggleViewAction()->setVisible(false);

    Ui->WaitingBar->hide();
    DeclareGuiSettings(GuiSettings, DetectLanguageName());
    RegisterServices();
    CreatePages();
    ConnectActions();
}

TMainWindow::~TMainWindow() {
    Services = TMainWindowServices();
    SetLogTargets(nullptr, nullptr);
    // Docked pages go with their hosts; floating ones are children of this window.
    delete DlgSettings;
    for (TLumoraTabbedForm* page : Pages) delete page;
    LogLines.OnPending = nullptr;
}

void TMainWindow::RegisterServices() {
    Services.OnSetWindowEnabled = [this](bool enabled) { SetWindowEnabled(enabled); };
    Services.OnShowWaitMessage = [this](const std::string& text) { ShowWaitMessage(text); };
    Services.OnStopWaitAnimation = [this] { StopWaitAnimation(); };
    Services.OnSetProgressText = [this](const std::string& text, bool show) { SetProgressText(text, show); };
    Services.OnCdImageTypeChanged = [this](bool isToast) { TrackPregap.CdImageTypeChanged(isToast); };
    Services.OnQueueBegin = [this] { GoCancel.QueueBegin(); };
    Services.OnQueueAllDone = [this] {
        GoCancel.AllDone();
        Ui->ButtonGoCancel->setText(QStr(Translate("Go")));
        SetWindowEnabled(true);
        UpdateGoPanel();
    };
    ServicesInstalled = std::make_unique<TServicesScope>(nullptr, nullptr, nullptr, &Services);

    TCommandsManager::TEvents events;
    events.OnBegin = [this](TCommandsManager&) {
        GoCancel.QueueBegin();
        SetWindowEnabled(false);
        StopWaitAnimation();
        ClearCommandLines();
    };
    events.OnCancelEnable = [this](TCommandsManager&, bool enable) {
        GoCancel.CancelEnable(enable);
        Ui->ButtonGoCancel->setText(QStr(Translate(enable ? "Cancel" : "Go")));
        Ui->ButtonGoCancel->setEnabled(enable);
        UpdateGoPanel();
    };
    events.OnAllDone = [this](TCommandsManager&) { Services.QueueAllDone(); };
    events.OnMessage = [this](TCommandsManager&, const std::string& text) { ShowWaitMessage(text); };
    events.OnCommandEnded = [this](TCommandsManager&, bool stopWaiting) {
        LogPlain("");  // a separator between the commands of a queue
        if (stopWaiting) StopWaitAnimation();
    };
    Commands = std::make_unique<TCommandsManager>(events);
}

void TMainWindow::CreatePages() {
    PageLog = new TPageLog(LogLines);
    PageLog->setObjectName("PageLog");
    PageSettingsAuthoring = new TPageSettingsAuthoring;
    PageSettingsCdImage = new TPageSettingsCdImage;
    PageSettingsWarnings = new TPageSettingsWarnings;
    PageSettingsLog = new TPageSettingsLog(LogSettingsModel, LogLines.File);
    Pages = {PageLog, PageSettingsAuthoring, PageSettingsCdImage, PageSettingsWarnings, PageSettingsLog};
    SetLogTargets(&LogLines, &PageLog->CommandLines());
    DlgSettings =
        new TDlgSettings({PageSettingsAuthoring, PageSettingsCdImage, PageSettingsWarnings, PageSettingsLog}, this);
    // The names the hosts dock; pages still to come simply host nothing yet.
    Ui->EmbeddedFormControlOptions->setProperty("pageName", "PageOptions");
    Ui->EmbeddedFormControlChapters->setProperty("pageName", "PageChapters");
    Ui->EmbeddedFormControlIsoFiles->setProperty("pageName", "PageIsoFiles");
    Ui->EmbeddedFormControlNavigation->setProperty("pageName", "PageNavigation");
    Ui->EmbeddedFormControlMpegStills->setProperty("pageName", "PageMpegStills");
    Ui->EmbeddedFormControlLog->setProperty("pageName", "PageLog");
    Ui->EmbeddedFormControlXmlViewer->setProperty("pageName", "PageXmlViewer");
}

void TMainWindow::ConnectActions() {
    connect(Ui->OutlookItemSvcd, &QAction::triggered, this, [this] { SelectGroup(GroupSvcd, true); });
    connect(Ui->OutlookItemTools, &QAction::triggered, this, [this] { SelectGroup(GroupTools, true); });
    connect(Ui->OutlookItemLog, &QAction::triggered, this, [this] { SelectGroup(GroupLog, true); });
    for (QTabWidget* tabs : {Ui->PageControlSvcd, Ui->PageControlTools, Ui->PageControlLog})
        connect(tabs, &QTabWidget::currentChanged, this, &TMainWindow::DisplayedPageChange);
    connect(Ui->ButtonGoCancel, &QPushButton::clicked, this, &TMainWindow::GoCancelClicked);
    connect(Ui->MenuExit, &QAction::triggered, this, &QWidget::close);
    connect(Ui->MenuSettings, &QAction::triggered, this, [this] { ShowSettingsDialog(); });
    connect(Ui->MenuAlwaysOnTop, &QAction::toggled, this, [this](bool on) {
        MainState.AlwaysOnTop = on;
        setWindowFlag(Qt::WindowStaysOnTopHint, on);
        show();
    });
    connect(Ui->MenuRememberPos, &QAction::toggled, this, [this](bool on) { MainState.RememberSizePosition = on; });
    connect(Ui->MenuExpertMode, &QAction::toggled, this, [this](bool on) { MainState.ExpertMode = on; });
    connect(Ui->MenuHomePage, &QAction::triggered, this, [] { QDesktopServices::openUrl(QUrl(ProductHomePage)); });
    connect(Ui->MenuGuidesPage, &QAction::triggered, this,
            [] { QDesktopServices::openUrl(QUrl(QString(ProductHomePage) + "guides")); });
    connect(Ui->MenuFaqPage, &QAction::triggered, this,
            [] { QDesktopServices::openUrl(QUrl(QString(ProductHomePage) + "faq")); });
    connect(Ui->MenuReportBug, &QAction::triggered, this,
            [] { QDesktopServices::openUrl(QUrl("mailto:support@lumora.example.org")); });
    // Windows and features still to come are not offered.
    for (QAction* action : {Ui->MenuProjectNew, Ui->MenuProjectOpen, Ui->MenuProjectSave, Ui->MenuProjectSaveAs,
                            Ui->MenuPageSetup, Ui->MenuPrintXml, Ui->MenuTipOfTheDay, Ui->MenuCheckNewVersion,
                            Ui->MenuHistory, Ui->MenuCredits, Ui->MenuAbout})
        action->setEnabled(false);
}

QTabWidget* TMainWindow::GroupControl(int group) const {
    switch (group) {
        case GroupSvcd:
            return Ui->PageControlSvcd;
        case GroupTools:
            return Ui->PageControlTools;
        case GroupLog:
            return Ui->PageControlLog;
        default:
            return nullptr;
    }
}

QWidget* TMainWindow::TabOfPage(int id) const {
    switch (id) {
        case PageMain:
            return Ui->TabSheetMain;
        case PageOptions:
            return Ui->TabSheetOptions;
        case PageChapters:
            return Ui->TabSheetChapters;
        case PageIsoFiles:
            return Ui->TabSheetIsoFiles;
        case PageMpegTools:
            return Ui->TabSheetMpegScan;
        case PageBuildRip:
            return Ui->TabSheetBuildRip;
        case PageCdrdaoTools:
            return Ui->TabSheetBurn;
        case TPageId::PageLog:
            return Ui->TabSheetLog;
        case PageNavigation:
            return Ui->TabSheetNavigation;
        case PageXmlViewer:
            return Ui->TabSheetXmlViewer;
        case PageMpegStills:
            return Ui->TabSheetMpegStills;
        default:
            return nullptr;
    }
}

TPageHost* TMainWindow::HostOfPage(int id) const {
    switch (id) {
        case TPageId::PageLog:
            return Ui->EmbeddedFormControlLog;
        case PageXmlViewer:
            return Ui->EmbeddedFormControlXmlViewer;
        default:
            return nullptr;
    }
}

void TMainWindow::Startup() {
    for (TPageHost* host : findChildren<TPageHost*>())
        if (host->property("pageName").isValid()) host->SetEmbeddedFormName(host->property("pageName").toString());
    GoCancel.AllDone();
    StopWaitAnimation();
    BuildLanguageMenu();
    Ui->PageControlSvcd->setCurrentWidget(Ui->TabSheetMain);
    Ui->PageControlTools->setCurrentWidget(Ui->TabSheetBuildRip);
    Ui->PageControlLog->setCurrentWidget(Ui->TabSheetLog);
    for (TLumoraTabbedForm* page : Pages) page->SetSettings(&GuiSettings);
    SetMainDefaults(GuiSettings);
    for (TLumoraTabbedForm* page : Pages) page->DefaultSettings();
    GuiSettings.Load();
    MainState = ApplyMainSettings(GuiSettings);
    ChooseLanguage(MainState.Language);
    UpdateTabVisibility();
    Ui->MenuAlwaysOnTop->setChecked(MainState.AlwaysOnTop);
    Ui->MenuRememberPos->setChecked(MainState.RememberSizePosition);
    Ui->MenuExpertMode->setChecked(MainState.ExpertMode);
    for (TLumoraTabbedForm* page : Pages) page->LoadSettings();
    TrackPregap.SetUserValue(GuiSettings.GetInteger("TrackPreGap", 150));
    TrackPregap.CdImageTypeChanged(PageSettingsCdImage->Model.ImageType == ImageTypeCode("Toast"));
    WriteStartupLines();
    for (TLumoraTabbedForm* page : Pages) page->ResetPage();
    CheckDesktopSize();
    ShowPage(PageMain);
    UpdateGoPanel();
    if (MainState.RememberSizePosition) RestorePosition();
}

void TMainWindow::CheckDesktopSize() {
    const QScreen* screen = this->screen();
    if (!screen) return;
    // The designed minimum size, scaled by the screen's resolution.
    const int dpi = static_cast<int>(screen->logicalDotsPerInch());
    const QSize needed(minimumWidth() * dpi / 96, minimumHeight() * dpi / 96);
    const QSize desktop = screen->availableGeometry().size();
    if (desktop.width() >= needed.width() && desktop.height() >= needed.height()) return;
    AdvancedMessageDlg(GuiSettings, "DoNotShowTooSmallDesktopAgain",
                       "\r" +
                           Translate("According to the desktop size/Windows Font size you are using,^the display will "
                                     "not be optimal.") +
                           "\r\r" + Translate("Increase your desktop size to have a better display.") + "\r",
                       TMsgDlgType::Information, mbOK, "");
}

void TMainWindow::WriteStartupLines() {
    const TDetectedTools& tools = DetectedTools();
    LogPlain(std::string(ProductName) + " v" + ProductVersion);
    LogPlain(VcdImagerStatusText(tools));
    LogPlain(CdrdaoStatusText(tools));
    LogPlain("");
    ClearCommandLines();
}

void TMainWindow::BuildLanguageMenu() {
    QMenu* menu = Ui->MenuLanguage;
    menu->clear();
    delete LanguageGroup;
    LanguageGroup = new QActionGroup(this);
    LanguageEntries = GetLanguageList();
    auto add = [&](const std::string& entry, const QString& name) {
        QAction* action = menu->addAction(QStr(entry).replace(" \t ", "  "));
        action->setObjectName(name);
        action->setCheckable(true);
        LanguageGroup->addAction(action);
        const std::string language = NormaliseLanguageName(entry);
        connect(action, &QAction::triggered, this, [this, language] { ChooseLanguage(language); });
        return action;
    };
    add(LanguageMenuEntry("English", ProductVersion), "LanguageChoiceEnglish")->setChecked(true);
    for (std::size_t i = 0; i < LanguageEntries.size(); ++i)
        add(LanguageEntries[i], QStringLiteral("LanguageChoiceItem%1").arg(i + 1));
}

void TMainWindow::ChooseLanguage(const std::string& name) {
    std::string chosen;
    const int index = SelectLanguage(name, LanguageEntries, chosen);
    MainState.Language = chosen;
    const QList<QAction*> actions = LanguageGroup ? LanguageGroup->actions() : QList<QAction*>();
    if (index + 1 < actions.size()) actions[index + 1]->setChecked(true);
    TranslateAll();
}

void TMainWindow::TranslateAll() {
    TranslateWindow(*this, FrameComponents);
    for (const char* name : ComposedCaptions) {
        auto* action = findChild<QAction*>(name);
        if (action) action->setText(QStr(Format(action->text().toStdString(), std::string(ProductName))));
    }
    Ui->ButtonGoCancel->setText(QStr(Translate(GoCancel.CancelMode() ? "Cancel" : "Go")));
    for (TLumoraTabbedForm* page : Pages) page->Translate();
    DlgSettings->Translate();
    RenewAccessibleNames(*this);
    for (QAction* action : findChildren<QAction*>()) {
        QWidget* button = Ui->OutlookBar->widgetForAction(action);
        if (button) button->setAccessibleName(action->text().remove('&'));
    }
}

void TMainWindow::UpdateTabVisibility() {
    for (int id = PageMain; id <= PageMpegStills; ++id) {
        QWidget* tab = TabOfPage(id);
        QTabWidget* tabs = GroupControl(*GroupOfPage(id));
        tabs->setTabVisible(tabs->indexOf(tab), TabVisible(id, Availability));
    }
    const bool tools = ToolsGroupVisible(Availability);
    Ui->MainPageControl->setTabVisible(Ui->MainPageControl->indexOf(Ui->MainTabSheetTools), tools);
    Ui->OutlookItemTools->setVisible(tools);
}

int TMainWindow::ActiveGroup() const { return Ui->MainPageControl->currentIndex(); }

void TMainWindow::ShowPage(int id) {
    if (TPageHost* host = HostOfPage(id)) {
        TLumoraTabbedForm* page = FindPage(host->property("pageName").toString());
        if (page && !page->IsDocked() && page->LastHost() == host) {
            page->raise();
            page->activateWindow();
            return;
        }
    }
    if (const auto group = GroupOfPage(id)) {
        SelectGroup(*group, false);
        GroupControl(*group)->setCurrentWidget(TabOfPage(id));
    }
    DisplayedPageChange();
}

void TMainWindow::SelectGroup(int group, bool notify) {
    if (group == GroupTools && !ToolsGroupVisible(Availability)) return;
    QTabWidget* tabs = GroupControl(group);
    if (!tabs) return;
    QAction* items[] = {Ui->OutlookItemSvcd, Ui->OutlookItemTools, Ui->OutlookItemLog};
    items[group]->setChecked(true);
    if (Ui->MainPageControl->currentIndex() != group) {
        const QSignalBlocker blocker(Ui->MainPageControl);
        Ui->MainPageControl->setCurrentIndex(group);
        if (notify) DisplayedPageChange();
    }
    UpdateGoPanel();
}

void TMainWindow::DisplayedPageChange() {
    QTabWidget* tabs = GroupControl(ActiveGroup());
    QWidget* shown = tabs ? tabs->currentWidget() : nullptr;
    for (TPageHost* host : findChildren<TPageHost*>()) {
        if (TLumoraTabbedForm* page = host->EmbeddedForm()) page->SetPageVisible(host->parentWidget() == shown);
    }
}

void TMainWindow::UpdateGoPanel() {
    Ui->PanelGoCancel->setVisible(GoPanelVisible(GoCancel.CancelMode(), ActiveGroup()));
}

void TMainWindow::SetMenusBusy(bool busy) {
    for (QAction* action : {Ui->MenuSettings, Ui->MenuExpertMode}) action->setEnabled(!busy);
}

void TMainWindow::SetWindowEnabled(bool enabled) {
    Ui->ButtonGoCancel->setEnabled(enabled || GoCancel.CancelMode());
    for (QWidget* tab :
         {Ui->TabSheetMain, Ui->TabSheetOptions, Ui->TabSheetChapters, Ui->TabSheetIsoFiles, Ui->TabSheetNavigation,
          Ui->TabSheetBuildRip, Ui->TabSheetMpegScan, Ui->TabSheetBurn, Ui->TabSheetMpegStills})
        tab->setEnabled(enabled);
    for (TLumoraTabbedForm* page : Pages)
        if (page != PageLog) page->setEnabled(enabled);
    SetMenusBusy(!enabled);
}

void TMainWindow::GoCancelClicked() {
    switch (GoCancel.Click(Commands->IsRunning())) {
        case TGoCancelState::TAction::Cancel:
            Commands->Cancel();
            break;
        case TGoCancelState::TAction::Start:
            StoreMainSettings();
            // Authoring starts from the main page, which hosts its controls.
            ShowPage(PageMain);
            break;
        case TGoCancelState::TAction::None:
            break;
    }
}

void TMainWindow::RunSingleCommand(std::unique_ptr<TCommandInterface> command, bool showLog,
                                   TSoundEventCode successSound, TSoundEventCode failureSound) {
    if (Commands->IsRunning()) return;
    Commands->Add(std::move(command));
    if (showLog) ShowPage(TPageId::PageLog);
    ClearLog();
    Commands->Run(true, &PageLog->CommandLines(), nullptr, nullptr, successSound, failureSound);
}

TCommandOutputEvent TMainWindow::LineHandler() {
    return [this](TCommandInterface&, const std::string& line) { HandleStatusLine(line); };
}

void TMainWindow::HandleStatusLine(const std::string& line) {
    const TRoutedLine routed = RouteStatusLine(line, LogSettingsModel.RouterOptions());
    switch (routed.Kind) {
        case TRoutedLine::TKind::Log:
            LogLines.Add(routed.Text, routed.Icon);
            break;
        case TRoutedLine::TKind::Progress:
            Progress(routed.Text, routed.Position);
            break;
        case TRoutedLine::TKind::Hidden:
            break;
    }
}

void TMainWindow::Progress(const std::string& message, int position) {
    if (Ui->WaitingBar->isVisible()) StopWaitAnimation();
    Ui->RunProgressBar->setRange(0, 100);
    Ui->RunProgressBar->setFormat(QStr(message).replace('%', "%%") + (message.empty() ? "%p%" : "  %p%"));
    Ui->RunProgressBar->setValue(position);
}

void TMainWindow::ShowWaitMessage(const std::string& text) {
    Ui->WaitingBar->show();
    Ui->RunProgressBar->setRange(0, 100);
    Ui->RunProgressBar->setValue(100);
    Ui->RunProgressBar->setFormat(QStr(text).replace('%', "%%"));
}

void TMainWindow::StopWaitAnimation() {
    Ui->WaitingBar->hide();
    Ui->RunProgressBar->setStyleSheet({});
    Ui->RunProgressBar->setRange(0, 100);
    Ui->RunProgressBar->setValue(0);
    Ui->RunProgressBar->setFormat({});
}

void TMainWindow::SetProgressText(const std::string& text, bool show) {
    StopWaitAnimation();
    if (!show) return;
    const bool alert = !text.empty() && text.front() == '*';
    Ui->RunProgressBar->setFormat(QStr(alert ? text.substr(1) : text).replace('%', "%%"));
    if (alert) Ui->RunProgressBar->setStyleSheet("QProgressBar { background: #d33; color: white; }");
}

void TMainWindow::StoreMainSettings() {
    StoreDetectionChoices(DetectedTools(), GuiSettings);
    for (TLumoraTabbedForm* page : Pages) page->SaveSettings();
    MainState.AlwaysOnTop = Ui->MenuAlwaysOnTop->isChecked();
    MainState.RememberSizePosition = Ui->MenuRememberPos->isChecked();
    MainState.ExpertMode = Ui->MenuExpertMode->isChecked();
    ::StoreMainSettings(MainState, GuiSettings);
    GuiSettings.Save();
}

void TMainWindow::ShowSettingsDialog(const QString& topic) {
    DlgSettings->BuildTree();
    if (!topic.isEmpty()) DlgSettings->SelectTopic(topic);
    DlgSettings->Translate();
    DlgSettings->exec();
}

void TMainWindow::FilesReceived(const QStringList& files) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    for (const QString& file : files)
        LogLines.Add(Format(Translate("Received from another start: %s"), file.toStdString()),
                     TIconType::iconInformation);
}

void TMainWindow::RestorePosition() {
    TSavedForm saved("LumoraMain");
    saved.IniFile = GuiIniFileName;
    const TFormGeometry current{x(), y(), width(), height(), TWindowState::wsNormal};
    try {
        const TFormGeometry geometry = saved.Load(current, ScreenOf(*this));
        if (geometry.Width > 0 && geometry.Height > 0)
            setGeometry(geometry.Left, geometry.Top, geometry.Width, geometry.Height);
        if (geometry.State == TWindowState::wsMaximized) setWindowState(Qt::WindowMaximized);
    } catch (const ESavedFormError&) {
    }
}

void TMainWindow::SavePosition() {
    if (!Ui->MenuRememberPos->isChecked()) return;
    TSavedForm saved("LumoraMain");
    saved.IniFile = GuiIniFileName;
    const QRect frame = normalGeometry();
    const TWindowState state = isMaximized() ? TWindowState::wsMaximized : TWindowState::wsNormal;
    try {
        saved.Save({frame.x(), frame.y(), frame.width(), frame.height(), state}, ScreenOf(*this));
    } catch (const ESavedFormError&) {
    }
}

void TMainWindow::closeEvent(QCloseEvent* event) {
    // A nested event loop is serving a running handler: closing now would pull the window from under it.
    if (TQtMainThread::InsideProcessPending() || Closing) {
        event->ignore();
        return;
    }
    if (Commands->IsRunning()) {
        const TModalResult answer = ::ConfirmNoDefault(
            "\r" + Translate("A job is running. Cancel it and quit?") + "     ", TMsgDlgType::Confirmation, mbYesNo);
        if (answer != TModalResult::Yes || !Commands->IsRunning()) {
            event->ignore();
            return;
        }
        Closing = true;
        Commands->Cancel();
        // The queue ends on its own; its commands are freed by the manager, never here.
        while (Commands->IsRunning()) MainThread().ProcessPending(std::chrono::milliseconds(50));
        Closing = false;
    }
    StoreMainSettings();
    SavePosition();
    for (TLumoraTabbedForm* page : Pages)
        if (!page->IsDocked()) page->hide();
    event->accept();
}

void TMainWindow::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    if (!FirstPainted) {
        FirstPainted = true;
        PageSettingsAuthoring->FirstPaintDone = true;
        emit FirstPaint();
    }
}
