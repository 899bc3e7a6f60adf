#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <atomic>
#include <map>

#include "dialogs/dlg_settings.h"
#include "exec/command_gui2console.h"
#include "exec/status_lines.h"
#include "gui_fixture.h"
#include "pages/page_log.h"
#include "widgets/log_view.h"
#include "widgets/page_host.h"
#include "widgets/translatable_window.h"

namespace {

// A shell loop that prints until it is stopped.
class TEndlessCommand final : public TCommandGui2Console {
public:
    TEndlessCommand(TCommandOutputEvent output, std::atomic<int>& cancels)
        : TCommandGui2Console(Setup(std::move(output))), Cancels(cancels) {}

    void BeforeStart(bool& proceed) override { proceed = true; }
    void GetExecutable(std::string& path) override { path = "/bin/sh"; }
    void GetParameters(std::string& arguments) override {
        arguments = "-c 'while :; do echo \"<log level=\\\"information\\\">tick</log>\"; sleep 0.02; done'";
    }
    void GetWorkingFolder(std::string& folder) override { folder = "/tmp"; }
    void OnSuccess() override {}
    void OnFailure() override {}
    void OnCancel() override { ++Cancels; }
    void FilterLine(std::string&) override {}

private:
    std::atomic<int>& Cancels;
    static TCommandSetup Setup(TCommandOutputEvent output) {
        TCommandSetup setup;
        setup.OnOutput = std::move(output);
        setup.Title = "endless";
        setup.Param = std::make_shared<TCommandParam>();
        return setup;
    }
};

TEST_F(GuiTest, WithoutToolsTheToolsGroupIsAbsentAndCannotBeSelected) {
    TMainWindow& window = Open(TFrameAvailability{});
    EXPECT_FALSE(Find<QAction>("OutlookItemTools")->isVisible());
    window.SelectGroup(GroupLog, true);
    window.SelectGroup(GroupTools, true);
    EXPECT_EQ(window.ActiveGroup(), GroupLog);
    auto* groups = Find<QTabWidget>("MainPageControl");
    EXPECT_FALSE(groups->isTabVisible(groups->indexOf(Find<QWidget>("MainTabSheetTools"))));
}

TEST_F(GuiTest, WithToolsEveryToolsTabIsOffered) {
    Open();
    auto* tools = Find<QTabWidget>("PageControlTools");
    for (int i = 0; i < tools->count(); ++i) EXPECT_TRUE(tools->isTabVisible(i)) << i;
}

TEST_F(GuiTest, AFloatingLogPageIsRaisedByShowPageAndDocksBackWhenClosed) {
    TMainWindow& window = Open();
    TPageLog& log = window.LogPage();
    ASSERT_TRUE(log.IsDocked());
    window.ShowPage(PageLog);
    QTest::mouseClick(log.findChild<QAbstractButton*>("ButtonDock"), Qt::LeftButton);
    ASSERT_FALSE(log.IsDocked());
    EXPECT_TRUE(log.isWindow());
    EXPECT_TRUE(log.isVisible());
    window.ShowPage(PageChapters);
    auto* svcd = Find<QTabWidget>("PageControlSvcd");
    ASSERT_EQ(svcd->currentWidget()->objectName(), "TabSheetChapters");
    window.ShowPage(PageLog);
    // The tabs stay as they were; the floating window is the one brought forward.
    EXPECT_EQ(window.ActiveGroup(), GroupSvcd);
    EXPECT_EQ(svcd->currentWidget()->objectName(), "TabSheetChapters");
    EXPECT_TRUE(log.isVisible());
    log.close();
    EXPECT_TRUE(log.IsDocked());
    EXPECT_EQ(log.parentWidget(), Find<QWidget>("EmbeddedFormControlLog"));
    window.ShowPage(PageLog);
    EXPECT_EQ(window.ActiveGroup(), GroupLog);
    EXPECT_TRUE(log.isVisible());
}

TEST_F(GuiTest, AHostWithoutItsPageHostsNothingAndAHostCannotHostItsOwnWindow) {
    Open();
    auto* options = Find<TPageHost>("EmbeddedFormControlOptions");
    EXPECT_EQ(options->EmbeddedFormName(), "PageOptions");
    EXPECT_EQ(options->EmbeddedForm(), nullptr);
    options->SetEmbeddedFormName("LumoraForm");
    EXPECT_EQ(options->EmbeddedFormName(), "PageOptions");
}

TEST_F(GuiTest, TheGoPanelFollowsTheGroup) {
    TMainWindow& window = Open();
    auto* panel = Find<QWidget>("PanelGoCancel");
    window.SelectGroup(GroupTools, true);
    EXPECT_TRUE(panel->isHidden());
    window.SelectGroup(GroupLog, true);
    EXPECT_FALSE(panel->isHidden());
    window.SelectGroup(GroupSvcd, true);
    EXPECT_FALSE(panel->isHidden());
}

TEST_F(GuiTest, ALongCommandIsCancelledFromTheWindowAndASecondCancelIsIgnored) {
    TMainWindow& window = Open();
    std::atomic<int> cancels{0};
    window.RunSingleCommand(std::make_unique<TEndlessCommand>(window.LineHandler(), cancels), true);
    auto* button = Find<QPushButton>("ButtonGoCancel");
    auto* panel = Find<QWidget>("PanelGoCancel");
    ASSERT_TRUE(WaitFor([&] { return window.GoCancelState().CancelMode(); }));
    window.SelectGroup(GroupTools, true);
    EXPECT_FALSE(panel->isHidden());  // a running queue keeps its Cancel button in every group
    ASSERT_TRUE(WaitFor([&] { return !window.Log().Lines().empty() || window.Log().HasPending(); }));
    EXPECT_EQ(button->text(), "Cancel");
    // The run starts on an empty log, and its command line is listed.
    window.LogPage().LogMemo().Flush();
    EXPECT_NE(window.LogPage().LogMemo().Model().index(0).data().toString(), "Lumora v1.1.6");
    const QString commandLines = window.LogPage().MemoCommandLine().toPlainText();
    EXPECT_TRUE(commandLines.startsWith("cd \"/tmp/\"\n\"/bin/sh\" -c 'while")) << commandLines.toStdString();
    // Busy: the menus that would start or change something are off, and so are the pages.
    EXPECT_FALSE(Find<QAction>("MenuSettings")->isEnabled());
    EXPECT_FALSE(Find<QAction>("MenuExpertMode")->isEnabled());
    EXPECT_FALSE(Find<QWidget>("TabSheetMain")->isEnabled());
    EXPECT_TRUE(Find<QWidget>("TabSheetLog")->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    // A cancel still pending ignores further clicks (the frame model's test covers the pending state).
    if (window.Manager().IsRunning()) {
        EXPECT_TRUE(window.GoCancelState().CancelPending());
        QTest::mouseClick(button, Qt::LeftButton);
    }
    ASSERT_TRUE(WaitFor([&] { return !window.Manager().IsRunning(); }));
    EXPECT_EQ(cancels.load(), 1);
    EXPECT_EQ(button->text(), "Go");
    EXPECT_FALSE(window.GoCancelState().CancelMode());
    EXPECT_TRUE(Find<QAction>("MenuSettings")->isEnabled());
    EXPECT_TRUE(Find<QWidget>("TabSheetMain")->isEnabled());
    window.SelectGroup(GroupTools, true);
    EXPECT_TRUE(panel->isHidden());
}

TEST_F(GuiTest, QuittingDuringARunCancelsItAndEnds) {
    TMainWindow& window = Open();
    std::atomic<int> cancels{0};
    window.RunSingleCommand(std::make_unique<TEndlessCommand>(window.LineHandler(), cancels), true);
    ASSERT_TRUE(WaitFor([&] { return window.GoCancelState().CancelMode(); }));
    Dialogs.Answer(TModalResult::Yes);
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.Manager().IsRunning());
    EXPECT_EQ(cancels.load(), 1);
    ASSERT_FALSE(Dialogs.Asked.empty());
    EXPECT_EQ(Dialogs.Asked[0].Kind, "confirm-no-default");
}

TEST_F(GuiTest, AnsweringNoToQuittingKeepsTheRunGoing) {
    TMainWindow& window = Open();
    std::atomic<int> cancels{0};
    window.RunSingleCommand(std::make_unique<TEndlessCommand>(window.LineHandler(), cancels), true);
    ASSERT_TRUE(WaitFor([&] { return window.GoCancelState().CancelMode(); }));
    Dialogs.Answer(TModalResult::No);
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.Manager().IsRunning());
    window.Manager().Cancel();
    ASSERT_TRUE(WaitFor([&] { return !window.Manager().IsRunning(); }));
}

TEST_F(GuiTest, StatusLinesAreRoutedByLevelAndProgressIsLimited) {
    TMainWindow& window = Open();
    window.Log().Clear();
    window.LogSettings().Verbose = false;
    window.LogSettings().ShowWarnings = false;
    for (const char* level : {"information", "warning", "debug", "error", "unknown", "assertion"})
        window.HandleStatusLine(MakeLogStatusLine(level, std::string("a ") + level));
    window.HandleStatusLine("ERROR: plain");
    window.LogSettings().Verbose = true;
    window.LogSettings().ShowWarnings = true;
    window.HandleStatusLine(MakeLogStatusLine("debug", "shown debug"));
    window.HandleStatusLine(MakeLogStatusLine("warning", "shown warning"));
    TLogView& view = window.LogPage().LogMemo();
    view.Flush();
    const std::vector<std::pair<std::string, TIconType>> expected{
        {"a information", TIconType::iconInformation}, {"a error", TIconType::iconError},
        {"a unknown", TIconType::iconUnknown},         {"a assertion", TIconType::iconAssertion},
        {"ERROR: plain", TIconType::iconError},        {"shown debug", TIconType::iconDebug},
        {"shown warning", TIconType::iconWarning}};
    ASSERT_EQ(view.Model().rowCount(), static_cast<int>(expected.size()));
    for (int row = 0; row < view.Model().rowCount(); ++row) {
        EXPECT_EQ(view.Model().index(row).data().toString().toStdString(), expected[row].first);
        EXPECT_EQ(view.Model().IconAt(row), expected[row].second);
        EXPECT_FALSE(view.Model().index(row).data(Qt::DecorationRole).value<QIcon>().isNull());
    }
    auto* bar = Find<QProgressBar>("RunProgressBar");
    window.HandleStatusLine(MakeProgressStatusLine("Writing", 40));
    EXPECT_EQ(bar->value(), 40);
    EXPECT_TRUE(bar->text().contains("Writing"));
    window.HandleStatusLine("<guiprogress message=\"Writing\" position=\"150\" />");
    EXPECT_EQ(bar->value(), 100);
    window.HandleStatusLine("<guiprogress message=\"Writing\" position=\"abc\" />");
    EXPECT_EQ(bar->value(), 0);
    // Selection and copy.
    view.selectAll();
    EXPECT_TRUE(view.SelectedText().startsWith("a information\na error"));
}

TEST_F(GuiTest, TheLogViewKeepsItsNewestLinesAtTheCap) {
    TMainWindow& window = Open();
    for (int i = 0; i < 700; ++i) window.HandleStatusLine("line " + std::to_string(i));
    TLogView& view = window.LogPage().LogMemo();
    view.Flush();
    ASSERT_EQ(view.Model().rowCount(), 500);
    EXPECT_EQ(view.Model().index(0).data().toString(), "line 200");
    EXPECT_EQ(view.Model().index(499).data().toString(), "line 699");
}

TEST_F(GuiTest, SettingsSurviveARestart) {
    {
        TMainWindow& window = Open();
        TDlgSettings& dialog = window.SettingsDialog();
        dialog.BuildTree();
        dialog.SelectTopic("PageSettingsWarnings");
        auto* box = dialog.findChild<QCheckBox*>("CheckBoxNoAutopaddingWarning");
        ASSERT_NE(box, nullptr);
        EXPECT_FALSE(box->isChecked());
        box->setChecked(true);
        dialog.SelectTopic("PageSettingsLog");
        dialog.findChild<QRadioButton*>("RadioButtonNormal")->setChecked(true);
        window.findChild<QAction*>("MenuExpertMode")->setChecked(true);
        EXPECT_TRUE(window.close());
    }
    Window.reset();
    TMainWindow& window = Open();
    TDlgSettings& dialog = window.SettingsDialog();
    dialog.BuildTree();
    dialog.SelectTopic("PageSettingsWarnings");
    EXPECT_TRUE(dialog.findChild<QCheckBox*>("CheckBoxNoAutopaddingWarning")->isChecked());
    EXPECT_FALSE(window.LogSettings().Verbose);
    EXPECT_TRUE(window.findChild<QAction*>("MenuExpertMode")->isChecked());
}

// Every caption of the window and of its settings pages, by object name.
std::map<QString, QString> Captions(QWidget& root) {
    std::map<QString, QString> captions;
    for (QObject* object : root.findChildren<QObject*>())
        if (!object->objectName().isEmpty()) captions[object->objectName()] = CaptionOf(object);
    return captions;
}

TEST_F(GuiTest, FrenchAndBackRestoresEveryCaption) {
    TMainWindow& window = Open();
    TDlgSettings& dialog = window.SettingsDialog();
    dialog.BuildTree();
    const auto english = Captions(window);
    std::map<QString, std::map<QString, QString>> pages;
    for (const char* name :
         {"PageSettingsAuthoring", "PageSettingsCdImage", "PageSettingsWarnings", "PageSettingsLog", "PageLog"})
        pages[name] = Captions(*FindPage(name));
    window.ChooseLanguage("Français");
    EXPECT_EQ(window.findChild<QAction*>("MenuProjectNew")->text(), "&Nouveau projet");
    EXPECT_EQ(window.findChild<QPushButton*>("ButtonGoCancel")->text(), "Lancer");
    EXPECT_EQ(FindPage("PageSettingsLog")->findChild<QAbstractButton*>("ButtonCleanLog")->text(), "Vider le journal");
    EXPECT_NE(Captions(window), english);
    window.ChooseLanguage("English");
    for (const auto& [name, caption] : Captions(window))
        EXPECT_EQ(caption.toStdString(), english.at(name).toStdString()) << name.toStdString();
    for (const auto& [name, captions] : pages) EXPECT_EQ(Captions(*FindPage(name)), captions) << name.toStdString();
    EXPECT_EQ(window.Settings().GetString("Language"), "English");
}

// Controls that a person or a screen reader meets.
bool IsControl(const QWidget* widget) {
    return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget) || qobject_cast<const QProgressBar*>(widget) ||
           qobject_cast<const QTabWidget*>(widget) || qobject_cast<const QToolBar*>(widget) ||
           qobject_cast<const QMenu*>(widget) || qobject_cast<const QPlainTextEdit*>(widget);
}

void ExpectNamedControls(QWidget& root) {
    for (QWidget* widget : root.findChildren<QWidget*>()) {
        if (!IsControl(widget)) continue;
        const QString name = widget->objectName();
        const QWidget* parent = widget->parentWidget();
        // Parts that Qt builds inside its own widgets (tab bars, scroll bars, extension buttons).
        if (name.startsWith("qt_") || (parent && parent->objectName().startsWith("qt_"))) continue;
        if (qobject_cast<const QTabWidget*>(parent) || qobject_cast<const QAbstractItemView*>(parent)) continue;
        // The menu bar's overflow popup is Qt's own, not one of our menus.
        if (auto* menu = qobject_cast<const QMenu*>(widget);
            menu && qobject_cast<const QMenuBar*>(parent) && !parent->actions().contains(menu->menuAction()))
            continue;
        EXPECT_FALSE(name.isEmpty()) << widget->metaObject()->className() << " in " << root.objectName().toStdString();
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << name.toStdString();
    }
}

TEST_F(GuiTest, EveryControlHasItsComponentNameAndAnAccessibleName) {
    TMainWindow& window = Open();
    ExpectNamedControls(window);
    for (const char* page :
         {"PageSettingsAuthoring", "PageSettingsCdImage", "PageSettingsWarnings", "PageSettingsLog"}) {
        window.SettingsDialog().BuildTree();
        window.SettingsDialog().SelectTopic(page);
        ExpectNamedControls(window.SettingsDialog());
    }
    for (const char* name : {"OutlookItemSvcd", "OutlookItemTools", "OutlookItemLog", "MenuProjectNew", "MenuExit"})
        EXPECT_NE(window.findChild<QAction*>(name), nullptr) << name;
    EXPECT_EQ(window.findChild<QAction*>("MenuExit")->shortcut(), QKeySequence("Ctrl+Q"));
}

TEST_F(GuiTest, ToastThenBinCueGivesThePregapBackWithoutChangingTheStoredValue) {
    TMainWindow& window = Open();
    window.Settings().SetValue("TrackPreGap", 175);
    window.Pregap().SetUserValue(175);
    TDlgSettings& dialog = window.SettingsDialog();
    dialog.BuildTree();
    dialog.SelectTopic("PageSettingsCdImage");
    dialog.show();
    dialog.findChild<QRadioButton*>("RadioButtonToast")->click();
    EXPECT_EQ(window.Pregap().Shown(), 152);
    dialog.findChild<QRadioButton*>("RadioButtonBinCueMinimal")->click();
    EXPECT_EQ(window.Pregap().Shown(), 175);
    EXPECT_EQ(window.Settings().GetInteger("TrackPreGap"), 175);
    dialog.hide();
}

TEST_F(GuiTest, TheSettingsTreeOffersItsTopicsWithGeneralSelected) {
    TMainWindow& window = Open();
    TDlgSettings& dialog = window.SettingsDialog();
    dialog.BuildTree();
    auto* tree = dialog.findChild<QTreeWidget*>("TreeViewSettings");
    ASSERT_NE(tree, nullptr);
    QStringList topics;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) topics << tree->topLevelItem(i)->text(0);
    EXPECT_EQ(topics, QStringList({"General", "CD Images", "Warnings", "Log"}));
    EXPECT_EQ(dialog.CurrentPageName(), "PageSettingsAuthoring");
    EXPECT_FALSE(FindPage("PageSettingsAuthoring")->IsHidden());
    dialog.SelectTopic("PageSettingsLog");
    EXPECT_TRUE(FindPage("PageSettingsAuthoring")->IsHidden());
    EXPECT_FALSE(FindPage("PageSettingsLog")->IsHidden());
}

}  // namespace

namespace {

class LogSettingsPage : public GuiTest {
protected:
    TDlgSettings* Dialog = nullptr;
    QLineEdit* Edit = nullptr;
    QCheckBox* Save = nullptr;
    QPushButton* Clean = nullptr;

    void OpenLogTopic() {
        TMainWindow& window = Open();
        Dialog = &window.SettingsDialog();
        Dialog->BuildTree();
        Dialog->SelectTopic("PageSettingsLog");
        Dialog->show();
        Edit = Dialog->findChild<QLineEdit*>("EditSaveLogFilename");
        Save = Dialog->findChild<QCheckBox*>("CheckBoxSaveLog");
        Clean = Dialog->findChild<QPushButton*>("ButtonCleanLog");
        ASSERT_TRUE(Edit && Save && Clean);
    }
};

TEST_F(LogSettingsPage, TheNameIsAppliedWhenEditingEndsAndCleanAsksFirst) {
    OpenLogTopic();
    const std::string name = Folder.File("run.txt");
    Edit->setFocus();
    QTest::keyClicks(Edit, QString::fromStdString(name));
    EXPECT_TRUE(Save->isEnabled());
    // Typing alone opens nothing.
    EXPECT_FALSE(std::filesystem::exists(name));
    QTest::keyClick(Edit, Qt::Key_Return);
    EXPECT_FALSE(std::filesystem::exists(name));  // not saving yet
    Save->click();
    EXPECT_TRUE(Save->isChecked());
    EXPECT_TRUE(Clean->isEnabled());
    Window->HandleStatusLine("kept line");
    EXPECT_EQ(ReadWholeFile(name), "kept line\r\n");
    Dialogs.Answer(TModalResult::No);
    Clean->click();
    EXPECT_EQ(ReadWholeFile(name), "kept line\r\n");
    Dialogs.Answer(TModalResult::Yes);
    Clean->click();
    EXPECT_EQ(ReadWholeFile(name), "");
    ASSERT_EQ(Dialogs.Asked.size(), 2u);
    EXPECT_EQ(Dialogs.Asked[0].Kind, "confirm-no-default");
    Dialog->hide();
}

TEST_F(LogSettingsPage, ALogFileThatCannotBeOpenedSaysSo) {
    OpenLogTopic();
    QTest::keyClicks(Edit, QString::fromStdString(Folder.File("no-such-folder/run.txt")));
    Save->click();
    EXPECT_FALSE(Save->isChecked());
    EXPECT_FALSE(Clean->isEnabled());
    ASSERT_FALSE(Dialogs.Asked.empty());
    EXPECT_NE(Dialogs.Asked.back().Message.find("no-such-folder/run.txt"), std::string::npos);
    EXPECT_EQ(Dialogs.Asked.back().Type, TMsgDlgType::Warning);
    Dialog->hide();
}

TEST_F(GuiTest, TheWindowComesBackWhereItWas) {
    {
        TMainWindow& window = Open();
        window.setGeometry(40, 50, 1000, 700);
        EXPECT_TRUE(window.close());
    }
    Window.reset();
    TMainWindow& window = Open();
    EXPECT_EQ(window.geometry().size(), QSize(1000, 700));
}

}  // namespace

namespace {

TEST_F(GuiTest, LongFrenchCaptionsWidenTheSettingsDialogInsteadOfBeingCut) {
    TMainWindow& window = Open();
    window.ChooseLanguage("Français");
    TDlgSettings& dialog = window.SettingsDialog();
    for (const char* topic :
         {"PageSettingsAuthoring", "PageSettingsCdImage", "PageSettingsWarnings", "PageSettingsLog"}) {
        dialog.BuildTree();
        dialog.SelectTopic(topic);
        dialog.Translate();
        dialog.show();
        QCoreApplication::processEvents();
        for (QAbstractButton* box : FindPage(topic)->findChildren<QAbstractButton*>())
            EXPECT_GE(box->width(), box->sizeHint().width()) << box->objectName().toStdString();
        dialog.hide();
    }
}

}  // namespace
