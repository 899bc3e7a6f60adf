#include <gtest/gtest.h>

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
