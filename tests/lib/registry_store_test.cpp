#include "lib/registry_store.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace {
constexpr TRootKeys User = TRootKeys::rkHKEY_CURRENT_USER;
constexpr const char* Key = "Software\\Quillon\\Lumora\\1.1.6";
}  // namespace

TEST(RegistryStore, TypedValuesRoundTripUnderTheirKey) {
    TTempFolder folder;
    TRegistryStore registry(folder.File("sub/registry.ini"));
    EXPECT_FALSE(registry.KeyExists(User, Key));
    ASSERT_TRUE(registry.WriteInteger(User, Key, "PerformCheck", -7));
    ASSERT_TRUE(registry.WriteString(User, Key, "Text", " two words "));
    ASSERT_TRUE(registry.WriteBinaryDouble(User, Key, "LastVersionCheckDate", 46000.75));
    EXPECT_TRUE(registry.KeyExists(User, "software\\QUILLON\\lumora\\1.1.6\\"));

    const TRegistryStore reread(folder.File("sub/registry.ini"));
    EXPECT_EQ(reread.ReadInteger(User, Key, "performcheck"), -7);
    EXPECT_EQ(reread.ReadString(User, Key, "Text"), " two words ");
    EXPECT_EQ(reread.ReadBinaryDouble(User, Key, "LastVersionCheckDate"), 46000.75);
    // A value of another type reads as nothing.
    EXPECT_FALSE(reread.ReadString(User, Key, "PerformCheck"));
    EXPECT_FALSE(reread.ReadInteger(User, Key, "Text"));
    EXPECT_FALSE(reread.ReadBinaryDouble(User, Key, "PerformCheck"));
    // Other roots are other keys.
    EXPECT_FALSE(reread.ReadInteger(TRootKeys::rkHKEY_USERS, Key, "PerformCheck"));
}

TEST(RegistryStore, LocalMachineHoldsNothing) {
    TTempFolder folder;
    TRegistryStore registry(folder.File("registry.ini"));
    EXPECT_FALSE(registry.WriteString(TRootKeys::rkHKEY_LOCAL_MACHINE, "Software", "ProgramFilesDir", "/opt"));
    folder.Write("registry.ini", "[HKEY_LOCAL_MACHINE\\Software]\nProgramFilesDir=sz:/opt\n");
    EXPECT_FALSE(registry.ReadString(TRootKeys::rkHKEY_LOCAL_MACHINE, "Software", "ProgramFilesDir"));
}

TEST(RegistryStore, GarbageReadsAsNothingAndDeletingTakesSubKeys) {
    TTempFolder folder;
    const std::string path = folder.Write("registry.ini",
                                          "[HKEY_CURRENT_USER\\A]\n"
                                          "Short=hex:0011\n"
                                          "Bad=hex:zz00000000000000\n"
                                          "Big=dword:99999999999\n"
                                          "Junk=\x01\x02\xff\n"
                                          "[HKEY_CURRENT_USER\\A\\B]\n"
                                          "X=dword:1\n"
                                          "[HKEY_CURRENT_USER\\AB]\n"
                                          "Y=dword:2\n");
    TRegistryStore registry(path);
    EXPECT_FALSE(registry.ReadBinaryDouble(User, "A", "Short"));
    EXPECT_FALSE(registry.ReadBinaryDouble(User, "A", "Bad"));
    EXPECT_FALSE(registry.ReadInteger(User, "A", "Big"));
    EXPECT_FALSE(registry.ReadString(User, "A", "Junk"));
    ASSERT_TRUE(registry.DeleteKey(User, "A"));
    EXPECT_FALSE(registry.KeyExists(User, "A"));
    EXPECT_FALSE(registry.KeyExists(User, "A\\B"));
    EXPECT_EQ(registry.ReadInteger(User, "AB", "Y"), 2);
}

TEST(RegistryStore, KeyPathsJoinWithoutStrayDelimiters) {
    EXPECT_EQ(JoinKeyPath("Software\\Quillon", "Lumora\\1.1.6"), "Software\\Quillon\\Lumora\\1.1.6");
    EXPECT_EQ(JoinKeyPath("", "\\Lumora\\"), "Lumora");
    EXPECT_EQ(JoinKeyPath("Software\\", " "), "Software");
}
