#include "lib/system_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "services/services.h"
#include "support/folders_scope.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

TEST(SystemFolders, RegistryStringsAreTrimmedTextOrEmpty) {
    TTempFolder folder;
    TRegistryStore registry(folder.File("registry.ini"));
    const TRootKeys user = TRootKeys::rkHKEY_CURRENT_USER;
    ASSERT_TRUE(registry.WriteString(user, "Software\\Test", "Folder", "  /data  "));
    ASSERT_TRUE(registry.WriteInteger(user, "Software\\Test", "Number", 3));
    TScriptedDialogs dialogs;
    TServicesScope scope(nullptr, &dialogs);
    EXPECT_EQ(GetRegistryString(registry, user, "HKEY_CURRENT_USER", "Software\\Test", "Folder", false), "/data");
    EXPECT_EQ(GetRegistryString(registry, user, "HKEY_CURRENT_USER", "Software\\Test", "Number", false), "");
    EXPECT_TRUE(dialogs.Asked.empty());
    EXPECT_EQ(GetRegistryString(registry, user, "HKEY_CURRENT_USER", "Software\\None", "Folder", true), "");
    EXPECT_EQ(dialogs.Messages(),
              (std::vector<std::string>{"Will read: HKEY_CURRENT_USER\\Software\\None\\Folder",
                                        "Unable to open HKEY_CURRENT_USER\\Software\\None\\Folder"}));
}

TEST(SystemFolders, DefaultFolderFallsBackToHomeThenCurrent) {
    TTempFolder folder;
    TFoldersScope scope(folder.File("program"), folder.File("config"));
    const std::string existing = folder.Path().string();
    EXPECT_EQ(DefaultFolder(existing), existing + "/");
    EXPECT_EQ(DefaultFolder(existing + "/"), existing + "/");

    const char* savedHome = std::getenv("HOME");
    const std::string home = savedHome ? savedHome : "";
    setenv("HOME", existing.c_str(), 1);
    EXPECT_EQ(GetPersonalFolder(), existing);
    EXPECT_EQ(DefaultFolder(folder.File("gone")), existing + "/");
    setenv("HOME", folder.File("no-home").c_str(), 1);
    EXPECT_EQ(DefaultFolder(""), std::filesystem::current_path().string() + "/");
    setenv("HOME", home.c_str(), 1);

    EXPECT_EQ(GetProgramFilesFolder(), "");
    EXPECT_EQ(GetSystemFolder(), "");
}
