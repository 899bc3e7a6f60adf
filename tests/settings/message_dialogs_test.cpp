#include "settings/message_dialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "services/services.h"
#include "settings/gui_settings.h"
#include "settings/language.h"
#include "support/folders_scope.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace {

class MessageDialogs : public ::testing::Test {
protected:
    TTempFolder Program;
    TTempFolder Data;
    TFoldersScope Folders{Program.Path().string(), Program.File("config"), Data.Path().string()};
    TScriptedDialogs Dialogs;
    TServicesScope Services{nullptr, &Dialogs};

    void SetUp() override {
        ResetLanguageState();
        ActivateLanguage(false);
    }
    void TearDown() override { ResetLanguageState(); }
    void French() {
        ActivateLanguage(true,
                         Program.Write("lumora_fr.lng",
                                       "[Language]\nLanguage=Fran\xC3\xA7"
                                       "ais\nLanguageExt=fr\n"
                                       "[Messages]\nDon't show this message again=Ne plus afficher ce message\n"));
    }
};

}  // namespace

TEST_F(MessageDialogs, ASuppressedMessageReturnsTheDefaultWithoutAnyBox) {
    bool dontShow = true;
    EXPECT_EQ(AdvancedMessageDlg("\rHidden   ", TMsgDlgType::Warning, mbYesNo, "WinAspi", "Don't", dontShow,
                                 TModalResult::OK),
              TModalResult::OK);
    EXPECT_TRUE(Dialogs.Asked.empty());
    EXPECT_TRUE(dontShow);
}

TEST_F(MessageDialogs, TheCheckBoxStateIsStoredAndTheAnswerReturned) {
    Dialogs.Answer(TModalResult::No, true);
    bool dontShow = false;
    EXPECT_EQ(
        AdvancedMessageDlg("Add?", TMsgDlgType::Confirmation, mbYesNo, "", "Don't show", dontShow, TModalResult::OK),
        TModalResult::No);
    EXPECT_TRUE(dontShow);
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Kind, "advanced");
    EXPECT_EQ(Dialogs.Asked[0].CheckBoxCaption, "Don't show");
    EXPECT_EQ(Dialogs.Asked[0].HelpPage, "");

    // Without a check box the flag is left alone, whatever the box reports.
    Dialogs.Answer(TModalResult::OK, true);
    bool untouched = false;
    AdvancedMessageDlg("Plain", TMsgDlgType::Information, mbOK, "", "", untouched, TModalResult::OK);
    EXPECT_FALSE(untouched);
}

TEST_F(MessageDialogs, HelpPagesPreferTheFrenchOneOnlyInFrench) {
    struct Case {
        std::vector<std::string> Pages;  // in Docs
        bool InFrench;
        std::string Linked;
    };
    const Case cases[] = {
        {{"WinAspi.htm", "WinAspi_fr.htm"}, false, "WinAspi.htm"},
        {{"WinAspi.htm", "WinAspi_fr.htm"}, true, "WinAspi_fr.htm"},
        {{"WinAspi.htm"}, true, "WinAspi.htm"},
        {{"WinAspi.html", "WinAspi_fr.html"}, true, "WinAspi_fr.html"},
        {{"WinAspi.html"}, false, "WinAspi.html"},
        {{"WinAspi_fr.htm"}, false, ""},
        {{}, true, ""},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(Program.File("Docs"));
        for (const std::string& page : c.Pages) Program.Write("Docs/" + page, "<html></html>");
        if (c.InFrench)
            French();
        else
            ActivateLanguage(false);
        const std::string expected = c.Linked.empty() ? "" : Program.File("Docs/" + c.Linked);
        EXPECT_EQ(ResolveHelpPage(" WinAspi "), expected) << c.Linked << (c.InFrench ? " in French" : "");
    }
    EXPECT_EQ(ResolveHelpPage(""), "");
    EXPECT_EQ(ResolveHelpPage("../WinAspi"), "");
}

TEST_F(MessageDialogs, InstalledHelpPagesAreFoundWhenNoneIsBesideTheProgram) {
    const std::string page = Data.Write("Docs/UnknownAspi.htm", "<html></html>");
    bool dontShow = false;
    AdvancedMessageDlg("Disabled", TMsgDlgType::Warning, mbOK, "UnknownAspi", "", dontShow, TModalResult::OK);
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].HelpPage, page);
}

TEST_F(MessageDialogs, ASilencedMessageKeepsItsAnswerInItsSetting) {
    TSettings store;
    DeclareGuiSettings(store, "");
    store.Load();
    French();
    Dialogs.Answer(TModalResult::Yes, true);
    EXPECT_EQ(AdvancedMessageDlg(store, "DoNotShowHighSvcdBitRateAgain", "Add anyway?", TMsgDlgType::Confirmation,
                                 mbYesNo, ""),
              TModalResult::Yes);
    EXPECT_TRUE(store.GetBool("DoNotShowHighSvcdBitRateAgain"));
    EXPECT_EQ(Dialogs.Asked.at(0).CheckBoxCaption, "Ne plus afficher ce message");
    EXPECT_EQ(AdvancedMessageDlg(store, "DoNotShowHighSvcdBitRateAgain", "Add anyway?", TMsgDlgType::Confirmation,
                                 mbYesNo, "", TModalResult::OK),
              TModalResult::OK);
    EXPECT_EQ(Dialogs.Asked.size(), 1u);
}

TEST_F(MessageDialogs, EverySuppressibleMessageHasADeclaredFlag) {
    TSettings store;
    DeclareGuiSettings(store, "");
    std::set<std::string> keys;
    for (const TSuppressibleMessage& message : SuppressibleMessages()) {
        const TSettingItem* item = store.FindItem(message.SettingKey);
        ASSERT_NE(item, nullptr) << message.SettingKey;
        EXPECT_EQ(item->DataType(), TSettingType::stBoolean) << message.SettingKey;
        EXPECT_EQ(item->ValueDefault(), TSettingValue(false)) << message.SettingKey;
        EXPECT_TRUE(keys.insert(message.SettingKey).second) << message.SettingKey;
    }
}

TEST_F(MessageDialogs, TheNoDefaultQuestionGoesToTheDialogsAndSilenceMeansNo) {
    Dialogs.Answer(TModalResult::Yes);
    EXPECT_EQ(ConfirmNoDefault("Overwrite?", TMsgDlgType::Confirmation, mbYesNo), TModalResult::Yes);
    EXPECT_EQ(Dialogs.Asked.at(0).Kind, "confirm-no-default");
    TSilentDialogs silent;
    TServicesScope quiet(nullptr, &silent);
    EXPECT_EQ(ConfirmNoDefault("Overwrite?", TMsgDlgType::Confirmation, mbYesNo), TModalResult::No);
}

// Every help link the program offers leads to a page we ship, in the folder
// that is installed as "Docs".
TEST_F(MessageDialogs, EveryHelpLinkHasAShippedPage) {
    TStringList names{"Cut"};  // the analysis's "too big" message
    for (const TSuppressibleMessage& message : SuppressibleMessages())
        if (*message.HelpName != '\0') names.push_back(message.HelpName);
    ASSERT_GE(names.size(), 3u);
    for (const std::string& name : names) {
        const std::string page = std::string(LUMORA_SOURCE_DIR) + "/data/Docs/" + name + ".htm";
        EXPECT_TRUE(std::filesystem::is_regular_file(page)) << page;
        EXPECT_NE(ReadWholeFile(page).find("<title>"), std::string::npos) << page;
    }
}
