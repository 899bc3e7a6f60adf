#include "settings/message_dialogs.h"

#include "lib/text.h"
#include "platform/folders.h"
#include "services/services.h"
#include "settings/language.h"

namespace {

// ".htm", or ".html" when only that exists; empty when neither does.
std::string ExistingPage(const std::string& base) {
    for (const char* extension : {".htm", ".html"})
        if (const std::string path = FindShippedFile("Docs/" + base + extension); !path.empty()) return path;
    return {};
}

constexpr TSuppressibleMessage Messages[] = {
    {"DoNotShowBadVcdImagerAgain", "The installed VCDImager is not the supported version of \"GNU VCDImager\"", ""},
    {"DoNotShowNoCdrdaoAgain", "If you want to burn with %s...", ""},
    {"DoNotShowBadCdrDaoAgain", "The installed cdrdao is not a supported version", ""},
    {"DoNotShowCdrdaoReadWarningAgain",
     "If the \"Auto Insert Notification\" of your CD device is ON, your PC may hang during CD read operations.", ""},
    {"DoNotShowCdrDaoDisabledAgain",
     "CDRDAO (burning) has been disabled, as I am not sure it will work with your ASPI drivers", "UnknownAspi"},
    {"DoNotShowNoAspiDllAgain", "The ASPI library \"WnAspi32.dll\" is missing", "WinAspi"},
    {"DoNotShowNoMjpegAgain", "If you want to create some MPEG pictures with %s...", ""},
    {"DoNotShowBadMjpegtoolsAgain", "The installed mplex is not a supported version", ""},
    {"DoNotShowTooSmallDesktopAgain",
     "According to the desktop size/Windows Font size you are using,^the display will not be optimal.", ""},
    {"DoNotShowDVDPlayerRequiredAgain",
     "The display of MPEG2 files requires you to have a software DVD Player installed on your PC^(thus you will "
     "have some MPEG2 \"Codecs\")",
     ""},
    {"DoNotShowHighSvcdBitRateAgain", "Do you want to add this file anyway ?", ""},
};

}  // namespace

std::string ResolveHelpPage(const std::string& helpName) {
    const std::string name = Trim(helpName);
    // A base name only: the page must stay inside the help folder.
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") return {};
    if (GetLanguageCode() == "fr")
        if (const std::string french = ExistingPage(name + "_fr"); !french.empty()) return french;
    return ExistingPage(name);
}

TModalResult AdvancedMessageDlg(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons,
                                const std::string& helpName, const std::string& checkBoxCaption, bool& dontShow,
                                TModalResult defaultResult, int /*helpContext*/) {
    if (dontShow) return defaultResult;
    TAdvancedMessage box;
    box.Message = message;
    box.DlgType = type;
    box.Buttons = buttons;
    box.HelpPage = ResolveHelpPage(helpName);
    box.CheckBoxCaption = checkBoxCaption;
    bool checked = false;
    const TModalResult result = Dialogs().AdvancedMessageDlg(box, checked);
    if (!checkBoxCaption.empty()) dontShow = checked;
    return result;
}

TModalResult AdvancedMessageDlg(TSettings& settings, const std::string& settingKey, const std::string& message,
                                TMsgDlgType type, const TMsgDlgButtons& buttons, const std::string& helpName,
                                TModalResult defaultResult) {
    bool dontShow = settings.GetBool(settingKey);
    const TModalResult result =
        AdvancedMessageDlg(message, type, buttons, helpName, Translate(DontShowAgainCaption), dontShow, defaultResult);
    settings.SetValue(settingKey, dontShow);
    return result;
}

TModalResult ConfirmNoDefault(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons) {
    return Dialogs().ConfirmNoDefault(message, type, buttons);
}

std::span<const TSuppressibleMessage> SuppressibleMessages() { return Messages; }
