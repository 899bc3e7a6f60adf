// A TDialogs for tests: answers from a script, in order, and records every
// box and question it was shown.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "services/dialogs.h"

struct TAskedDialog {
    std::string Kind;  // "message", "advanced", "confirm-no-default", "open", "save", "folder"
    std::string Message;
    TMsgDlgType Type = TMsgDlgType::Information;
    TMsgDlgButtons Buttons;
    std::string HelpPage;
    std::string CheckBoxCaption;
};

class TScriptedDialogs final : public TDialogs {
public:
    struct TAnswer {
        TModalResult Result = TModalResult::OK;
        bool Checked = false;            // state left in the "don't show again" box
        std::vector<std::string> Files;  // for the choosers; empty means cancelled
    };

    // Answers used in order; once they run out, the cautious answer is given.
    void Answer(TModalResult result, bool checked = false) { Script.push_back({result, checked, {}}); }
    void AnswerFiles(std::vector<std::string> files) { Script.push_back({TModalResult::OK, false, std::move(files)}); }

    std::vector<TAskedDialog> Asked;
    // Messages only, in order, for short assertions.
    std::vector<std::string> Messages() const;

    TModalResult MessageDlg(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons) override;
    TModalResult AdvancedMessageDlg(const TAdvancedMessage& message, bool& checked) override;
    TModalResult ConfirmNoDefault(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons) override;
    std::vector<std::string> OpenFiles(const TFileDialogOptions& options) override;
    std::optional<std::string> SaveFile(const TFileDialogOptions& options) override;
    std::optional<std::string> SelectFolder(const std::string& title, const std::string& initialFolder) override;

private:
    std::deque<TAnswer> Script;
    TAnswer Next(const TMsgDlgButtons& buttons);
};
