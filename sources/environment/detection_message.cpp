#include "environment/detection_message.h"

#include "platform/folders.h"
#include "services/services.h"
#include "settings/language.h"

namespace {

// The ".htm" page, or the ".html" one when only that exists.
std::string ExistingPage(const std::string& base) {
    const std::string htm = base + ".htm";
    return FileExists(htm) ? htm : htm + "l";
}

}  // namespace

std::string DetectionHelpPage(const std::string& programFolder, const std::string& helpName,
                              const std::string& languageCode) {
    const std::string name = Trim(helpName);
    if (name.empty()) return {};
    const std::string base = IncludeTrailingDelimiter(programFolder) + "Docs/" + name;
    const std::string page = ExistingPage(base);
    const std::string french = ExistingPage(base + "_fr");
    const std::string chosen = SameText(languageCode, "fr") && FileExists(french) ? french : page;
    return FileExists(chosen) ? chosen : std::string();
}

TModalResult DetectionMessageDlg(const TDetectionMessage& message, bool& dontShow, TModalResult defaultResult,
                                 const std::string& programFolder, const std::string& languageCode) {
    if (dontShow) return defaultResult;
    TAdvancedMessage box;
    box.Message = message.Message;
    box.DlgType = message.DlgType;
    box.Buttons = message.Buttons;
    box.HelpPage = DetectionHelpPage(programFolder, message.HelpName, languageCode);
    box.CheckBoxCaption = Translate("Don't show this message again");
    bool checked = false;
    const TModalResult result = Dialogs().AdvancedMessageDlg(box, checked);
    dontShow = checked;
    return result;
}
