#include "lib/saved_form.h"

#include <gtest/gtest.h>

#include "lib/ini_file.h"
#include "support/folders_scope.h"
#include "support/temp_folder.h"

namespace {

class SavedForm : public ::testing::Test {
protected:
    TTempFolder Program;
    TFoldersScope Folders{Program.Path().string(), Program.File("config")};
    TSavedForm Memory{"MainForm"};
    const TScreenInfo Small{96, 1024, 768};
    const TScreenInfo Large{120, 1920, 1080};
    const TFormGeometry Designed{10, 20, 800, 600, TWindowState::wsNormal};

    void SetUp() override {
        Memory.IniFile = "Lumora.ini";
        Memory.SavedName = "LumoraMain";
        Memory.CenterForm = true;
    }
};

}  // namespace

TEST_F(SavedForm, EachResolutionKeepsItsOwnBounds) {
    EXPECT_EQ(Memory.KeyPrefix(Small), "LumoraMain_96_1024x768_");
    // Nothing stored yet: the designed size, centred.
    EXPECT_EQ(Memory.Load(Designed, Small), (TFormGeometry{112, 84, 800, 600, TWindowState::wsNormal}));

    ASSERT_TRUE(Memory.Save({5, 6, 700, 500, TWindowState::wsNormal}, Small));
    EXPECT_EQ(TIniFile(Program.File("Lumora.ini")).ReadInteger("Positions", "LumoraMain_96_1024x768_Left", -1), 5);
    EXPECT_EQ(Memory.Load(Designed, Small), (TFormGeometry{5, 6, 700, 500, TWindowState::wsNormal}));
    // Another resolution opens centred at the designed size until closed there once.
    EXPECT_EQ(Memory.Load(Designed, Large), (TFormGeometry{560, 240, 800, 600, TWindowState::wsNormal}));
    ASSERT_TRUE(Memory.Save({30, 40, 900, 700, TWindowState::wsNormal}, Large));
    EXPECT_EQ(Memory.Load(Designed, Large), (TFormGeometry{30, 40, 900, 700, TWindowState::wsNormal}));
    EXPECT_EQ(Memory.Load(Designed, Small), (TFormGeometry{5, 6, 700, 500, TWindowState::wsNormal}));
}

TEST_F(SavedForm, AMaximisedCloseKeepsTheNormalBounds) {
    ASSERT_TRUE(Memory.Save({5, 6, 700, 500, TWindowState::wsNormal}, Small));
    ASSERT_TRUE(Memory.Save({0, 0, 1024, 768, TWindowState::wsMaximized}, Small));
    const TIniFile ini(Program.File("Lumora.ini"));
    EXPECT_EQ(ini.ReadInteger("Positions", "LumoraMain_96_1024x768_State", -1), 2);
    EXPECT_EQ(ini.ReadInteger("Positions", "LumoraMain_96_1024x768_Width", -1), 700);
    EXPECT_EQ(Memory.Load(Designed, Small), (TFormGeometry{5, 6, 700, 500, TWindowState::wsMaximized}));
}

TEST_F(SavedForm, StoredStatesAndVetoes) {
    struct Case {
        std::string Stored;
        TWindowState Loaded;
    };
    const Case cases[] = {{"0", TWindowState::wsNormal},
                          {"1", TWindowState::wsNormal},
                          {"2", TWindowState::wsMaximized},
                          {"7", TWindowState::wsMaximized},
                          {"max", TWindowState::wsMaximized}};
    TFormGeometry current = Designed;
    current.State = TWindowState::wsMaximized;
    for (const auto& c : cases) {
        Program.Write("Lumora.ini", "[Positions]\nLumoraMain_96_1024x768_State=" + c.Stored + "\n");
        EXPECT_EQ(Memory.Load(current, Small).State, c.Loaded) << c.Stored;
    }
    Memory.OnLoadRequest = [] { return false; };
    Memory.OnSaveRequest = [] { return false; };
    EXPECT_EQ(Memory.Load(current, Small), current);
    EXPECT_FALSE(Memory.Save(Designed, Small));
}

TEST_F(SavedForm, ErrorsOfOwnerAndFolder) {
    try {
        TSavedForm wrong("Button", false);
        ADD_FAILURE() << "accepted a non-window owner";
    } catch (const ESavedFormError& error) {
        EXPECT_STREQ(error.what(), "TSavedForm: owner is not a TForm");
    }
    Memory.IniFile = "missing/Lumora.ini";
    EXPECT_THROW(Memory.Load(Designed, Small), ESavedFormError);
    try {
        Memory.Save(Designed, Small);
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const ESavedFormError& error) {
        EXPECT_STREQ(error.what(), "TSavedForm: folder for ini file does not exist");
    }
}
