#include "settings/last_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "lib/ini_file.h"
#include "settings/gui_settings.h"
#include "support/folders_scope.h"
#include "support/temp_folder.h"

namespace {

class LastFolders : public ::testing::Test {
protected:
    TTempFolder Program;
    TFoldersScope Folders{Program.Path().string(), Program.File("config")};
    TSettings Store;

    void SetUp() override { DeclareGuiSettings(Store, ""); }

    // The store as a new run reads it from the INI file.
    TLastFolders Started(const std::string& input, const std::string& output) {
        Program.Write("Lumora.ini", "[Lumora]\nLastInputFolder=" + input + "\nLastOutputFolder=" + output + "\n");
        TSettings store;
        DeclareGuiSettings(store, "");
        store.Load();
        return LoadLastFolders(store);
    }
};

}  // namespace

TEST_F(LastFolders, StartInTheStoredFolderOrFallBackToHome) {
    const std::string videos = Program.Write("videos/a.mpg", "x");
    const std::string folder = Program.File("videos");
    const std::string home = std::getenv("HOME") ? std::string(std::getenv("HOME")) : std::string();
    ASSERT_TRUE(std::filesystem::is_directory(home));
    const std::string homeFolder = home.back() == '/' ? home : home + "/";
    struct Case {
        std::string Stored;
        std::string Started;
    };
    const Case cases[] = {
        {folder + "/", folder + "/"},
        {"  " + folder + "  ", folder + "/"},      // trimmed, delimiter added
        {videos, folder + "/"},                    // a file's folder
        {Program.File("gone") + "/", homeFolder},  // no longer there
        {"", homeFolder},                          // a first run
    };
    for (const Case& c : cases) {
        const TLastFolders started = Started(c.Stored, c.Stored);
        EXPECT_EQ(started.Input, c.Started) << c.Stored;
        EXPECT_EQ(started.Output, c.Started) << c.Stored;
    }
    EXPECT_EQ(InitialOutputFile(Started(folder, "")), homeFolder + "videocd.bin");
    EXPECT_EQ(InitialOutputFile(Started("", folder)), folder + "/videocd.bin");
}

TEST_F(LastFolders, TheFoldersOfTheLastFilesAreStoredForTheNextRun) {
    const std::string in = Program.Write("in/clip.mpg", "x");
    const std::string out = Program.Write("out/disc.bin", "x");
    TLastFolders folders = LoadLastFolders(Store);
    RememberFolderOf(folders.Input, in);
    RememberFolderOf(folders.Output, out);
    EXPECT_EQ(folders.Input, Program.File("in") + "/");
    StoreLastFolders(Store, folders);
    Store.Save();
    const TIniFile ini = TIniFile::FromText(ReadWholeFile(Program.File("Lumora.ini")), false);
    EXPECT_EQ(ini.ReadString("Lumora", "LastInputFolder", ""), Program.File("in") + "/");
    EXPECT_EQ(ini.ReadString("Lumora", "LastOutputFolder", ""), Program.File("out") + "/");
    TSettings next;
    DeclareGuiSettings(next, "");
    next.Load();
    EXPECT_EQ(InitialOutputFile(LoadLastFolders(next)), Program.File("out") + "/videocd.bin");
}
