#include "services/dialogs.h"

#include <algorithm>

TModalResult ResultOf(TMsgDlgBtn button) {
    switch (button) {
        case TMsgDlgBtn::Yes:
            return TModalResult::Yes;
        case TMsgDlgBtn::No:
            return TModalResult::No;
        case TMsgDlgBtn::OK:
            return TModalResult::OK;
        case TMsgDlgBtn::Cancel:
            return TModalResult::Cancel;
        case TMsgDlgBtn::Abort:
            return TModalResult::Abort;
        case TMsgDlgBtn::Retry:
            return TModalResult::Retry;
        case TMsgDlgBtn::Ignore:
            return TModalResult::Ignore;
        case TMsgDlgBtn::All:
            return TModalResult::All;
        case TMsgDlgBtn::NoToAll:
            return TModalResult::NoToAll;
        case TMsgDlgBtn::YesToAll:
            return TModalResult::YesToAll;
        case TMsgDlgBtn::Help:
            return TModalResult::None;
    }
    return TModalResult::None;
}

TModalResult CautiousAnswer(const TMsgDlgButtons& buttons) {
    for (TMsgDlgBtn preferred : {TMsgDlgBtn::No, TMsgDlgBtn::Cancel, TMsgDlgBtn::OK})
        if (std::find(buttons.begin(), buttons.end(), preferred) != buttons.end()) return ResultOf(preferred);
    return buttons.empty() ? TModalResult::OK : ResultOf(buttons.front());
}

TModalResult TSilentDialogs::MessageDlg(const std::string&, TMsgDlgType, const TMsgDlgButtons& buttons) {
    return CautiousAnswer(buttons);
}

TModalResult TSilentDialogs::AdvancedMessageDlg(const TAdvancedMessage& message, bool&) {
    return CautiousAnswer(message.Buttons);
}

TModalResult TSilentDialogs::ConfirmNoDefault(const std::string&, TMsgDlgType, const TMsgDlgButtons& buttons) {
    return CautiousAnswer(buttons);
}

std::vector<std::string> TSilentDialogs::OpenFiles(const TFileDialogOptions&) { return {}; }

std::optional<std::string> TSilentDialogs::SaveFile(const TFileDialogOptions&) { return std::nullopt; }

std::optional<std::string> TSilentDialogs::SelectFolder(const std::string&, const std::string&) { return std::nullopt; }
