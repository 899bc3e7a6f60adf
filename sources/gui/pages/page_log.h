// The log page: status lines with their level icons, and the command lines
// that runs started with.
#pragma once

#include <memory>

#include "exec/command_lines_view.h"
#include "pages/tabbed_page.h"
#include "workflow/log_lines.h"

namespace Ui {
class PageLog;
}
class TLogView;
class QPlainTextEdit;

// The command-lines view over the page's text view.
class TCommandLinesMemo final : public TCommandLinesView {
public:
    explicit TCommandLinesMemo(QPlainTextEdit& memo) : Memo(memo) {}
    int LineCount() const override;
    void Clear() override;
    void AddLine(const std::string& line) override;
    void ShowStart() override;

private:
    QPlainTextEdit& Memo;
};

class TPageLog final : public TLumoraTabbedForm {
    Q_OBJECT
public:
    explicit TPageLog(TLogLines& lines, QWidget* parent = nullptr);
    ~TPageLog() override;

    TLogView& LogMemo();
    TCommandLinesView& CommandLines() { return *Commands; }
    QPlainTextEdit& MemoCommandLine();
    // Shows the command-lines panel below the log.
    void ShowCommandLines(bool show);
    void Translate() override;
    void Dock() override;

private:
    std::unique_ptr<Ui::PageLog> Ui;
    std::unique_ptr<TCommandLinesMemo> Commands;
    void UpdateDockCaption();
};
