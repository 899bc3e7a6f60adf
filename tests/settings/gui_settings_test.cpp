#include "settings/gui_settings.h"

#include <gtest/gtest.h>

#include <set>

#include "lib/ini_file.h"
#include "settings/startup_keys.h"
#include "support/folders_scope.h"
#include "support/temp_folder.h"

namespace {

class GuiSettings : public ::testing::Test {
protected:
    TTempFolder Program;
    TFoldersScope Folders{Program.Path().string(), Program.File("config")};
    TSettings Store;

    void SetUp() override { DeclareGuiSettings(Store, ""); }
};

}  // namespace

TEST_F(GuiSettings, TheStoreKeepsItsValuesInLumoraIniAndTheProgramKey) {
    EXPECT_EQ(Store.IniFilePath(), Program.File("Lumora.ini"));
    EXPECT_EQ(Store.ApplicationIni(), "Lumora");
    EXPECT_EQ(Store.RegistryKey(), "Software\\Quillon\\Lumora\\1.1.6");
    EXPECT_FALSE(Store.Modified());
    std::set<std::string> names;
    for (const TSettingItem& item : Store.Settings())
        EXPECT_TRUE(names.insert(LowerCase(item.Name())).second) << "declared twice: " << item.Name();
}

TEST_F(GuiSettings, AFirstRunReadsEveryDefault) {
    Store.Load();
    for (const TSettingDeclaration& declaration : GuiSettingDeclarations()) {
        if (std::string_view(declaration.Name) == "Language") continue;
        EXPECT_EQ(Store.GetValue(declaration.Name), declaration.Default) << declaration.Name;
    }
    EXPECT_EQ(Store.GetString("Language"), "English");
    EXPECT_EQ(Store.GetString("CdWriterDriver"), " default");
    EXPECT_TRUE(Store.GetBool("PerformCheck"));
    EXPECT_TRUE(IsEmpty(Store.GetValue("CreateBinFromWriter")));

    TSettings french;
    DeclareGuiSettings(french,
                       "Fran\xC3\xA7"
                       "ais");
    french.Load();
    EXPECT_EQ(french.GetString("Language"),
              "Fran\xC3\xA7"
              "ais");
}

TEST_F(GuiSettings, AfterSaveTheIniFileHoldsEveryIniSettingUnderLumora) {
    Store.Load();
    ASSERT_TRUE(Store.Save());
    const TIniFile ini(Program.File("Lumora.ini"));
    EXPECT_EQ(ini.ReadSections(), (TStringList{"Lumora"}));
    for (const TSettingItem& item : Store.Settings()) {
        const bool expected = item.Storage() == TSettingStorage::ssIniFile && !IsEmpty(item.Value());
        EXPECT_EQ(ini.ValueExists("Lumora", item.Name()), expected) << item.Name();
    }
    EXPECT_EQ(ini.ReadString("Lumora", "CdWriterDriver", ""), " default");
    const TRegistryStore registry(RegistryFilePath());
    EXPECT_EQ(registry.ReadInteger(TRootKeys::rkHKEY_CURRENT_USER, Store.RegistryKey(), "PerformCheck"), 1);
    EXPECT_EQ(registry.ReadBinaryDouble(TRootKeys::rkHKEY_CURRENT_USER, Store.RegistryKey(), "LastVersionCheckDate"),
              0.0);
}

TEST_F(GuiSettings, DeletingTheRegistryKeyMakesTheVersionCheckOnAgain) {
    Store.Load();
    Store.SetValue("PerformCheck", false);
    ASSERT_TRUE(Store.Save());
    Store.Load();
    EXPECT_FALSE(Store.GetBool("PerformCheck"));
    ASSERT_TRUE(TRegistryStore(RegistryFilePath()).DeleteKey(Store.RootKey, Store.RegistryKey()));
    Store.Load();
    EXPECT_TRUE(Store.GetBool("PerformCheck"));
}

TEST_F(GuiSettings, AHandEditedFileLoadsWithDefaultsWhereValuesAreUnusable) {
    Program.Write("Lumora.ini", std::string("\xEF\xBB\xBF; edited by hand\r\n"
                                            "\r\n"
                                            "[Lumora]\r\n"
                                            "\r\n"
                                            "WaitTime=soon\r\n"
                                            "XmlOnly=yes\r\n"
                                            "UsePBC=2\r\n"
                                            "VcdType=Svcd\r\n"
                                            "VcdType=Vcd11\r\n"
                                            "StillBackColor=\x01\x02\xff\xfe\r\n"
                                            "LeadoutPreGap=99999999999999\r\n") +
                                    std::string(1, '\0') +
                                    "\x01garbage without equals\r\n"
                                    "=no key\r\n"
                                    "[Lumora\r\n"
                                    "TrackPreGap = 300 \r\n");
    Store.Load();
    EXPECT_EQ(Store.GetInteger("WaitTime"), 2);
    EXPECT_FALSE(Store.GetBool("XmlOnly"));
    EXPECT_TRUE(Store.GetBool("UsePBC"));
    EXPECT_EQ(Store.GetString("VcdType"), "Svcd");
    EXPECT_EQ(Store.GetFloat("StillBackColor"), 0.0);
    EXPECT_EQ(Store.GetInteger("LeadoutPreGap"), 150);
    EXPECT_EQ(Store.GetInteger("TrackPreGap"), 300);
    // Saving keeps the comment and writes usable values over unusable ones.
    ASSERT_TRUE(Store.Save());
    const TIniFile ini(Program.File("Lumora.ini"));
    EXPECT_EQ(ini.ReadString("Lumora", "WaitTime", ""), "2");
    EXPECT_NE(ReadWholeFile(Program.File("Lumora.ini")).find("; edited by hand"), std::string::npos);
}

TEST_F(GuiSettings, StartupKeysAreOnOnlyWhenExactlyOne) {
    Program.Write("Lumora.ini",
                  "[Other]\nDebug=1\n"
                  "[LUMORA]\n"
                  "language = Fran\xC3\xA7"
                  "ais [fr] \n"
                  "ForceNoCdrdao= 1 \n"
                  "ForceCdrdao=2\n"
                  "PreferredAspi=NERO\n"
                  "AspiWindowsWasOk=true\n"
                  "EncryptFiles=no\n"
                  "Expert_LongBinNameOnly=1\n"
                  "DoNotShowNoCdrdaoAgain=1\n"
                  "DoNotShowNoMjpegAgain=01\n"
                  "CdWriterDriver=\" default\"\n"
                  "CdWriterDevice=/dev/sr0\n");
    const TStartupKeysReader reader;
    const TStartupKeys keys = reader.Read();
    EXPECT_EQ(keys.Language,
              "Fran\xC3\xA7"
              "ais [fr]");
    EXPECT_TRUE(keys.ForceNoCdrdao);
    EXPECT_FALSE(keys.ForceCdrdao);
    EXPECT_EQ(keys.PreferredAspi, TPreferredAspi::Nero);
    EXPECT_FALSE(keys.AspiWindowsWasOk);
    EXPECT_FALSE(keys.Debug);
    EXPECT_TRUE(keys.EncryptFiles);
    EXPECT_TRUE(keys.ExpertLongBinNameOnly);
    EXPECT_TRUE(reader.Flag("DoNotShowNoCdrdaoAgain"));
    EXPECT_FALSE(reader.Flag("DoNotShowNoMjpegAgain"));
    EXPECT_EQ(keys.CdWriterDriver, " default");
    EXPECT_EQ(keys.CdWriterDevice, "/dev/sr0");

    EXPECT_FALSE(TStartupKeysReader(TIniFile::FromText("[Lumora]\nEncryptFiles= 0\n")).Read().EncryptFiles);
    const TStartupKeys none = TStartupKeysReader(TIniFile::FromText("")).Read();
    EXPECT_TRUE(none.EncryptFiles);
    EXPECT_EQ(none.PreferredAspi, TPreferredAspi::None);
}
