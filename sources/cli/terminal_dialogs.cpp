#include "cli/terminal_dialogs.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>

#include "lib/text.h"

namespace {

bool Has(const TMsgDlgButtons& buttons, TMsgDlgBtn button) {
    return std::find(buttons.begin(), buttons.end(), button) != buttons.end();
}

bool IsQuestion(const TMsgDlgButtons& buttons) { return buttons.size() > 1; }

std::string ResultName(TModalResult result) {
    switch (result) {
        case TModalResult::OK:
            return "OK";
        case TModalResult::Cancel:
            return "Cancel";
        case TModalResult::Abort:
            return "Abort";
        case TModalResult::Retry:
            return "Retry";
        case TModalResult::Ignore:
            return "Ignore";
        case TModalResult::Yes:
            return "Yes";
        case TModalResult::No:
            return "No";
        case TModalResult::All:
            return "All";
        case TModalResult::NoToAll:
            return "No to all";
        case TModalResult::YesToAll:
            return "Yes to all";
        case TModalResult::None:
            break;
    }
    return "None";
}

}  // namespace

const char* ButtonName(TMsgDlgBtn button) {
    switch (button) {
        case TMsgDlgBtn::Yes:
            return "yes";
        case TMsgDlgBtn::No:
            return "no";
        case TMsgDlgBtn::OK:
            return "ok";
        case TMsgDlgBtn::Cancel:
            return "cancel";
        case TMsgDlgBtn::Abort:
            return "abort";
        case TMsgDlgBtn::Retry:
            return "retry";
        case TMsgDlgBtn::Ignore:
            return "ignore";
        case TMsgDlgBtn::All:
            return "all";
        case TMsgDlgBtn::NoToAll:
            return "no to all";
        case TMsgDlgBtn::YesToAll:
            return "yes to all";
        case TMsgDlgBtn::Help:
            return "help";
    }
    return "";
}

TModalResult PolicyAnswer(TAnswerPolicy policy, const TMsgDlgButtons& buttons) {
    if (policy == TAnswerPolicy::Ask) return TModalResult::None;
    const auto first = [&](std::initializer_list<TMsgDlgBtn> wanted) {
        for (const TMsgDlgBtn button : wanted)
            if (Has(buttons, button)) return ResultOf(button);
        return TModalResult::None;
    };
    const TModalResult answer = policy == TAnswerPolicy::Yes
                                    ? first({TMsgDlgBtn::Yes, TMsgDlgBtn::YesToAll, TMsgDlgBtn::OK, TMsgDlgBtn::All})
                                    : first({TMsgDlgBtn::No, TMsgDlgBtn::NoToAll, TMsgDlgBtn::Cancel});
    return answer == TModalResult::None ? CautiousAnswer(buttons) : answer;
}

TModalResult TTerminalDialogs::Ask(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons) {
    if (!IsQuestion(buttons)) {
        if (type == TMsgDlgType::Error) ++Errors;
        Printer.Message(type, message);
        return buttons.empty() ? TModalResult::OK : ResultOf(buttons.front());
    }
    TModalResult answer = PolicyAnswer(Policy, buttons);
    const bool canAsk = answer == TModalResult::None && Printer.GetMode() != TOutputMode::Json && isatty(fileno(Input));
    if (answer == TModalResult::None && !canAsk) answer = CautiousAnswer(buttons);
    if (answer != TModalResult::None) {
        Printer.Message(type, message, ResultName(answer));
        return answer;
    }

    Printer.Message(type, message);
    std::string choices;
    for (const TMsgDlgBtn button : buttons)
        if (button != TMsgDlgBtn::Help) choices += std::string(choices.empty() ? "" : "/") + ButtonName(button);
    for (;;) {
        std::fprintf(stdout, "[%s]? ", choices.c_str());
        std::fflush(stdout);
        char buffer[256];
        if (!std::fgets(buffer, sizeof buffer, Input)) return CautiousAnswer(buttons);
        const std::string reply = LowerCase(Trim(buffer));
        for (const TMsgDlgBtn button : buttons) {
            const std::string name = ButtonName(button);
            if (button != TMsgDlgBtn::Help && !reply.empty() &&
                (reply == name || (reply.size() == 1 && name[0] == reply[0])))
                return ResultOf(button);
        }
    }
}

TModalResult TTerminalDialogs::MessageDlg(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons) {
    return Ask(message, type, buttons);
}

TModalResult TTerminalDialogs::AdvancedMessageDlg(const TAdvancedMessage& message, bool&) {
    std::string text = message.Message;
    if (!message.HelpPage.empty()) text += "\r(see " + message.HelpPage + ")";
    return Ask(text, message.DlgType, message.Buttons);
}

TModalResult TTerminalDialogs::ConfirmNoDefault(const std::string& message, TMsgDlgType type,
                                                const TMsgDlgButtons& buttons) {
    return Ask(message, type, buttons);
}

std::vector<std::string> TTerminalDialogs::OpenFiles(const TFileDialogOptions&) { return {}; }

// The only save dialog a job meets is the one that confirms overwriting an
// existing output: it becomes a question.
std::optional<std::string> TTerminalDialogs::SaveFile(const TFileDialogOptions& options) {
    if (options.FileName.empty()) return std::nullopt;
    const std::string path =
        options.InitialFolder.empty() ? options.FileName : options.InitialFolder + "/" + options.FileName;
    if (Ask(options.Title + "\r" + path, TMsgDlgType::Confirmation, mbYesNo) != TModalResult::Yes) return std::nullopt;
    return path;
}

std::optional<std::string> TTerminalDialogs::SelectFolder(const std::string&, const std::string&) {
    return std::nullopt;
}
