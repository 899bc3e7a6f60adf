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

TEST(IsoName, ShortenedNamesAndTheirNumberedEndings) {
    struct TCase {
        std::string name;
        bool folder;
        TTreeMode mode;
        bool shortened;
        std::string first;  // with the ending 1
        std::string tenth;  // with the ending 10
    };
    const TCase cases[] = {
        {"holiday photos 1.txt", false, TTreeMode::IsoLevel1, true, "HOLIDA_1.TXT", "HOLID_10.TXT"},
        {"notes.txt", false, TTreeMode::IsoLevel1, false, "NOTES_1.TXT", "NOTES_10.TXT"},
        {"Readme", false, TTreeMode::IsoLevel1, false, "README_1.", "READM_10."},
        {"my.report.final.txt", false, TTreeMode::IsoLevel1, true, "MYREPO_1.TXT", "MYREP_10.TXT"},
        {"photo album.jpeg", false, TTreeMode::IsoLevel1, true, "PHOTO__1.JPE", "PHOTO_10.JPE"},
        {"holiday 2019", true, TTreeMode::IsoLevel1, true, "HOLIDA_1", "HOLID_10"},
        {"Docs", true, TTreeMode::IsoLevel1, false, "DOCS_1", "DOCS_10"},
        {std::string(40, 'a') + ".txt", false, TTreeMode::IsoLevel2, true, std::string(25, 'A') + "_1.TXT",
         std::string(24, 'A') + "_10.TXT"},
    };
    for (const TCase& c : cases) {
        const std::string iso = IsoName(c.name, c.folder, c.mode);
        EXPECT_EQ(IsoNameIsShortened(c.name, iso, c.folder), c.shortened) << c.name;
        EXPECT_EQ(NumberedIsoName(iso, c.folder, c.mode, 1), c.first) << c.name;
        EXPECT_EQ(NumberedIsoName(iso, c.folder, c.mode, 10), c.tenth) << c.name;
        // A numbered name is a valid ISO name of the mode: converting it keeps it.
        EXPECT_EQ(IsoName(c.first, c.folder, c.mode), c.first) << c.name;
    }
    // No room left for an ending: no numbered name.
    EXPECT_EQ(NumberedIsoName("AB.TXT", false, TTreeMode::IsoLevel1, 1234567), "");
}
