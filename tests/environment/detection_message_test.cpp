#include "environment/detection_message.h"

#include <gtest/gtest.h>

#include "services/services.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

TEST(DetectionMessage, HelpPageChoice) {
    struct TCase {
        const char* Name;
        std::vector<const char*> Files;
        const char* Language;
        const char* Expected;  // relative to the program folder, empty: no link
    };
    const TCase cases[] = {
        {"no page", {}, "", ""},
        {"htm", {"WinAspi.htm"}, "", "Docs/WinAspi.htm"},
        {"only html", {"WinAspi.html"}, "", "Docs/WinAspi.html"},
        {"htm before html", {"WinAspi.htm", "WinAspi.html"}, "", "Docs/WinAspi.htm"},
        {"french preferred in French", {"WinAspi.htm", "WinAspi_fr.htm"}, "fr", "Docs/WinAspi_fr.htm"},
        {"french html in French", {"WinAspi.htm", "WinAspi_fr.html"}, "fr", "Docs/WinAspi_fr.html"},
        {"english page in French without a French one", {"WinAspi.htm"}, "fr", "Docs/WinAspi.htm"},
        {"french page ignored in English", {"WinAspi.htm", "WinAspi_fr.htm"}, "en", "Docs/WinAspi.htm"},
        {"only a French page, in English", {"WinAspi_fr.htm"}, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TTempFolder program;
        for (const char* file : c.Files) program.Write(std::string("Docs/") + file, "<html></html>");
        const std::string expected = *c.Expected ? program.File(c.Expected) : std::string();
        EXPECT_EQ(DetectionHelpPage(program.Path().string(), " WinAspi ", c.Language), expected);
    }
    TTempFolder program;
    program.Write("Docs/.htm", "");
    EXPECT_EQ(DetectionHelpPage(program.Path().string(), "  ", ""), "");
}

TEST(DetectionMessage, ASuppressedMessageReturnsTheDefaultWithoutAnyBox) {
    TScriptedDialogs dialogs;
    TServicesScope services{nullptr, &dialogs};
    const TDetectionMessage message{"\rText", TMsgDlgType::Information, mbYesNo, ""};

    bool dontShow = true;
    EXPECT_EQ(DetectionMessageDlg(message, dontShow, TModalResult::OK, "/nowhere/", ""), TModalResult::OK);
    EXPECT_TRUE(dialogs.Asked.empty());
    EXPECT_TRUE(dontShow);

    // Shown: the flag takes the box's state, whatever it was before.
    dontShow = false;
    dialogs.Answer(TModalResult::No, true);
    EXPECT_EQ(DetectionMessageDlg(message, dontShow, TModalResult::OK, "/nowhere/", ""), TModalResult::No);
    EXPECT_TRUE(dontShow);
    ASSERT_EQ(dialogs.Asked.size(), 1u);
    EXPECT_EQ(dialogs.Asked[0].Buttons, mbYesNo);
    EXPECT_EQ(dialogs.Asked[0].CheckBoxCaption, "Don't show this message again");

    dontShow = false;
    dialogs.Answer(TModalResult::Yes, false);
    EXPECT_EQ(DetectionMessageDlg(message, dontShow, TModalResult::OK, "/nowhere/", ""), TModalResult::Yes);
    EXPECT_FALSE(dontShow);
}
