#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/folders.h"
#include "support/folders_scope.h"
#include "support/temp_folder.h"

TEST(PlatformFolders, ShippedFilesAreFoundInTheProgramFolderFirst) {
    TTempFolder program;
    TFoldersScope scope(program.Path().string(), program.File("config"));
    EXPECT_EQ(ShippedFolders().front(), program.Path().string());
    EXPECT_EQ(FindShippedFile("Docs/Missing.htm"), "");
    const std::string page = program.Write("Docs/Page.htm", "x");
    EXPECT_EQ(FindShippedFile("Docs/Page.htm"), page);
}

// The program folder, then the user's data folder, then the installed one:
// a file the user adds is found without touching the installation.
TEST(PlatformFolders, ShippedFilesAreLookedUpInThreeFoldersInOrder) {
    TTempFolder program;
    TTempFolder user;
    TTempFolder installed;
    TFoldersScope scope(program.Path().string(), program.File("config"), installed.Path().string());
    SetUserDataFolderOverride(user.Path().string());
    EXPECT_EQ(ShippedFolders(),
              (TStringList{program.Path().string(), user.Path().string(), installed.Path().string()}));
    const std::string fromInstalled = installed.Write("Docs/Cut.htm", "installed");
    EXPECT_EQ(FindShippedFile("Docs/Cut.htm"), fromInstalled);
    const std::string fromUser = user.Write("Docs/Cut.htm", "user");
    EXPECT_EQ(FindShippedFile("Docs/Cut.htm"), fromUser);
    const std::string fromProgram = program.Write("Docs/Cut.htm", "program");
    EXPECT_EQ(FindShippedFile("Docs/Cut.htm"), fromProgram);
    // The same folder twice is searched once.
    SetUserDataFolderOverride(program.Path().string() + "/");
    EXPECT_EQ(ShippedFolders(), (TStringList{program.Path().string(), installed.Path().string()}));
}

TEST(PlatformFolders, TheUserDataFolderFollowsXdgDataHome) {
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string previous = saved ? saved : "";
    SetUserDataFolderOverride("");
    setenv("XDG_DATA_HOME", "/somewhere/data/", 1);
    EXPECT_EQ(UserDataFolder(), "/somewhere/data/lumora");
    setenv("XDG_DATA_HOME", "relative", 1);  // invalid: ignored
    EXPECT_EQ(UserDataFolder(), HomeFolder() + "/.local/share/lumora");
    if (saved)
        setenv("XDG_DATA_HOME", previous.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

TEST(PlatformFolders, TheIniFileStaysWhereItAlreadyIs) {
    TTempFolder program;
    TFoldersScope scope(program.Path().string() + "/", program.File("config"));
    EXPECT_EQ(ProgramFolder(), program.Path().string());
    program.Write("Lumora.ini", "[Lumora]\n");
    EXPECT_EQ(IniFilePath("Lumora.ini"), program.File("Lumora.ini"));
    EXPECT_EQ(RegistryFilePath(), program.File("config") + "/registry.ini");
}

TEST(PlatformFolders, DelimitersAndExistence) {
    TTempFolder folder;
    const std::string file = folder.Write("a.txt", "x");
    EXPECT_TRUE(FolderExists(folder.Path().string()));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(folder.Path().string()));
    EXPECT_FALSE(FileExists(""));
    EXPECT_EQ(IncludeTrailingDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingDelimiter("/a/"), "/a/");
}
