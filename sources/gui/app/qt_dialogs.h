// Message boxes and file choosers as Qt dialogs.
#pragma once

#include <QString>

#include "services/dialogs.h"

class QWidget;

class TQtDialogs final : public TDialogs {
public:
    TModalResult MessageDlg(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons) override;
    TModalResult AdvancedMessageDlg(const TAdvancedMessage& message, bool& checked) override;
    TModalResult ConfirmNoDefault(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons) override;
    std::vector<std::string> OpenFiles(const TFileDialogOptions& options) override;
    std::optional<std::string> SaveFile(const TFileDialogOptions& options) override;
    std::optional<std::string> SelectFolder(const std::string& title, const std::string& initialFolder) override;
};

// "Text files|*.txt;*.log|All|*" as Qt writes it: "Text files (*.txt *.log);;All (*)".
QString QtFileFilter(const std::string& filter);
// A box's text as composed by the program ("\r" + message + blanks) made tidy.
QString BoxText(const std::string& message);
