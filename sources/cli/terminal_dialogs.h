// The command line's answers to the program's boxes and questions: messages
// are printed; questions are answered by --yes/--no or asked on the terminal,
// and, with neither, get the cautious answer.
#pragma once

#include <cstdio>

#include "cli/status_printer.h"
#include "services/dialogs.h"

enum class TAnswerPolicy { Ask, Yes, No };

class TTerminalDialogs final : public TDialogs {
public:
    TTerminalDialogs(TStatusPrinter& printer, TAnswerPolicy policy, std::FILE* input = stdin)
        : Printer(printer), Policy(policy), Input(input) {}

    TModalResult MessageDlg(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons) override;
    TModalResult AdvancedMessageDlg(const TAdvancedMessage& message, bool& checked) override;
    TModalResult ConfirmNoDefault(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons) override;
    // The command line takes its files from its arguments: no chooser is shown.
    std::vector<std::string> OpenFiles(const TFileDialogOptions& options) override;
    std::optional<std::string> SaveFile(const TFileDialogOptions& options) override;
    std::optional<std::string> SelectFolder(const std::string& title, const std::string& initialFolder) override;

    // Error boxes shown so far (questions aside): each one fails the job.
    int ErrorsShown() const { return Errors; }

private:
    TStatusPrinter& Printer;
    TAnswerPolicy Policy;
    std::FILE* Input;
    int Errors = 0;

    TModalResult Ask(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons);
};

// The answer a policy gives among `buttons`; None when it must be asked.
TModalResult PolicyAnswer(TAnswerPolicy policy, const TMsgDlgButtons& buttons);
const char* ButtonName(TMsgDlgBtn button);
