#include "writers/image_description_rewrite.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/temp_folder.h"

namespace {

const std::string Sheet =
    "FILE \"/home/user/My Videos/disc.bin\" BINARY\n"
    "  TRACK 01 MODE2/2352\n"
    "    FLAGS DCP\n"
    "    INDEX 01 00:00:00\n"
    "  TRACK 02 MODE2/2352\n"
    "    INDEX 00 00:02:00\n"
    "    INDEX 01 00:04:00\n"
    "    INDEX 02 00:09:10\n";

}  // namespace

TEST(RewriteCue, RewritesFileLinesAndDropsDirectivesOfTheMinimalSheet) {
    struct TCase {
        const char* name;
        bool minimal;
        bool bare;
        std::string expected;
    };
    const TCase cases[] = {
        {"detailed, short form (the path itself here)", false, false, Sheet},
        {"detailed, bare name", false, true,
         "FILE \"disc.bin\" BINARY\n"
         "  TRACK 01 MODE2/2352\n"
         "    FLAGS DCP\n"
         "    INDEX 01 00:00:00\n"
         "  TRACK 02 MODE2/2352\n"
         "    INDEX 00 00:02:00\n"
         "    INDEX 01 00:04:00\n"
         "    INDEX 02 00:09:10\n"},
        {"minimal, bare name", true, true,
         "FILE \"disc.bin\" BINARY\n"
         "  TRACK 01 MODE2/2352\n"
         "    INDEX 01 00:00:00\n"
         "  TRACK 02 MODE2/2352\n"
         "    INDEX 00 00:02:00\n"
         "    INDEX 01 00:04:00\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TTempFolder folder;
        const std::string base = folder.File("disc");
        folder.Write("disc.cue", Sheet);
        ASSERT_TRUE(RewriteCue(base, c.minimal, c.bare));
        EXPECT_EQ(ReadWholeFile(base + ".cue"), c.expected);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
    }
}

TEST(RewriteCue, KeepsCrLfLinesAndLowerCaseDirectives) {
    TTempFolder folder;
    folder.Write("disc.cue", "file \"C:\\My Disc\\disc.bin\" BINARY\r\nflags dcp\r\nindex 03 00:00:00\r\n");
    ASSERT_TRUE(RewriteCue(folder.File("disc"), true, true));
    EXPECT_EQ(ReadWholeFile(folder.File("disc.cue")), "file \"disc.bin\" BINARY\r\n");
}

TEST(RewriteCue, FileNameAlreadyBareStaysAsItIs) {
    TTempFolder folder;
    folder.Write("disc.cue", "FILE \"disc.bin\" BINARY\n");
    ASSERT_TRUE(RewriteCue(folder.File("disc"), false, true));
    EXPECT_EQ(ReadWholeFile(folder.File("disc.cue")), "FILE \"disc.bin\" BINARY\n");
}

TEST(RewriteCue, NothingToDoWithoutBaseOrSheet) {
    TTempFolder folder;
    EXPECT_TRUE(RewriteCue("", true, true));
    EXPECT_TRUE(RewriteCue(folder.File("absent"), true, true));
    EXPECT_TRUE(RewriteToc(folder.File("absent")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("absent.cue")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("absent.toc")));
}

TEST(RewriteToc, TurnsBackslashesIntoSlashes) {
    TTempFolder folder;
    folder.Write("disc.toc",
                 "CD_ROM_XA\n\nTRACK MODE2_RAW\nDATAFILE \"C:\\Video CD\\disc_00.img\" 1234\n"
                 "TRACK MODE2_RAW\nPREGAP 0:2:0\n");
    ASSERT_TRUE(RewriteToc(folder.File("disc")));
    EXPECT_EQ(ReadWholeFile(folder.File("disc.toc")),
              "CD_ROM_XA\n\nTRACK MODE2_RAW\nDATAFILE \"C:/Video CD/disc_00.img\" 1234\n"
              "TRACK MODE2_RAW\nPREGAP 0:2:0\n");
}

TEST(StripToastFiles, DeletesTheTocAndPregapImagesOnly) {
    TTempFolder folder;
    for (const char* name : {"disc.toc", "disc_00.img", "disc_01.img", "disc_01_pregap.img", "disc_02_pregap.img",
                             "other_01_pregap.img", "disc_pregap.img"})
        folder.Write(name, "x");
    folder.Write("disc_03_pregap.img/keep", "a folder is not deleted");
    StripToastFiles(folder.File("disc"));
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"disc_00.img", "disc_01.img", "other_01_pregap.img", "disc_pregap.img",
                                           "disc_03_pregap.img"}));
    StripToastFiles(folder.File("disc"));  // missing files are no error
    StripToastFiles("");
}
