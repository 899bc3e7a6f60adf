#include "support/scripted_dialogs.h"

std::vector<std::string> TScriptedDialogs::Messages() const {
    std::vector<std::string> messages;
    for (const auto& asked : Asked) messages.push_back(asked.Message);
    return messages;
}

TScriptedDialogs::TAnswer TScriptedDialogs::Next(const TMsgDlgButtons& buttons) {
    if (Script.empty()) return {CautiousAnswer(buttons), false, {}};
    TAnswer answer = Script.front();
    Script.pop_front();
    return answer;
}

TModalResult TScriptedDialogs::MessageDlg(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons) {
    Asked.push_back({"message", message, type, buttons, {}, {}});
    return Next(buttons).Result;
}

TModalResult TScriptedDialogs::AdvancedMessageDlg(const TAdvancedMessage& message, bool& checked) {
    Asked.push_back(
        {"advanced", message.Message, message.DlgType, message.Buttons, message.HelpPage, message.CheckBoxCaption});
    TAnswer answer = Next(message.Buttons);
    checked = answer.Checked;
    return answer.Result;
}

TModalResult TScriptedDialogs::ConfirmNoDefault(const std::string& message, TMsgDlgType type,
                                                const TMsgDlgButtons& buttons) {
    Asked.push_back({"confirm-no-default", message, type, buttons, {}, {}});
    return Next(buttons).Result;
}

std::vector<std::string> TScriptedDialogs::OpenFiles(const TFileDialogOptions& options) {
    Asked.push_back({"open", options.Title, TMsgDlgType::Information, {}, {}, {}});
    return Next({}).Files;
}

std::optional<std::string> TScriptedDialogs::SaveFile(const TFileDialogOptions& options) {
    Asked.push_back({"save", options.Title, TMsgDlgType::Information, {}, {}, {}});
    TAnswer answer = Next({});
    if (answer.Files.empty()) return std::nullopt;
    return answer.Files.front();
}

std::optional<std::string> TScriptedDialogs::SelectFolder(const std::string& title, const std::string&) {
    Asked.push_back({"folder", title, TMsgDlgType::Information, {}, {}, {}});
    TAnswer answer = Next({});
    if (answer.Files.empty()) return std::nullopt;
    return answer.Files.front();
}
