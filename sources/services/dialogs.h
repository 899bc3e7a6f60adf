// Everything that asks the user something goes through TDialogs: the GUI shows
// boxes, the CLI answers from its options or the terminal, tests from a script.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class TMsgDlgType { Warning, Error, Information, Confirmation, Custom };

enum class TMsgDlgBtn { Yes, No, OK, Cancel, Abort, Retry, Ignore, All, NoToAll, YesToAll, Help };

// A set of buttons, in the order the box shows them.
using TMsgDlgButtons = std::vector<TMsgDlgBtn>;
inline const TMsgDlgButtons mbOK{TMsgDlgBtn::OK};
inline const TMsgDlgButtons mbYesNo{TMsgDlgBtn::Yes, TMsgDlgBtn::No};
inline const TMsgDlgButtons mbYesNoCancel{TMsgDlgBtn::Yes, TMsgDlgBtn::No, TMsgDlgBtn::Cancel};
inline const TMsgDlgButtons mbOKCancel{TMsgDlgBtn::OK, TMsgDlgBtn::Cancel};

enum class TModalResult { None, OK, Cancel, Abort, Retry, Ignore, Yes, No, All, NoToAll, YesToAll };

// What the advanced message box shows besides the message itself.
struct TAdvancedMessage {
    std::string Message;
    TMsgDlgType DlgType = TMsgDlgType::Information;
    TMsgDlgButtons Buttons = mbOK;
    std::string HelpPage;         // full path of an existing help page, or empty: no link
    std::string CheckBoxCaption;  // empty: no "don't show again" box
};

struct TFileDialogOptions {
    std::string Title;
    std::string Filter;  // "Description|*.ext;*.ext2|..."
    std::string InitialFolder;
    std::string FileName;
    std::string DefaultExtension;
    bool AllowMultiple = false;
};

class TDialogs {
public:
    virtual ~TDialogs() = default;

    // A standard message box; the first button is the default one.
    virtual TModalResult MessageDlg(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons) = 0;
    // A box with an optional help link and "don't show again" check box;
    // `checked` carries the box's state in and out.
    virtual TModalResult AdvancedMessageDlg(const TAdvancedMessage& message, bool& checked) = 0;
    // A question whose default (focused) button is "No".
    virtual TModalResult ConfirmNoDefault(const std::string& message, TMsgDlgType type,
                                          const TMsgDlgButtons& buttons) = 0;

    // Choosers; nothing when the user cancels.
    virtual std::vector<std::string> OpenFiles(const TFileDialogOptions& options) = 0;
    virtual std::optional<std::string> SaveFile(const TFileDialogOptions& options) = 0;
    virtual std::optional<std::string> SelectFolder(const std::string& title, const std::string& initialFolder) = 0;

    // A plain information box with OK.
    void ShowMessage(const std::string& message) { MessageDlg(message, TMsgDlgType::Information, mbOK); }
};

// Answers nothing and shows nothing: OK for boxes, "No" for questions, no files.
class TSilentDialogs final : public TDialogs {
public:
    TModalResult MessageDlg(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons) override;
    TModalResult AdvancedMessageDlg(const TAdvancedMessage& message, bool& checked) override;
    TModalResult ConfirmNoDefault(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons) override;
    std::vector<std::string> OpenFiles(const TFileDialogOptions& options) override;
    std::optional<std::string> SaveFile(const TFileDialogOptions& options) override;
    std::optional<std::string> SelectFolder(const std::string& title, const std::string& initialFolder) override;
};

// The safe answer among `buttons`: No, then Cancel, then OK, then the first one.
TModalResult CautiousAnswer(const TMsgDlgButtons& buttons);
TModalResult ResultOf(TMsgDlgBtn button);
