// Every command line we build, given to the real cdrdao with a device node
// that does not exist: cdrdao must take every option and stop only at the
// device.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cdrdao/command_cd_disc.h"
#include "cdrdao/command_cd_read.h"
#include "cdrdao/command_cd_write.h"
#include "cdrdao_replay.h"
#include "lib/console_runner.h"
#include "support/scripted_dialogs.h"

namespace {

namespace fs = std::filesystem;

class RealCdrdao : public ::testing::Test {
protected:
    TTempFolder Folder;
    TDetectedTools Saved = DetectedTools();
    TScriptedDialogs Dialogs;
    TServicesScope Scope{nullptr, &Dialogs};
    TCdrDaoSettingsPtr Settings = WriterSettings("/dev/nonexistent-sr9");

    void SetUp() override {
        const std::string cdrdao = FindProgram("cdrdao");
        if (cdrdao.empty()) GTEST_SKIP() << "cdrdao is not installed";
        DetectedTools().CdrdaoFolder = fs::path(cdrdao).parent_path().string() + "/";
        DetectedTools().CdrdaoVersionCode = 3;
        Settings->WriterDriver = " --driver generic-mmc:0x00000040";
        Settings->WriterSpeed = " --speed 0";
        Settings->ReaderDriver = " --driver plextor";
    }
    void TearDown() override { DetectedTools() = Saved; }

    template <typename TCommand>
    void ExpectStopsAtTheDevice(std::shared_ptr<TCdrDaoParam> param, const std::string& what) {
        param->VersionCode = 3;
        TCommandSetup setup;
        setup.Param = param;
        auto command = std::make_unique<TCommand>(std::move(setup), Settings);
        std::string arguments;
        command->GetParameters(arguments);
        const TExecuteStatus status = RunToEnd(*command);
        EXPECT_TRUE(status.IsFailed()) << what << ": " << arguments;
        EXPECT_FALSE(command->FilterState.UsageSeen) << what << ": " << arguments;
        bool setup_failed = false;
        for (const std::string& error : status.ErrorLines) {
            EXPECT_EQ(error.find("Illegal option"), std::string::npos) << what << ": " << error;
            if (error.find("Cannot setup device /dev/nonexistent-sr9") != std::string::npos) setup_failed = true;
        }
        EXPECT_TRUE(setup_failed) << what << ": " << arguments;
    }
};

TEST_F(RealCdrdao, EveryCommandLineReachesTheDevice) {
    for (const bool writer : {true, false}) {
        auto info = std::make_shared<TCdDiskInfo>();
        info->FromWriter = writer;
        ExpectStopsAtTheDevice<TCommandCdDiskInfo>(info, "disk-info");
        auto unlock = std::make_shared<TCdUnlockInfo>();
        unlock->ToWriter = writer;
        ExpectStopsAtTheDevice<TCommandCdUnlock>(unlock, "unlock");
    }
    for (const bool minimal : {true, false}) {
        auto blank = std::make_shared<TCdBlankInfo>();
        blank->Minimal = minimal;
        blank->Eject = !minimal;
        Dialogs.Answer(TModalResult::Yes);
        ExpectStopsAtTheDevice<TCommandCdBlank>(blank, "blank");
    }
    for (const bool raw : {true, false}) {
        auto read = std::make_shared<TCdReadInfo>();
        read->FromWriter = raw;
        read->Sector2336 = !raw;
        read->DataFile = Folder.File("disc.bin");
        read->TocFile = Folder.File("disc.toc");
        ExpectStopsAtTheDevice<TCommandCdRead>(read, "read-cd");
        EXPECT_TRUE(FileNames(Folder.Path()).empty());
    }
    // cdrdao reads the image before it opens the device.
    const fs::path image = Folder.Path() / "image";
    fs::create_directories(image);
    std::ofstream(image / "disc.cue") << "FILE \"disc.bin\" BINARY\n  TRACK 1 MODE2/2352\n    INDEX 1 00:00:00\n";
    std::ofstream(image / "disc.bin") << std::string(2352 * 300, '\0');
    for (const bool all : {true, false}) {
        auto write = std::make_shared<TCdWriteInfo>();
        write->ImagePath = (image / "disc.cue").string();
        write->Simulate = write->Eject = write->Reload = write->Overburn = write->Force = all;
        ExpectStopsAtTheDevice<TCommandCdWrite>(write, "write");
    }
}

}  // namespace
