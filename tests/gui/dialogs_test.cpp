#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/qt_dialogs.h"
#include "app/qt_main_thread.h"
#include "lib/settings.h"
#include "services/services.h"
#include "settings/gui_settings.h"
#include "settings/language.h"
#include "settings/message_dialogs.h"

namespace {

// Acts on the first message box that opens, from the event loop the box runs.
void WhenABoxOpens(std::function<void(QMessageBox&)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(*box);
                return;
            }
        }
    });
    timer->start(20);
}

class QtDialogs : public ::testing::Test {
protected:
    TQtMainThread Thread;
    TQtDialogs Boxes;
    TServicesScope Scope{&Thread, &Boxes};
    void SetUp() override {
        ResetLanguageState();
        ActivateLanguage(false);
    }
};

TEST_F(QtDialogs, EnterOnTheNoDefaultQuestionAnswersNo) {
    WhenABoxOpens([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
    EXPECT_EQ(::ConfirmNoDefault("\rDelete everything?     ", TMsgDlgType::Confirmation, mbYesNo), TModalResult::No);
    WhenABoxOpens([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
    EXPECT_EQ(Boxes.MessageDlg("\rGo on?", TMsgDlgType::Confirmation, mbYesNo), TModalResult::Yes);
}

TEST_F(QtDialogs, ASuppressedAdvancedMessageOpensNoWindow) {
    TSettings settings;
    DeclareGuiSettings(settings, "");
    settings.SetValue("DoNotShowTooSmallDesktopAgain", true);
    bool opened = false;
    auto* watch = new QTimer;
    QObject::connect(watch, &QTimer::timeout, watch, [&opened] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                opened = true;
                box->reject();
            }
    });
    watch->start(5);
    const TModalResult result = AdvancedMessageDlg(settings, "DoNotShowTooSmallDesktopAgain", "\rToo small\r",
                                                   TMsgDlgType::Information, mbOK, "");
    QTest::qWait(50);
    delete watch;
    EXPECT_EQ(result, TModalResult::OK);
    EXPECT_FALSE(opened);
}

TEST_F(QtDialogs, TheDontShowBoxIsStoredBack) {
    TSettings settings;
    DeclareGuiSettings(settings, "");
    WhenABoxOpens([](QMessageBox& box) {
        auto* check = box.findChild<QCheckBox*>("_AdvancedMessageDlg_CheckBox");
        ASSERT_NE(check, nullptr);
        EXPECT_FALSE(check->accessibleName().isEmpty());
        check->setChecked(true);
        QTest::keyClick(&box, Qt::Key_Return);
    });
    EXPECT_EQ(AdvancedMessageDlg(settings, "DoNotShowNoMjpegAgain", "\rNo tools\r", TMsgDlgType::Warning, mbOK, ""),
              TModalResult::OK);
    EXPECT_TRUE(settings.GetBool("DoNotShowNoMjpegAgain"));
}

TEST(QtFileFilter, PipesBecomeQtFilters) {
    EXPECT_EQ(QtFileFilter("Text file (*.txt)|*.txt"), "Text file (*.txt)");
    EXPECT_EQ(QtFileFilter("MPEG|*.mpg;*.mpeg|All|*"), "MPEG (*.mpg *.mpeg);;All (*)");
    EXPECT_EQ(BoxText("\rFirst^\r\rSecond     "), "First^\n\nSecond");
}

}  // namespace
