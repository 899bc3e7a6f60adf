#include "lib/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

TEST(IniFile, FindsSectionsAndKeysWithoutCaseAndTrimsValues) {
    const TIniFile ini = TIniFile::FromText(
        "; comment\r\n"
        "orphan=1\r\n"
        "[Lumora]\r\n"
        "  Language =  Francais  \r\n"
        "Quoted=\" padded \"\r\n"
        "Count=42\r\n"
        "language=second\r\n"
        "[lumora]\r\n"
        "Extra=hidden\r\n");
    EXPECT_EQ(ini.ReadString("LUMORA", "language", "none"), "Francais");
    EXPECT_EQ(ini.ReadString("Lumora", "Quoted", ""), " padded ");
    EXPECT_EQ(ini.ReadInteger("lumora", "COUNT", -1), 42);
    // A duplicated section or key: the first one counts.
    EXPECT_FALSE(ini.Read("Lumora", "Extra").has_value());
    // An entry before any section belongs to none.
    EXPECT_FALSE(ini.Read("", "orphan").has_value());
    EXPECT_EQ(ini.ReadSections(), (TStringList{"Lumora"}));
    EXPECT_EQ(ini.ReadSection("lumora"), (TStringList{"Language", "Quoted", "Count"}));
}

TEST(IniFile, TypedReadsFallBackOnUnusableText) {
    struct Case {
        std::string Text;
        bool Bool;
        std::int32_t Integer;
    };
    const Case cases[] = {
        {"1", true, 1},           {"0", false, 0}, {"2", true, 2},   {"-3", true, -3},
        {"yes", true, 7},         {"", true, 7},   {"1.5", true, 7}, {"12abc", true, 7},
        {"99999999999", true, 7}, {"+5", true, 5}, {"++5", true, 7}, {"\x01\xff", true, 7},
    };
    for (const auto& c : cases) {
        const TIniFile ini = TIniFile::FromText("[S]\nK=" + c.Text + "\n");
        EXPECT_EQ(ini.ReadBool("S", "K", true), c.Bool) << c.Text;
        EXPECT_EQ(ini.ReadInteger("S", "K", 7), c.Integer) << c.Text;
    }
}

TEST(IniFile, WritingKeepsOtherLinesAndCreatesTheFile) {
    TTempFolder folder;
    const std::string path = folder.File("Lumora.ini");
    {
        TIniFile ini(path);
        ini.WriteString("Lumora", "VcdType", "Svcd");
        ini.WriteBool("Positions", "Saved", true);
        ASSERT_TRUE(ini.UpdateFile());
    }
    EXPECT_EQ(ReadWholeFile(path), "[Lumora]\r\nVcdType=Svcd\r\n\r\n[Positions]\r\nSaved=1\r\n");

    folder.Write("Lumora.ini", "; kept\n[Other]\nA=1\n\n[Lumora]\nvcdtype=Vcd11\n\n[Tail]\nB=2\n");
    TIniFile ini(path);
    ini.WriteString("LUMORA", "VcdType", "Svcd");
    ini.WriteInteger("Lumora", "WaitTime", 5);
    ini.WriteString("Lumora", "Blanks", " default");
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(ReadWholeFile(path),
              "; kept\n[Other]\nA=1\n\n[Lumora]\nvcdtype=Svcd\nWaitTime=5\nBlanks=\" default\"\n\n[Tail]\nB=2\n");
    EXPECT_EQ(TIniFile(path).ReadString("Lumora", "Blanks", ""), " default");
}

TEST(IniFile, AByteOrderMarkDoesNotHideTheFirstSection) {
    TIniFile ini = TIniFile::FromText("\xEF\xBB\xBF[Lumora]\nA=1\n");
    EXPECT_EQ(ini.ReadString("Lumora", "A", ""), "1");
    ini.WriteString("Lumora", "B", "2");
    EXPECT_EQ(ini.Text(), "\xEF\xBB\xBF[Lumora]\nA=1\nB=2\n");
}

TEST(IniFile, LineBreaksInValuesCannotStartNewEntries) {
    TIniFile ini = TIniFile::FromText("[S]\n");
    ini.WriteString("S", "K", "a\r\n[Evil]\nX=1");
    const TIniFile reread = TIniFile::FromText(ini.Text());
    EXPECT_FALSE(reread.SectionExists("Evil"));
    EXPECT_EQ(reread.ReadString("S", "K", ""), "a  [Evil] X=1");
}

TEST(IniFile, DeletesKeysAndEveryCopyOfASection) {
    TIniFile ini = TIniFile::FromText("[A]\nK=1\nL=2\n[B]\nM=3\n[a]\nK=4\n");
    ini.DeleteKey("a", "k");
    EXPECT_FALSE(ini.ValueExists("A", "K"));
    EXPECT_EQ(ini.ReadString("A", "L", ""), "2");
    ini.EraseSection("A");
    EXPECT_FALSE(ini.SectionExists("A"));
    EXPECT_EQ(ini.ReadString("B", "M", ""), "3");
}

TEST(IniFile, AnUnwritableFileIsReportedAndNothingIsLeftBehind) {
    TTempFolder folder;
    // A folder in the way of the file: the rename cannot replace it.
    std::filesystem::create_directory(folder.File("Lumora.ini"));
    TIniFile ini(folder.File("Lumora.ini"));
    ini.WriteString("S", "K", "new");
    std::string error;
    EXPECT_FALSE(ini.UpdateFile(&error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("Lumora.ini")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), std::filesystem::directory_iterator()),
              1);
    EXPECT_FALSE(TIniFile(folder.File("missing/Lumora.ini")).UpdateFile());
}
