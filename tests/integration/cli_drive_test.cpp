// "lumora-cli drive ..." against nodes that are no CD drive: the real SG_IO
// answers, the messages and exit codes a script sees.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "lib/console_runner.h"
#include "lib/text.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

struct TDriveRun {
    std::uint32_t ExitCode = 0;
    std::string Text;
};

class CliDrive : public ::testing::Test {
protected:
    TTempFolder Folder;
    fs::path Program = Folder.Path() / "portable";

    // A portable copy whose own settings file names the stored writer (or none).
    CliDrive() {
        fs::create_directories(Program);
        fs::copy_file(LUMORA_CLI, Program / "lumora-cli");
        StoredWriter("");
    }

    void StoredWriter(const std::string& entry) const {
        std::ofstream(Program / "Lumora.ini") << "[Lumora]\r\nCdWriterDevice=" << entry << "\r\n";
    }

    TDriveRun Cli(const std::string& parameters) const {
        TStringList lines;
        TDriveRun run;
        run.ExitCode =
            CaptureConsoleOutput((Program / "lumora-cli").string(), parameters, &lines, nullptr, true, false, 60000);
        run.Text = JoinLines(lines, "\n");
        return run;
    }
};

}  // namespace

TEST_F(CliDrive, EveryActionOnANodeThatIsNoDriveFailsWithTheKernelsReason) {
    const std::string missing = (Folder.Path() / "sr7").string();
    for (const char* action : {"eject", "load", "lock", "unlock", "spin-up", "spin-down", "info"}) {
        SCOPED_TRACE(action);
        const TDriveRun invalid = Cli(std::string("drive ") + action + " --device /dev/null");
        EXPECT_EQ(invalid.ExitCode, 1u);
        EXPECT_NE(invalid.Text.find("/dev/null: invalid device (Err_InvalidDevice)."), std::string::npos)
            << invalid.Text;
        const TDriveRun none = Cli(std::string("drive ") + action + " --device " + missing);
        EXPECT_EQ(none.ExitCode, 1u);
        EXPECT_NE(none.Text.find(missing + ": no device (Err_NoDevice)."), std::string::npos) << none.Text;
    }
    EXPECT_NE(Cli("drive eject --device /dev/null").Text.find("error: Cannot open the tray of /dev/null"),
              std::string::npos);
}

TEST_F(CliDrive, WithoutADeviceTheStoredWriterIsUsedAndWithoutOneTheUserIsTold) {
    const TDriveRun unset = Cli("drive eject");
    EXPECT_EQ(unset.ExitCode, 2u);
    EXPECT_NE(unset.Text.find("No CD writer is stored in the settings: name the drive with --device."),
              std::string::npos)
        << unset.Text;

    const std::string missing = (Folder.Path() / "sr3").string();
    StoredWriter(missing + " : HL-DT-ST, DVDRAM GH24NSD1, LG00");
    const TDriveRun stored = Cli("drive info");
    EXPECT_EQ(stored.ExitCode, 1u);
    EXPECT_NE(stored.Text.find("Cannot identify " + missing + ": no device"), std::string::npos) << stored.Text;
}

TEST_F(CliDrive, AnUnknownActionIsAUsageError) {
    const TDriveRun run = Cli("drive fly --device /dev/null");
    EXPECT_EQ(run.ExitCode, 2u);
}

TEST_F(CliDrive, TheReportNamesTheLayerAndEndsWell) {
    const TDriveRun run = Cli("drive report");
    EXPECT_EQ(run.ExitCode, 0u) << run.Text;
    EXPECT_NE(run.Text.find("SCSI layer:\tLinux SG_IO"), std::string::npos) << run.Text;
    EXPECT_NE(run.Text.find("Group cdrom:"), std::string::npos);
}
