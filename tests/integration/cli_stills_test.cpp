// lumora-cli stills and pictures given to lumora-cli author, with the real
// mjpegtools and VCDImager tools checking what was made.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "integration/cli_run.h"
#include "stills/mjpeg_command.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

class CliStills : public TCliTest {
protected:
    // A photo-like picture made by ffmpeg (a test pattern), under any name.
    fs::path Picture(const std::string& name, const std::string& size = "1024x768") {
        const fs::path plain = Folder.Path() / ("pattern" + fs::path(name).extension().string());
        const TProgramRun made = RunProgramFor("ffmpeg", "-loglevel error -y -f lavfi -i testsrc=size=" + size +
                                                   " -frames:v 1 -update 1 " + QuotedPath(plain));
        EXPECT_EQ(made.ExitCode, 0u) << made.Text();
        const fs::path path = Folder.Path() / name;
        fs::rename(plain, path);
        return path;
    }

    static std::string StreamsOf(const fs::path& still) {
        const TProgramRun info = RunProgramFor("vcdxminfo", "-i " + ShellWord(still.string()));
        std::string streams;
        for (const std::string& line : info.Lines)
            if (line.find("still picture stream") != std::string::npos || line.find("-size>") != std::string::npos)
                streams += line + "\n";
        return streams;
    }
};

TEST_F(CliStills, AFolderOfPicturesBecomesStills) {
    const fs::path odd = Picture("a\";touch X;\"b $HOME `id`.jpg");
    const fs::path png = Picture("photo.png", "640x480");
    std::ofstream(Folder.Path() / "notes.txt") << "not a picture\n";
    const fs::path out = Folder.Path() / "out";
    fs::create_directory(out);
    const TProgramRun run =
        Cli("stills --type svcd --tv ntsc --filter lanczos --anti-flicker 0.5 --background 336699 "
            "--jobs 2 --output-folder " +
            QuotedPath(out) + " " + QuotedPath(Folder.Path()));
    ASSERT_EQ(run.ExitCode, 0u) << run.Text();
    const fs::path oddStill = out / (odd.stem().string() + ".mpg");
    EXPECT_NE(run.Text().find("still: " + oddStill.string()), std::string::npos) << run.Text();
    EXPECT_NE(run.Text().find("Number of pictures: 2"), std::string::npos) << run.Text();
    for (const fs::path& still : {oddStill, out / "photo.mpg"}) {
        const std::string streams = StreamsOf(still);
        EXPECT_NE(streams.find("<horizontal-size>480<"), std::string::npos) << still << "\n" << streams;
        EXPECT_NE(streams.find("<vertical-size>480<"), std::string::npos) << still << "\n" << streams;
    }
    EXPECT_FALSE(fs::exists(Folder.Path() / "X"));
    EXPECT_FALSE(fs::exists("X"));

    // Made again, answered no: the stills stay as they were and the run fails.
    const std::string before = ReadWholeFile((out / "photo.mpg").string());
    const TProgramRun refused =
        RunProgramFor(CliPath, "--no stills --type vcd --output-folder " + QuotedPath(out) + " " + QuotedPath(png));
    EXPECT_EQ(refused.ExitCode, 1u) << refused.Text();
    EXPECT_TRUE(ReadWholeFile((out / "photo.mpg").string()) == before);
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 2);
}

TEST_F(CliStills, BadOptionsAndFoldersAreRefused) {
    const fs::path png = Picture("photo.png", "320x240");
    EXPECT_EQ(Cli("stills --background red " + QuotedPath(png)).ExitCode, 2u);
    EXPECT_EQ(Cli("stills --quality 101 " + QuotedPath(png)).ExitCode, 2u);
    const TProgramRun missing = Cli("stills --output-folder " + QuotedPath(Folder.Path() / "nowhere") + " " + QuotedPath(png));
    EXPECT_NE(missing.ExitCode, 0u);
    EXPECT_NE(missing.Text().find("does not exist"), std::string::npos) << missing.Text();
    const TProgramRun none = Cli("stills " + QuotedPath(Folder.Path() / "nothing.txt"));
    EXPECT_EQ(none.ExitCode, 1u) << none.Text();
}

TEST_F(CliStills, PicturesAuthoredWithMotionVideosMakeDiscsTheToolsRead) {
    UsePortableCli("[Lumora]\r\nSvcdUpdateScanData=0\r\n");
    const fs::path photo = Picture("holiday photo.jpg");
    struct TCase {
        const char* Name;
        const char* Options;
        const char* Motion;
        const char* Still;
        const char* Detected;
    };
    const TCase cases[] = {
        {"dual", "--type vcd20", "pal_vcd_8s_1.mpg", "holiday photo.vcd-pal.mpg", "VCD 2.0 detected"},
        {"svcd", "--type svcd", "pal_svcd_8s.mpg", "holiday photo.svcd-pal.mpg", "SVCD detected"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const fs::path image = Folder.Path() / (std::string(c.Name) + ".bin");
        const std::string files = " " + QuotedPath(Sample(c.Motion)) + " " + QuotedPath(photo);
        const TProgramRun author = Cli("author " + std::string(c.Options) + " --output " + QuotedPath(image) + files);
        ASSERT_EQ(author.ExitCode, 0u) << author.Text();
        const fs::path still = Folder.Path() / c.Still;
        ASSERT_TRUE(fs::exists(still)) << author.Text();
        const TProgramRun info =
            RunProgramFor("vcd-info", "--no-banner --cue-file " + QuotedPath(fs::path(image).replace_extension(".cue")));
        EXPECT_EQ(info.ExitCode, 0u) << info.Text();
        EXPECT_NE(info.Text().find(c.Detected), std::string::npos) << info.Text();
        EXPECT_NE(info.Text().find("segment"), std::string::npos) << info.Text();

        // Again: the still is newer than its picture and is used as it is.
        const auto made = fs::last_write_time(still);
        const TProgramRun again = Cli("author " + std::string(c.Options) + " --output " + QuotedPath(image) + files);
        ASSERT_EQ(again.ExitCode, 0u) << again.Text();
        EXPECT_NE(again.Text().find("is up to date"), std::string::npos) << again.Text();
        EXPECT_EQ(fs::last_write_time(still), made);
    }
    const std::string dual = StreamsOf(Folder.Path() / "holiday photo.vcd-pal.mpg");
    EXPECT_NE(dual.find("secondary still picture stream"), std::string::npos) << dual;
}

}  // namespace
