#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cdrdao/command_cd_disc.h"
#include "cdrdao/command_cd_read.h"
#include "cdrdao/command_cd_write.h"
#include "cdrdao_replay.h"
#include "exec/status_lines.h"
#include "support/scripted_dialogs.h"

namespace {

namespace fs = std::filesystem;

using TArgs = std::vector<std::string>;

class CdrdaoCommands : public ::testing::Test {
protected:
    TCdrdaoReplay Replay;
    TScriptedDialogs Dialogs;
    TServicesScope Scope{nullptr, &Dialogs};
    TStringList Output;
    TCdrDaoSettingsPtr Settings = WriterSettings();

    template <typename TCommand, typename TParam>
    std::unique_ptr<TCommand> Make(std::shared_ptr<TParam> param) {
        param->VersionCode = 3;
        TCommandSetup setup;
        setup.Param = param;
        setup.Title = "CDRDAO";
        setup.OnOutput = [this](TCommandInterface&, const std::string& line) { Output.push_back(line); };
        return std::make_unique<TCommand>(std::move(setup), Settings);
    }

    bool Shown(const std::string& text) const {
        for (const std::string& line : Output)
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
    TStringList Progress() const {
        TStringList progress;
        for (const std::string& line : Output)
            if (IsElement(line, "guiprogress"))
                progress.push_back(AttributeValue(line, "message") + "|" + AttributeValue(line, "position"));
        return progress;
    }

    // A CUE image with its BIN in a folder of its own.
    std::string Image(const std::string& folder = "image") const {
        const fs::path dir = Replay.Root.Path() / folder;
        fs::create_directories(dir);
        std::ofstream(dir / "disc.cue") << "FILE \"disc.bin\" BINARY\n  TRACK 1 MODE2/2352\n    INDEX 1 00:00:00\n";
        std::ofstream(dir / "disc.bin") << std::string(2352 * 4, '\0');
        std::ofstream(dir / "disc.xml") << "<videocd/>";
        return (dir / "disc.cue").string();
    }

    std::shared_ptr<TCdWriteInfo> WriteInfo(const std::string& image, bool simulate) const {
        auto info = std::make_shared<TCdWriteInfo>();
        info->ImagePath = image;
        info->Simulate = simulate;
        info->Eject = false;
        return info;
    }
};

TEST_F(CdrdaoCommands, ScanFindsDevicesByNode) {
    struct TCase {
        std::string Transcript;
        TStringList Devices;
    };
    const std::vector<TCase> cases = {
        {"scan_one", {"/dev/sr0: HL-DT-ST, DVDRAM GH24NSD1, LG00"}},
        {"scan_two", {"/dev/sr0: HL-DT-ST, DVDRAM GH24NSD1, LG00", "/dev/sr1: PLEXTOR, DVDR PX-716A, 1.11"}},
        {"scan_none", {}},
    };
    for (const TCase& c : cases) {
        Replay.Play(c.Transcript);
        auto info = std::make_shared<TCdScanInfo>();
        auto command = Make<TCommandCdScan>(info);
        EXPECT_TRUE(RunToEnd(*command).IsSucceeded()) << c.Transcript;
        EXPECT_EQ(info->Devices, c.Devices) << c.Transcript;
        EXPECT_EQ(Replay.Calls().back().Arguments, TArgs{"scanbus"});
    }
    EXPECT_FALSE(Shown("Andreas Mueller"));
}

TEST_F(CdrdaoCommands, DiscInformation) {
    struct TCase {
        std::string Transcript;
        bool CdRwKnown, CdRw, EmptyKnown, Empty;
    };
    const std::vector<TCase> cases = {
        {"info_empty_cdr", true, false, true, true}, {"info_written_cdr", true, false, true, false},
        {"info_empty_cdrw", true, true, true, true}, {"info_written_cdrw", true, true, true, false},
        {"info_na", false, false, false, false},
    };
    for (const TCase& c : cases) {
        Replay.Play(c.Transcript);
        auto info = std::make_shared<TCdDiskInfo>();
        auto command = Make<TCommandCdDiskInfo>(info);
        EXPECT_TRUE(RunToEnd(*command).IsSucceeded()) << c.Transcript;
        EXPECT_EQ(info->CdRwKnown, c.CdRwKnown) << c.Transcript;
        EXPECT_EQ(info->CdRw, c.CdRw) << c.Transcript;
        EXPECT_EQ(info->EmptyKnown, c.EmptyKnown) << c.Transcript;
        EXPECT_EQ(info->Empty, c.Empty) << c.Transcript;
        EXPECT_FALSE(info->NoDisc);
        const TReplayCall call = Replay.Calls().back();
        EXPECT_EQ(call.Arguments, (TArgs{"disk-info", "-v", "2", "--device", "/dev/sr0", "--driver", "generic-mmc"}));
        EXPECT_EQ(fs::path(call.WorkingFolder), fs::path(DetectedTools().CdrdaoFolder).parent_path());
    }
    EXPECT_TRUE(Shown("CD empty: NO"));
    EXPECT_TRUE(Shown("CD-RW: YES"));
    EXPECT_FALSE(Shown("That data below may not reflect the real status of the inserted medium\n"));
}

TEST_F(CdrdaoCommands, NoDiscFailsAndEjectsOnlyAfterGivingUpWhenAsked) {
    for (const bool ask : {false, true}) {
        Replay.Play("no_disc");
        int ejects = 0;
        Settings->EjectWhenNoDisc = ask;
        Settings->EjectWriter = [&] { ++ejects; };
        auto info = std::make_shared<TCdDiskInfo>();
        auto command = Make<TCommandCdDiskInfo>(info);
        EXPECT_TRUE(RunToEnd(*command).IsFailed());
        EXPECT_TRUE(info->NoDisc);
        EXPECT_EQ(command->FilterState.NotReadyCount, 3);
        EXPECT_EQ(ejects, ask ? 1 : 0);
        EXPECT_TRUE(Shown("ERROR: A CD is required"));
    }
}

TEST_F(CdrdaoCommands, DeviceBusyAndNoPermissionFailWithCdrdaosReason) {
    for (const std::string transcript : {"device_busy", "no_permission"}) {
        Replay.Play(transcript);
        auto command = Make<TCommandCdUnlock>(std::make_shared<TCdUnlockInfo>());
        const TExecuteStatus status = RunToEnd(*command);
        EXPECT_TRUE(status.IsFailed()) << transcript;
        ASSERT_FALSE(status.ErrorLines.empty());
        EXPECT_NE(status.ErrorLines.front().find(transcript == "device_busy" ? "Device or resource busy"
                                                                             : "Permission denied"),
                  std::string::npos);
        EXPECT_TRUE(Shown("ERROR: Cannot setup device /dev/sr0."));
    }
}

TEST_F(CdrdaoCommands, Unlock) {
    Replay.Play("unlock");
    auto info = std::make_shared<TCdUnlockInfo>();
    info->ToWriter = false;
    Settings->ReaderDevice = " --device /dev/sr1";
    Settings->ReaderDriver = " --driver plextor";
    auto command = Make<TCommandCdUnlock>(info);
    const TExecuteStatus status = RunToEnd(*command);
    EXPECT_TRUE(status.IsSucceeded());
    EXPECT_EQ(status.SuccessLines, TStringList{"Drive unlocked"});
    EXPECT_EQ(Replay.Calls().back().Arguments,
              (TArgs{"unlock", "-v", "2", "--device", "/dev/sr1", "--driver", "plextor"}));
}

TEST_F(CdrdaoCommands, BlankAsksAndRefusesAsTheDiscRequires) {
    // A written CD-RW: asked, answered yes, blanked; the record then says empty.
    Replay.Play("blank_ok");
    auto disc = std::make_shared<TCdDiskInfo>();
    disc->CdRw = disc->CdRwKnown = disc->EmptyKnown = true;
    auto blank = std::make_shared<TCdBlankInfo>();
    blank->DiskInfo = disc;
    Dialogs.Answer(TModalResult::Yes);
    auto command = Make<TCommandCdBlank>(blank);
    EXPECT_TRUE(RunToEnd(*command).IsSucceeded());
    EXPECT_TRUE(disc->Empty);
    EXPECT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Replay.Calls().back().Arguments,
              (TArgs{"blank", "-v", "2", "--device", "/dev/sr0", "--speed", "4", "--driver", "generic-mmc", "--reload",
                     "--blank-mode", "minimal"}));

    // Full blanking has to be named: minimal is cdrdao's default.
    Replay.Play("blank_failed");
    blank->Minimal = false;
    command = Make<TCommandCdBlank>(blank);
    EXPECT_TRUE(RunToEnd(*command).IsFailed());
    EXPECT_EQ(Replay.Calls().back().Arguments.back(), "full");

    // A CD-R is refused before cdrdao starts; a declined question starts nothing.
    const std::size_t runs = Replay.Calls().size();
    disc->CdRw = false;
    command = Make<TCommandCdBlank>(blank);
    EXPECT_TRUE(RunToEnd(*command).IsFailed());
    EXPECT_TRUE(Shown("ERROR: A CD-RW is required"));
    blank->DiskInfo = nullptr;
    Dialogs.Answer(TModalResult::No);
    command = Make<TCommandCdBlank>(blank);
    RunToEnd(*command);
    EXPECT_FALSE(command->Status.IsSucceeded());
    EXPECT_EQ(Replay.Calls().size(), runs);
}

TEST_F(CdrdaoCommands, WriteRunsInTheImageFolder) {
    struct TCase {
        std::string Transcript;
        bool Simulate;
        bool Succeeds;
        std::string Shown;
    };
    const std::vector<TCase> cases = {
        {"write_ok", false, true, "Writing finished successfully."},
        {"write_simulate", true, true, "Simulation finished successfully."},
        {"write_underrun", false, false, "ERROR: Writing failed - buffer under run?"},
        {"write_not_empty", false, false, "ERROR: Inserted disk is not empty and not appendable."},
        {"write_reload", false, true, "Disk seems to be written, will reload the disk to be sure..."},
        {"write_no_driver", false, false, "settings page to set a driver manually)"},
    };
    const std::string image = Image();
    for (const TCase& c : cases) {
        Output.clear();
        Replay.Play(c.Transcript);
        auto info = WriteInfo(image, c.Simulate);
        info->Reload = c.Transcript != "write_reload";
        auto command = Make<TCommandCdWrite>(info);
        const TExecuteStatus status = RunToEnd(*command);
        EXPECT_EQ(status.IsSucceeded(), c.Succeeds) << c.Transcript;
        EXPECT_TRUE(Shown(c.Shown)) << c.Transcript;
        const TReplayCall call = Replay.Calls().back();
        EXPECT_EQ(fs::path(call.WorkingFolder), fs::path(image).parent_path()) << c.Transcript;
        TArgs expected{"write", "-v", "2"};
        if (info->Reload) expected.push_back("--reload");
        for (const char* a :
             {"--speed", "4", "--device", "/dev/sr0", "-n", "--driver", "generic-mmc", "--buffers", "64"})
            expected.push_back(a);
        if (c.Simulate) expected.push_back("--simulate");
        expected.push_back(image);
        EXPECT_EQ(call.Arguments, expected) << c.Transcript;
        EXPECT_EQ(Shown("inadequate driver"), !c.Succeeds) << c.Transcript;
        if (c.Transcript == "write_no_driver") {
            EXPECT_FALSE(Shown("yamaha-cdr10x"));
        }
        EXPECT_TRUE(fs::exists(image));
    }
}

TEST_F(CdrdaoCommands, WriteProgressIncludesTheLeadOut) {
    Replay.Play("write_ok");
    auto command = Make<TCommandCdWrite>(WriteInfo(Image(), false));
    EXPECT_TRUE(RunToEnd(*command).IsSucceeded());
    EXPECT_EQ(Progress(), (TStringList{"Written 1 MB of 3 MB - (Buffers 100% 96%)|33",
                                       "Written 2 MB of 3 MB - (Buffers 100% 97%)|66",
                                       "Written 3 MB of 3 MB - (Buffers 100% 97%)|100", "Written 15 MB of 15 MB|100"}));
    EXPECT_TRUE(Shown("Please wait while finalizing the CD..."));
}

TEST_F(CdrdaoCommands, ASuccessfulBurnDeletesOnlyWhatTheImageNames) {
    Replay.Play("write_ok");
    const std::string image = Image();
    const fs::path folder = fs::path(image).parent_path();
    std::ofstream(folder / "disc_other.img") << "not ours";
    auto info = WriteInfo(image, false);
    info->DeleteImageFiles = info->DeleteXmlFile = true;
    auto command = Make<TCommandCdWrite>(info);
    EXPECT_TRUE(RunToEnd(*command).IsSucceeded());
    EXPECT_EQ(FileNames(folder), TStringList{"disc_other.img"});

    // A simulation deletes nothing.
    Replay.Play("write_simulate");
    const std::string again = Image("again");
    info = WriteInfo(again, true);
    info->DeleteImageFiles = true;
    command = Make<TCommandCdWrite>(info);
    EXPECT_TRUE(RunToEnd(*command).IsSucceeded());
    EXPECT_EQ(FileNames(fs::path(again).parent_path()), (TStringList{"disc.bin", "disc.cue", "disc.xml"}));
}

TEST_F(CdrdaoCommands, AWrittenDiscIsRefusedButAnUnknownOneIsNot) {
    Replay.Play("write_ok");
    const std::string image = Image();
    auto disc = std::make_shared<TCdDiskInfo>();
    disc->EmptyKnown = true;
    auto info = WriteInfo(image, false);
    info->DiskInfo = disc;
    auto command = Make<TCommandCdWrite>(info);
    EXPECT_TRUE(RunToEnd(*command).IsFailed());
    EXPECT_TRUE(Shown("ERROR: An empty disk is required..."));
    EXPECT_TRUE(Replay.Calls().empty());
    ASSERT_EQ(Dialogs.Asked.size(), 1u);

    disc->EmptyKnown = false;  // "CD-R empty: n/a"
    command = Make<TCommandCdWrite>(info);
    EXPECT_TRUE(RunToEnd(*command).IsSucceeded());
    EXPECT_EQ(Replay.Calls().size(), 1u);
}

TEST_F(CdrdaoCommands, ACancelledWriteEnds) {
    Replay.Play("write_cancel");
    auto command = Make<TCommandCdWrite>(WriteInfo(Image(), false));
    command->OnOutput = [&](TCommandInterface& sender, const std::string& line) {
        Output.push_back(line);
        if (IsElement(line, "guiprogress")) sender.Cancel();
    };
    EXPECT_TRUE(RunToEnd(*command).IsCancelled());
    EXPECT_FALSE(Shown("inadequate driver"));
}

TEST_F(CdrdaoCommands, UnsafePathsAndMissingDevicesAreRefusedBeforeCdrdao) {
    struct TCase {
        std::string Image;
        std::string Device;
        std::string Reason;
    };
    const std::vector<TCase> cases = {
        {"/tmp/say \"hi\".cue", " --device /dev/sr0", "Double quotes"},
        {"/tmp/back\\slash.cue", " --device /dev/sr0", "Double quotes"},
        {"/tmp/line\nbreak.cue", " --device /dev/sr0", "Double quotes"},
        {"-n.cue", " --device /dev/sr0", "may not begin with \"-\""},
        {"/tmp/disc.bin", " --device /dev/sr0", "Only a CUE or TOC image"},
        {"/tmp/disc.cue", "", "No CD writer is selected"},
    };
    for (const TCase& c : cases) {
        Output.clear();
        Settings->WriterDevice = c.Device;
        auto command = Make<TCommandCdWrite>(WriteInfo(c.Image, true));
        EXPECT_TRUE(RunToEnd(*command).IsFailed()) << c.Image;
        EXPECT_TRUE(Shown(c.Reason)) << c.Image;
    }
    EXPECT_TRUE(Replay.Calls().empty());
}

class CdrdaoRead : public CdrdaoCommands {
protected:
    fs::path Folder = Replay.Root.Path() / "read";
    std::shared_ptr<TCdReadInfo> Info = std::make_shared<TCdReadInfo>();

    CdrdaoRead() {
        fs::create_directories(Folder);
        Info->DataFile = (Folder / "disc.bin").string();
        Info->TocFile = (Folder / "disc.toc").string();
        Settings->ReaderDevice = " --device /dev/sr1";
    }
    void Previous() const {
        std::ofstream(Folder / "disc.bin") << "previous bin";
        std::ofstream(Folder / "disc.toc") << "previous toc";
    }
};

TEST_F(CdrdaoRead, ReadsIntoTemporaryNamesAndMovesThemIntoPlace) {
    Previous();
    Replay.Play("read_ok");
    auto command = Make<TCommandCdRead>(Info);
    const TExecuteStatus status = RunToEnd(*command);
    EXPECT_TRUE(status.IsSucceeded());
    EXPECT_EQ(FileNames(Folder), (TStringList{"disc.bin", "disc.toc"}));
    EXPECT_EQ(fs::file_size(Folder / "disc.bin"), 3u * 2352u);
    const std::string toc = ReadWholeFile((Folder / "disc.toc").string());
    EXPECT_NE(toc.find("DATAFILE \"disc.bin\" 01:04:00"), std::string::npos) << toc;
    EXPECT_EQ(command->DiscLengthSeconds, 64);
    EXPECT_TRUE(Shown("Leadout MODE2_RAW 4 01:04:00(4800)"));
    EXPECT_EQ(Progress(),
              (TStringList{"CD Length 01:04 s|0", "00:00 / 01:04|0", "00:32 / 01:04|50", "01:04 / 01:04|100"}));

    const TReplayCall call = Replay.Calls().back();
    EXPECT_EQ(fs::path(call.WorkingFolder), Folder);
    ASSERT_EQ(call.Arguments.size(), 9u);
    EXPECT_EQ(TArgs(call.Arguments.begin(), call.Arguments.begin() + 7),
              (TArgs{"read-cd", "-v", "2", "--device", "/dev/sr1", "--read-raw", "--datafile"}));
    EXPECT_EQ(call.Arguments[7].find('/'), std::string::npos) << "the data file is named in its folder";
    EXPECT_EQ(fs::path(call.Arguments[8]).parent_path(), Folder);
}

TEST_F(CdrdaoRead, AFailedOrCancelledReadLeavesThePreviousImage) {
    for (const std::string transcript : {"read_failed", "read_cancel"}) {
        Previous();
        Replay.Play(transcript);
        auto command = Make<TCommandCdRead>(Info);
        command->Cancellable = true;
        command->OnOutput = [&](TCommandInterface& sender, const std::string& line) {
            Output.push_back(line);
            if (line.find("00:32") != std::string::npos) sender.Cancel();
        };
        const TExecuteStatus status = RunToEnd(*command);
        EXPECT_TRUE(transcript == "read_failed" ? status.IsFailed() : status.IsCancelled()) << transcript;
        EXPECT_EQ(FileNames(Folder), (TStringList{"disc.bin", "disc.toc"})) << transcript;
        EXPECT_EQ(ReadWholeFile((Folder / "disc.bin").string()), "previous bin");
        EXPECT_EQ(ReadWholeFile((Folder / "disc.toc").string()), "previous toc");
    }
}

TEST(CdrdaoToc, RenamingTheDataFileTouchesNothingElse) {
    const std::string toc =
        "CD_ROM_XA\nCD_TEXT {\n  LANGUAGE 0 {\n    TITLE \"a\\\\b \\\"x.bin\\\"\"\n  }\n}\n"
        "TRACK MODE2_RAW\nDATAFILE \"x.bin\" 01:04:00 // length\n";
    EXPECT_EQ(RenameTocDataFile(toc, "x.bin", "disc.bin"),
              "CD_ROM_XA\nCD_TEXT {\n  LANGUAGE 0 {\n    TITLE \"a\\\\b \\\"x.bin\\\"\"\n  }\n}\n"
              "TRACK MODE2_RAW\nDATAFILE \"disc.bin\" 01:04:00 // length\n");
}

}  // namespace
