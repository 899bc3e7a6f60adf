#include "lib/settings.h"

#include <gtest/gtest.h>

#include "lib/ini_file.h"
#include "support/folders_scope.h"
#include "support/temp_folder.h"

namespace {

class SettingsStore : public ::testing::Test {
protected:
    TTempFolder Program;
    TFoldersScope Folders{Program.Path().string(), Program.File("config")};
    TSettings Store;

    void SetUp() override {
        Store.SetIniFileName("Test.ini");
        Store.SetApplicationIni("Main");
        Store.BaseKey = "Software\\Maker";
        Store.SetApplicationKey("Prog\\1.0");
        Store.Add("Flag", TSettingType::stBoolean, TSettingStorage::ssIniFile, true);
        Store.Add("Count", TSettingType::stInteger, TSettingStorage::ssIniFile, std::int32_t{5});
        Store.Add("Name", TSettingType::stString, TSettingStorage::ssIniFile, std::string(" default"));
        Store.Add("Ratio", TSettingType::stFloat, TSettingStorage::ssIniFile, 0.5);
        Store.Add("When", TSettingType::stDateTime, TSettingStorage::ssIniFile, 0.0);
        Store.Add("NoDefault", TSettingType::stBoolean);
        Store.Add("Check", TSettingType::stBoolean, TSettingStorage::ssRegistry, true);
        Store.Add("Stamp", TSettingType::stDate, TSettingStorage::ssRegistry, 0.0);
        Store.Add("Host", TSettingType::stString, TSettingStorage::ssRegistry, std::string("none"));
    }
};

}  // namespace

TEST_F(SettingsStore, TargetsTheFileNameInTheProgramFolderAndTheJoinedKey) {
    EXPECT_EQ(Store.IniFilePath(), Program.File("Test.ini"));
    Store.SetIniFileName("/elsewhere/Other.ini");
    EXPECT_EQ(Store.IniFilePath(), Program.File("Other.ini"));
    Store.SetIniFileName("  ");
    EXPECT_EQ(Store.IniFileName(), "Settings.ini");
    EXPECT_EQ(Store.RegistryKey(), "Software\\Maker\\Prog\\1.0");
    Store.SetApplicationKey(" ");
    Store.SetApplicationIni("");
    EXPECT_EQ(Store.RegistryKey(), "Software\\Maker\\Application");
    EXPECT_EQ(Store.ApplicationIni(), "Application");
    Store.BaseKey = "";
    EXPECT_EQ(Store.RegistryKey(), "Application");
}

TEST_F(SettingsStore, AFirstRunReadsDefaultsAndSaveRoundTrips) {
    Store.Load();
    EXPECT_EQ(Store.GetValue("flag"), TSettingValue(true));
    EXPECT_EQ(Store.GetValue("Count"), TSettingValue(std::int32_t{5}));
    EXPECT_EQ(Store.GetValue("Name"), TSettingValue(std::string(" default")));
    EXPECT_TRUE(IsEmpty(Store.GetValue("NoDefault")));
    EXPECT_EQ(Store.GetValue("Check"), TSettingValue(true));
    EXPECT_FALSE(std::filesystem::exists(Program.File("Test.ini")));

    Store.SetValue("Flag", false);
    Store.SetValue("Count", std::int32_t{-12});
    Store.SetValue("Ratio", 0.1);
    Store.SetValue("When", 46000.5);  // 2025-12-09 12:00
    Store.SetValue("Check", false);
    Store.SetValue("Stamp", 46001.0);
    Store.SetValue("Host", std::string("proxy.example"));
    ASSERT_TRUE(Store.Save());

    const TIniFile ini(Program.File("Test.ini"));
    EXPECT_EQ(ini.ReadSection("Main"), (TStringList{"Flag", "Count", "Name", "Ratio", "When"}));
    EXPECT_EQ(ini.ReadString("Main", "When", ""), "2025-12-09 12:00:00");
    EXPECT_FALSE(ini.ValueExists("Main", "NoDefault"));  // an empty value is not written

    TSettings reread;
    for (const TSettingItem& item : Store.Settings())
        reread.Add(item.Name(), item.DataType(), item.Storage(), item.ValueDefault());
    reread.SetIniFileName("Test.ini");
    reread.SetApplicationIni("Main");
    reread.BaseKey = Store.BaseKey;
    reread.SetApplicationKey("Prog\\1.0");
    reread.Load();
    for (const TSettingItem& item : Store.Settings())
        EXPECT_EQ(reread.GetValue(item.Name()), item.Value()) << item.Name();
}

TEST_F(SettingsStore, UnusableTextsReadAsTheDefault) {
    struct Case {
        std::string Name;
        std::string Text;
        TSettingValue Value;
    };
    const Case cases[] = {
        {"Flag", "yes", true},
        {"Flag", "2", true},
        {"Flag", "0", false},
        {"Flag", "", true},
        {"Count", "12.5", std::int32_t{5}},
        {"Count", "0x10", std::int32_t{5}},
        {"Count", " 42 ", std::int32_t{42}},
        {"Ratio", "abc", 0.5},
        {"Ratio", "0,25", 0.25},
        {"When", "2025-02-30", 0.0},
        {"When", "1899-12-31", 1.0},
        {"NoDefault", "maybe", TSettingValue{}},
    };
    for (const auto& c : cases) {
        Program.Write("Test.ini", "[Main]\n" + c.Name + "=" + c.Text + "\n");
        Store.Load();
        EXPECT_EQ(Store.GetValue(c.Name), c.Value) << c.Name << "=" << c.Text;
    }
}

TEST_F(SettingsStore, RegistryValuesOfAnotherTypeOrEmptyTextReadAsDefault) {
    Store.Load();
    Store.SetValue("Check", false);
    Store.SetValue("Host", std::string("proxy"));
    ASSERT_TRUE(Store.Save());
    Store.SetValue("Check", true);
    Store.Load();
    EXPECT_EQ(Store.GetValue("Check"), TSettingValue(false));
    EXPECT_EQ(Store.GetValue("Host"), TSettingValue(std::string("proxy")));

    TRegistryStore registry(RegistryFilePath());
    ASSERT_TRUE(registry.WriteString(Store.RootKey, Store.RegistryKey(), "Check", "0"));
    ASSERT_TRUE(registry.WriteString(Store.RootKey, Store.RegistryKey(), "Host", ""));
    Store.Load();
    EXPECT_EQ(Store.GetValue("Check"), TSettingValue(true));
    EXPECT_EQ(Store.GetValue("Host"), TSettingValue(std::string("none")));

    ASSERT_TRUE(registry.DeleteKey(Store.RootKey, Store.RegistryKey()));
    Store.SetValue("Check", false);
    Store.Load();
    EXPECT_EQ(Store.GetValue("Check"), TSettingValue(true));
}

TEST_F(SettingsStore, AValueThatCannotBeStoredIsSkippedAndTheRestIsWritten) {
    Store.Load();
    Store.SetValue("Count", std::string("many"));
    Store.SetValue("Flag", false);
    EXPECT_FALSE(Store.Save());
    const TIniFile ini(Program.File("Test.ini"));
    EXPECT_FALSE(ini.ValueExists("Main", "Count"));
    EXPECT_EQ(ini.ReadString("Main", "Flag", ""), "0");
}

TEST_F(SettingsStore, ChangesFireOnlyWhenSomethingChanges) {
    std::vector<std::string> changed;
    Store.OnChange = [&](TSettingItem& item) { changed.push_back(item.Name()); };
    Store.ClearModified();
    Store.SetValue("Count", std::int32_t{3});
    Store.SetValue("Count", std::int32_t{3});
    Store.SetValueDefault("Flag", true);
    Store.FindItem("NAME")->SetStorage(TSettingStorage::ssIniFile);
    EXPECT_EQ(changed, (std::vector<std::string>{"Count"}));
    EXPECT_TRUE(Store.Modified());
    Store.FindItem("Name")->SetDataType(TSettingType::stInteger);
    Store.FindItem("Name")->SetName("Renamed");
    EXPECT_EQ(changed, (std::vector<std::string>{"Count", "Name", "Renamed"}));
}

TEST_F(SettingsStore, UndeclaredNamesAreProgrammingErrors) {
    EXPECT_EQ(Store.FindItem("Missing"), nullptr);
    EXPECT_THROW(Store.GetValue("Missing"), ESettingsError);
    EXPECT_THROW(Store.SetValueDefault("Missing", true), ESettingsError);
}

TEST(SettingValues, ConversionsBetweenTypes) {
    EXPECT_EQ(ConvertSetting(std::string("1"), TSettingType::stBoolean), TSettingValue(true));
    EXPECT_EQ(ConvertSetting(std::int32_t{0}, TSettingType::stBoolean), TSettingValue(false));
    EXPECT_EQ(ConvertSetting(true, TSettingType::stString), TSettingValue(std::string("1")));
    EXPECT_EQ(ConvertSetting(2.6, TSettingType::stInteger), TSettingValue(std::int32_t{3}));
    EXPECT_EQ(ConvertSetting(1e12, TSettingType::stInteger), std::nullopt);
    EXPECT_EQ(ConvertSetting(TSettingValue{}, TSettingType::stString), std::nullopt);
    EXPECT_EQ(SettingToIniText(0.75, TSettingType::stTime), "18:00:00");
    EXPECT_EQ(SettingToIniText(46000.0, TSettingType::stDate), "2025-12-09");
    EXPECT_EQ(SettingFromIniText("18:00:00", TSettingType::stTime), TSettingValue(0.75));
    EXPECT_EQ(SettingToIniText(0.1, TSettingType::stFloat), "0.1");
}
