// A project file reopened by lumora-cli, as the real analysis restores it:
// what only the project keeps reaches the disc's description.
#include <gtest/gtest.h>

#include <filesystem>

#include "model/mpeg_file.h"
#include "support/program_run.h"
#include "support/temp_folder.h"
#include "writers/project_file.h"

namespace fs = std::filesystem;

// A file's first numeric key moves the automatic keys of its selections: a
// reopened project gives the disc the same keys as the one that was saved.
TEST(ProjectReopen, AFilesFirstNumericKeyReachesTheDisc) {
    TTempFolder folder;
    const fs::path film = folder.Path() / "film.mpg";
    fs::copy_file(FixturesFolder() / "pal_vcd_8s_1.mpg", film);
    const TMpegFile analysedLater(film.string(), true);

    TVideoCdDescription d;
    d.UsePBC = true;
    d.Options.XmlOnly = false;
    TDescriptionFile file;
    file.FullPath = film.string();
    file.Crc = analysedLater.Crc();
    file.Size = analysedLater.Size();
    file.FirstNumericKey = 3;
    TDescriptionEntry start;
    start.Selection.NumericMode = TNumericMode::Automatic;
    start.Selection.Return = {{TPbcTargetKind::End, -1}, true};
    file.Entries.push_back(start);
    d.Files.push_back(file);
    const fs::path project = folder.Path() / "keys.dsv";
    ASSERT_TRUE(SaveProjectFile(project.string(), d, false));

    const fs::path image = folder.Path() / "keys.bin";
    const TProgramRun build =
        RunProgramFor(LUMORA_CLI, "--yes build " + QuotedPath(project) + " --output " + QuotedPath(image));
    ASSERT_EQ(build.ExitCode, 0u) << build.Text();
    const std::string xml = ReadWholeFile((folder.Path() / "keys.xml").string());
    EXPECT_NE(xml.find("<bsn>3</bsn>"), std::string::npos) << xml;
}
