// lumora-cli's CD jobs with the cdrdao stand-in in the program's own folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "integration/cli_run.h"
#include "platform/child_process.h"

namespace {

namespace fs = std::filesystem;

class CliCd : public TCliTest {
protected:
    fs::path Program;
    std::string Standin;

    CliCd() {
        Program = UsePortableCli("[Lumora]\r\n");
        fs::create_directories(Program / "CDRDAO");
        Standin = (Program / "CDRDAO" / "cdrdao").string();
        fs::copy_file(LUMORA_CDRDAO_REPLAY, Standin);
    }
    void Play(const std::string& name) const {
        fs::copy_file(std::string(LUMORA_TRANSCRIPTS_DIR) + "/" + name + ".txt", Standin + ".transcript",
                      fs::copy_options::overwrite_existing);
    }
    std::vector<std::string> LastArguments() const {
        std::vector<std::string> arguments;
        std::ifstream in(Standin + ".calls");
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("cwd=", 0) == 0) arguments.clear();
            if (line.rfind("arg=", 0) == 0) arguments.push_back(line.substr(4));
        }
        return arguments;
    }
    // Runs the CLI with `answer` ("--yes" or "--no") and sends it Ctrl-C once
    // cdrdao has started; the exit code and what it printed.
    int Interrupted(const std::string& answer, const std::vector<std::string>& arguments, std::string& log) {
        const fs::path logFile = Folder.Path() / "run.log";
        const int out = open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        TSpawnOptions options;
        options.Argv = {CliPath, answer};
        options.Argv.insert(options.Argv.end(), arguments.begin(), arguments.end());
        options.StdoutFd = out;
        options.StderrFd = out;
        pid_t cli = -1;
        EXPECT_EQ(SpawnChild(options, cli), 0);
        close(out);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (ReadWholeFile(logFile.string()).find("Starting write") == std::string::npos &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        kill(cli, SIGINT);
        int status = 0;
        EXPECT_EQ(waitpid(cli, &status, 0), cli);
        log = ReadWholeFile(logFile.string());
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    bool Says(const TProgramRun& run, const std::string& text) const { return run.Text().find(text) != std::string::npos; }
};

TEST_F(CliCd, ScanAndInfo) {
    Play("scan_two");
    TProgramRun run = Cli("cd scan");
    EXPECT_EQ(run.ExitCode, 0u) << run.Text();
    EXPECT_TRUE(Says(run, "device: /dev/sr1: PLEXTOR, DVDR PX-716A, 1.11")) << run.Text();

    Play("info_written_cdrw");
    run = Cli("cd info --device /dev/sr1 --reader");
    EXPECT_EQ(run.ExitCode, 0u) << run.Text();
    EXPECT_TRUE(Says(run, "cd-rw: yes") && Says(run, "empty: no")) << run.Text();
    EXPECT_EQ(LastArguments(), (std::vector<std::string>{"disk-info", "-v", "2", "--device", "/dev/sr1"}));

    run = Cli("cd info");
    EXPECT_EQ(run.ExitCode, 2u);
    EXPECT_TRUE(Says(run, "give --device NODE")) << run.Text();

    Play("no_disc");
    run = Cli("cd unlock --device /dev/sr0");
    EXPECT_EQ(run.ExitCode, 1u) << run.Text();
    EXPECT_TRUE(Says(run, "Unit not ready, giving up")) << run.Text();
}

TEST_F(CliCd, ReadKeepsThePreviousImageUnlessItSucceedsAndTheUserAgrees) {
    const fs::path out = Folder.Path() / "out";
    fs::create_directories(out);
    std::ofstream(out / "disc.bin") << "previous";
    const std::string read = "cd read --device /dev/sr0 --output " + QuotedPath(out / "disc.bin");

    Play("read_failed");
    EXPECT_EQ(Cli(read).ExitCode, 1u);
    EXPECT_EQ(FileNames(out), (std::vector<std::string>{"disc.bin"}));
    EXPECT_EQ(ReadWholeFile((out / "disc.bin").string()), "previous");

    Play("read_ok");
    EXPECT_EQ(RunProgramFor(CliPath, "--no " + read).ExitCode, 1u);
    EXPECT_EQ(ReadWholeFile((out / "disc.bin").string()), "previous");

    const TProgramRun run = Cli(read);
    EXPECT_EQ(run.ExitCode, 0u) << run.Text();
    EXPECT_EQ(FileNames(out), (std::vector<std::string>{"disc.bin", "disc.toc"}));
    EXPECT_NE(ReadWholeFile((out / "disc.toc").string()).find("DATAFILE \"disc.bin\""), std::string::npos);
}

TEST_F(CliCd, BurnRunsInTheImageFolder) {
    const fs::path image = Folder.Path() / "image";
    fs::create_directories(image);
    std::ofstream(image / "disc.cue") << "FILE \"disc.bin\" BINARY\n  TRACK 1 MODE2/2352\n    INDEX 1 00:00:00\n";
    std::ofstream(image / "disc.bin") << std::string(2352, '\0');
    Play("write_simulate");
    const TProgramRun run = Cli("cd burn " + QuotedPath(image / "disc.cue") + " --device /dev/sr0 --speed 8 --simulate");
    EXPECT_EQ(run.ExitCode, 0u) << run.Text();
    EXPECT_TRUE(Says(run, "Simulation finished successfully")) << run.Text();
    EXPECT_EQ(LastArguments(),
              (std::vector<std::string>{"write", "-v", "2", "--reload", "--speed", "8", "--device", "/dev/sr0", "-n",
                                        "--buffers", "64", "--simulate", (image / "disc.cue").string()}));
    std::ifstream calls(Standin + ".calls");
    std::string first;
    std::getline(calls, first);
    EXPECT_EQ(first, "cwd=" + image.string());
}

TEST_F(CliCd, CtrlCDuringABurnAsksFirst) {
    const fs::path image = Folder.Path() / "image";
    fs::create_directories(image);
    std::ofstream(image / "disc.cue") << "FILE \"disc.bin\" BINARY\n  TRACK 1 MODE2/2352\n    INDEX 1 00:00:00\n";
    std::ofstream(image / "disc.bin") << std::string(2352, '\0');
    const std::vector<std::string> burn{"cd", "burn", (image / "disc.cue").string(), "--device", "/dev/sr0"};
    std::string log;

    // Answered no, the burn goes on to its end.
    std::ofstream(Standin + ".transcript")
        << "[write]\nE Starting write at speed 4...\nS 1500\nE Writing finished successfully.\n";
    EXPECT_EQ(Interrupted("--no", burn, log), 0) << log;
    EXPECT_NE(log.find("leaves the disc unusable"), std::string::npos) << log;
    EXPECT_NE(log.find("Writing finished successfully."), std::string::npos) << log;

    // Answered yes, it stops.
    Play("write_cancel");
    EXPECT_EQ(Interrupted("--yes", burn, log), 130) << log;
    EXPECT_EQ(log.find("Writing finished successfully."), std::string::npos) << log;
}

}  // namespace
