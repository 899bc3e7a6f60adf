// The program as `cmake --install` lays it out under a prefix of its own:
// the data it ships (placeholder videos, help pages, language files) is found
// from there, and the placeholders themselves pass the analysis and build.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/program_run.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

class InstalledTree : public ::testing::Test {
protected:
    TTempFolder Folder;
    TEnvironmentScope Environment;
    fs::path Prefix;
    fs::path Cli;

    void SetUp() override {
        // Nothing of the user's own data folder or settings may help.
        Environment.Set("XDG_DATA_HOME", Folder.File("user-data"));
        Environment.Set("XDG_CONFIG_HOME", Folder.File("user-config"));
        Prefix = Folder.Path() / "prefix";
        const TProgramRun install = RunProgramFor(
            LUMORA_CMAKE, "--install " + QuotedPath(LUMORA_BINARY_DIR) + " --prefix " + QuotedPath(Prefix));
        ASSERT_EQ(install.ExitCode, 0u) << install.Text();
        Cli = Prefix / "bin" / "lumora-cli";
        ASSERT_TRUE(fs::exists(Cli));
    }

    TProgramRun Installed(const std::string& parameters) const {
        return RunProgramFor(Cli.string(), "--yes " + parameters);
    }

    static void WriteFile(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

    fs::path Sample(const std::string& name) {
        const fs::path target = Folder.Path() / name;
        if (!fs::exists(target)) fs::copy_file(FixturesFolder() / name, target);
        return target;
    }
};

}  // namespace

TEST_F(InstalledTree, ShipsTheDataItLooksFor) {
    const fs::path data = Prefix / "share" / "lumora";
    for (const char* name : {"Extra/PhotoVCD2-PAL.mpg", "Extra/PhotoVCD2-NTSC.mpg", "Extra/PhotoSVCD-PAL.mpg",
                             "Extra/PhotoSVCD-NTSC.mpg", "Docs/Cut.htm", "Docs/Cut_fr.htm", "Docs/WinAspi.htm",
                             "Docs/WinAspi_fr.htm", "Docs/UnknownAspi.htm", "Docs/UnknownAspi_fr.htm", "lumora_fr.lng"})
        EXPECT_TRUE(fs::is_regular_file(data / name)) << name;
    // No CD-i application files: those are the user's to add.
    EXPECT_FALSE(fs::exists(data / "Cdi"));
}

// A disc of stills only needs the placeholder motion video: the installed
// program finds it in its installed data folder and builds the disc.
TEST_F(InstalledTree, AStillsOnlyDiscBuildsFromTheInstalledTree) {
    // Plain project files, to read what they name.
    WriteFile(Prefix / "bin" / "Lumora.ini", "[Lumora]\nEncryptFiles=0\n");
    const fs::path still = Sample("still_pal_vcd.mpg");
    const fs::path image = Folder.Path() / "stills.bin";
    const fs::path project = Folder.Path() / "stills.dsv";
    const TProgramRun author = Installed("author --type vcd20 --save " + QuotedPath(project) + " --output " +
                                         QuotedPath(image) + " " + QuotedPath(still));
    ASSERT_EQ(author.ExitCode, 0u) << author.Text();
    EXPECT_GT(fs::file_size(image), 0u);
    EXPECT_TRUE(fs::exists(Folder.Path() / "stills.cue"));
    const std::string xml = ReadWholeFile((Folder.Path() / "stills.xml").string());
    EXPECT_NE(xml.find((Prefix / "share/lumora/Extra/PhotoVCD2-PAL.mpg").lexically_normal().string()),
              std::string::npos)
        << xml;
    const TProgramRun info =
        RunProgramFor("vcd-info", "--no-banner --cue-file " + QuotedPath(Folder.Path() / "stills.cue"));
    EXPECT_EQ(info.ExitCode, 0u) << info.Text();

    // The project names the still only; the placeholder is found again when
    // it is built, and the same disc comes out.
    const std::string saved = ReadWholeFile(project.string());
    EXPECT_EQ(saved.find("PhotoVCD2"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<option name=\"only segments\" value=\"false\"/>"), std::string::npos) << saved;
    const fs::path rebuilt = Folder.Path() / "rebuilt.bin";
    const TProgramRun build = Installed("build " + QuotedPath(project) + " --output " + QuotedPath(rebuilt));
    ASSERT_EQ(build.ExitCode, 0u) << build.Text();
    EXPECT_TRUE(ReadWholeFile(rebuilt.string()) == ReadWholeFile(image.string()));
}

// Each placeholder is a disc of its own kind: our analysis and compliance
// checks accept it and vcdxbuild builds it.
TEST_F(InstalledTree, ThePlaceholdersAreCompliantMotionVideos) {
    struct Case {
        const char* Name;
        const char* Type;
        const char* Tv;
    };
    const Case cases[] = {
        {"PhotoVCD2-PAL.mpg", "vcd20", "pal"},
        {"PhotoVCD2-NTSC.mpg", "vcd20", "ntsc"},
        {"PhotoSVCD-PAL.mpg", "svcd", "pal"},
        {"PhotoSVCD-NTSC.mpg", "svcd", "ntsc"},
    };
    for (const Case& c : cases) {
        const fs::path source = Prefix / "share/lumora/Extra" / c.Name;
        const fs::path copy = Folder.Path() / c.Name;
        fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
        const fs::path image = Folder.Path() / (std::string(c.Name) + ".bin");
        const TProgramRun author = Installed(std::string("author --type ") + c.Type + " --tv " + c.Tv + " --output " +
                                             QuotedPath(image) + " " + QuotedPath(copy));
        EXPECT_EQ(author.ExitCode, 0u) << c.Name << "\n" << author.Text();
        EXPECT_TRUE(fs::exists(image)) << c.Name;
    }
}
