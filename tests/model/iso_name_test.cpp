#include "model/iso_name.h"

#include <gtest/gtest.h>

TEST(IsoName, ConvertsNamesByTreeMode) {
    struct TCase {
        std::string name;
        bool folder;
        TTreeMode mode;
        std::string expected;
    };
    const std::string longBase(40, 'a');
    const std::string longExt = "x." + std::string(35, 'e');
    const TCase cases[] = {
        {"my.report.final.txt", false, TTreeMode::IsoLevel1, "MYREPORT.TXT"},
        {".hidden", true, TTreeMode::IsoLevel1, "_HIDDEN"},
        {"README", false, TTreeMode::IsoLevel1, "README."},
        {" photo album.jpeg ", false, TTreeMode::IsoLevel1, "PHOTO_AL.JPE"},
        {"my.folder/", true, TTreeMode::IsoLevel1, "MYFOLDER"},
        {"été-2024.mpg", false, TTreeMode::IsoLevel1, "_T__2024.MPG"},
        {"my.report.final.txt", false, TTreeMode::IsoLevel2, "MYREPORTFINAL.TXT"},
        {longBase, true, TTreeMode::IsoLevel2, "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"},
        {longBase + ".txt", false, TTreeMode::IsoLevel2, "AAAAAAAAAAAAAAAAAAAAAAAAAAA.TXT"},
        {longExt, false, TTreeMode::IsoLevel2, "X." + std::string(29, 'E')},
    };
    for (const TCase& c : cases) EXPECT_EQ(IsoName(c.name, c.folder, c.mode), c.expected) << c.name;
}

TEST(IsoName, DiskPathProblems) {
    EXPECT_EQ(DiskPathProblem("/home/u/a,b.mpg", true), "");
    EXPECT_NE(DiskPathProblem("\\\\server\\share\\a.mpg", true).find("Network files"), std::string::npos);
    EXPECT_EQ(DiskPathProblem("\\\\server\\share\\a.mpg", false), "");

    const std::string amp = DiskPathProblem("/m/Tom & Jerry.mpg", false);
    EXPECT_NE(amp.find("\"&&\" in filenames are not allowed"), std::string::npos);
    EXPECT_NE(amp.find("/m/Tom && Jerry.mpg"), std::string::npos);

    // Each offending character once, whole, in order of appearance.
    const std::string special = DiskPathProblem("/m/éaé/ü.mpg", false);
    EXPECT_NE(special.find("Forbidden characters: éü\r"), std::string::npos) << special;
    EXPECT_NE(special.find("In \"/m/éaé/ü.mpg\""), std::string::npos);
}

TEST(IsoName, RecycleFolders) {
    for (const char* name : {"Recycled", "RECYCLER", "$Recycle.Bin", ".Trash-1000"})
        EXPECT_TRUE(IsRecycleFolderName(name));
    for (const char* name : {"Recycling", "Trash", "videos"}) EXPECT_FALSE(IsRecycleFolderName(name));
}
