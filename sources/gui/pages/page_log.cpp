#include "pages/page_log.h"

#include <QScrollBar>

#include "settings/language.h"
#include "ui_page_log.h"
#include "widgets/translatable_window.h"

int TCommandLinesMemo::LineCount() const { return Memo.document()->isEmpty() ? 0 : Memo.blockCount(); }
void TCommandLinesMemo::Clear() { Memo.clear(); }
void TCommandLinesMemo::AddLine(const std::string& line) { Memo.appendPlainText(QStr(line)); }
void TCommandLinesMemo::ShowStart() {
    Memo.moveCursor(QTextCursor::Start);
    Memo.verticalScrollBar()->setValue(0);
}

TPageLog::TPageLog(TLogLines& lines, QWidget* parent) : TLumoraTabbedForm(parent), Ui(std::make_unique<Ui::PageLog>()) {
    Ui->setupUi(this);
    TitleLabel = Ui->LabelLogTitle;
    ListStringsToTranslate = {"LabelLogTitle", "LabelLogMessages", "LabelCommandLines", "ButtonDock.Hint"};
    Ui->LogMemo->setIconSize(QSize(16, 16));
    Ui->LogMemo->Attach(&lines);
    Commands = std::make_unique<TCommandLinesMemo>(*Ui->MemoCommandLine);
    ShowCommandLines(false);
    connect(Ui->ButtonDock, &QToolButton::clicked, this, [this] {
        ToggleDock();
        UpdateDockCaption();
    });
}

void TPageLog::Translate() {
    TLumoraTabbedForm::Translate();
    UpdateDockCaption();
}

void TPageLog::UpdateDockCaption() {
    Ui->ButtonDock->setText(QStr(::Translate(IsDocked() ? "Undock" : "Dock")));
    Ui->ButtonDock->setAccessibleName(Ui->ButtonDock->text());
}

void TPageLog::Dock() {
    TLumoraTabbedForm::Dock();
    UpdateDockCaption();
}

TPageLog::~TPageLog() = default;

TLogView& TPageLog::LogMemo() { return *Ui->LogMemo; }
QPlainTextEdit& TPageLog::MemoCommandLine() { return *Ui->MemoCommandLine; }

void TPageLog::ShowCommandLines(bool show) { Ui->PanelCommandLines->setVisible(show); }
