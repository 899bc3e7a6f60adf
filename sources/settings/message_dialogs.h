// The enriched message boxes: a box with an optional help link and a "Don't
// show this message again" check box, a Yes/No question whose default is No,
// and the messages that the user may silence, each with its setting.
#pragma once

#include <span>
#include <string>

#include "lib/settings.h"
#include "services/dialogs.h"

// The help page of a base name in the "Docs" folder: ".htm", else ".html";
// the "_fr" page when the interface is French and that page exists. Empty when
// there is no page.
std::string ResolveHelpPage(const std::string& helpName);

// Shows the box unless `dontShow` is already true, in which case
// `defaultResult` is returned at once. With a check box caption its state is
// stored back into `dontShow`. `helpContext` is kept for the help system.
TModalResult AdvancedMessageDlg(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons,
                                const std::string& helpName, const std::string& checkBoxCaption, bool& dontShow,
                                TModalResult defaultResult, int helpContext = 0);

// The same, the flag being the boolean setting `settingKey` of `settings`;
// the check box reads "Don't show this message again".
TModalResult AdvancedMessageDlg(TSettings& settings, const std::string& settingKey, const std::string& message,
                                TMsgDlgType type, const TMsgDlgButtons& buttons, const std::string& helpName,
                                TModalResult defaultResult = TModalResult::OK);

// A question whose focused button is "No".
TModalResult ConfirmNoDefault(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons);

inline constexpr const char* DontShowAgainCaption = "Don't show this message again";

struct TSuppressibleMessage {
    const char* SettingKey;
    const char* Message;   // what it says (the showing module composes the exact text)
    const char* HelpName;  // its help page, or empty
};

std::span<const TSuppressibleMessage> SuppressibleMessages();
