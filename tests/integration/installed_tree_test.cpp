// The program as `cmake --install` lays it out under a prefix of its own:
// the data it ships (placeholder videos, help pages, language files) is found
// from there, and the placeholders themselves pass the analysis and build.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>

#include "lib/console_runner.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

struct TRun {
    std::uint32_t ExitCode = 0;
    std::vector<std::string> Lines;
    std::string Text() const {
        std::string text;
        for (const std::string& line : Lines) text += line + "\n";
        return text;
    }
};

TRun RunProgram(const std::string& program, const std::string& parameters) {
    TRun run;
    run.ExitCode = CaptureConsoleOutput(program, parameters, &run.Lines, nullptr, true, false, 600000);
    return run;
}

std::string Quoted(const fs::path& path) { return "\"" + path.string() + "\""; }

// Environment variables set for the test and restored afterwards.
class TEnvironmentScope {
public:
    void Set(const char* name, const std::string& value) {
        if (!Saved.contains(name)) {
            const char* old = std::getenv(name);
            Saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        setenv(name, value.c_str(), 1);
    }
    ~TEnvironmentScope() {
        for (const auto& [name, value] : Saved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> Saved;
};

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
        const TRun install =
            RunProgram(LUMORA_CMAKE, "--install " + Quoted(LUMORA_BINARY_DIR) + " --prefix " + Quoted(Prefix));
        ASSERT_EQ(install.ExitCode, 0u) << install.Text();
        Cli = Prefix / "bin" / "lumora-cli";
        ASSERT_TRUE(fs::exists(Cli));
    }

    TRun Installed(const std::string& parameters) const { return RunProgram(Cli.string(), "--yes " + parameters); }

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
                             "Docs/UnknownAspi.htm", "lumora_fr.lng"})
        EXPECT_TRUE(fs::is_regular_file(data / name)) << name;
    // No CD-i application files: those are the user's to add.
    EXPECT_FALSE(fs::exists(data / "Cdi"));
}

// A disc of stills only needs the placeholder motion video: the installed
// program finds it in its installed data folder and builds the disc.
TEST_F(InstalledTree, AStillsOnlyDiscBuildsFromTheInstalledTree) {
    const fs::path still = Sample("still_pal_vcd.mpg");
    const fs::path image = Folder.Path() / "stills.bin";
    const TRun author = Installed("author --type vcd20 --output " + Quoted(image) + " " + Quoted(still));
    ASSERT_EQ(author.ExitCode, 0u) << author.Text();
    EXPECT_GT(fs::file_size(image), 0u);
    EXPECT_TRUE(fs::exists(Folder.Path() / "stills.cue"));
    const std::string xml = ReadWholeFile((Folder.Path() / "stills.xml").string());
    EXPECT_NE(xml.find((Prefix / "share/lumora/Extra/PhotoVCD2-PAL.mpg").lexically_normal().string()),
              std::string::npos)
        << xml;
    const TRun info = RunProgram("vcd-info", "--no-banner --cue-file " + Quoted(Folder.Path() / "stills.cue"));
    EXPECT_EQ(info.ExitCode, 0u) << info.Text();
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
        const TRun author = Installed(std::string("author --type ") + c.Type + " --tv " + c.Tv + " --output " +
                                 Quoted(image) + " " + Quoted(copy));
        EXPECT_EQ(author.ExitCode, 0u) << c.Name << "\n" << author.Text();
        EXPECT_TRUE(fs::exists(image)) << c.Name;
    }
}
