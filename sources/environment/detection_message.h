// The message box of the tools detection: an optional help page of the
// program's "Docs" folder and a "Don't show this message again" box whose
// state is remembered in a flag.
#pragma once

#include <string>

#include "services/dialogs.h"

// The help page of `helpName` in `programFolder`'s "Docs" folder (".htm", else
// ".html"; the "_fr" page first when `languageCode` is "fr"), or empty.
std::string DetectionHelpPage(const std::string& programFolder, const std::string& helpName,
                              const std::string& languageCode);

struct TDetectionMessage {
    std::string Message;
    TMsgDlgType DlgType = TMsgDlgType::Information;
    TMsgDlgButtons Buttons = mbOK;
    std::string HelpName;  // base name of a help page, or empty
};

// Returns `defaultResult` without showing anything when `dontShow` is set;
// otherwise asks Dialogs() with the "don't show again" box, and `dontShow`
// takes the box's state.
TModalResult DetectionMessageDlg(const TDetectionMessage& message, bool& dontShow, TModalResult defaultResult,
                                 const std::string& programFolder, const std::string& languageCode);
