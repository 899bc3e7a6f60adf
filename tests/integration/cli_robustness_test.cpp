// lumora-cli with stand-in tools that misbehave (hang, crash, flood, say
// nothing), odd settings files and odd outputs: every job ends with a
// message and a non-zero exit, and leaves the user's files as they were.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "lib/console_runner.h"
#include "platform/child_process.h"
#include "support/processes.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

using namespace std::chrono_literals;

struct TRun {
    std::uint32_t ExitCode = 0;
    std::string Output;
};


pid_t ReadPid(const fs::path& path) {
    std::ifstream in(path);
    pid_t pid = 0;
    in >> pid;
    return pid;
}

class CliRobustness : public ::testing::Test {
protected:
    TTempFolder Folder;
    fs::path Program = Folder.Path() / "portable";
    fs::path Tools = Program / "VCDImager";
    fs::path ToolPid = Folder.Path() / "tool.pid";

    CliRobustness() {
        fs::create_directories(Tools);
        fs::copy_file(LUMORA_CLI, Program / "lumora-cli");
        for (const char* name : {"vcdxbuild", "vcdxminfo", "vcdxrip", "cdxa2mpeg"})
            Script(name, std::string("exec /usr/bin/") + name + " \"$@\"");
    }

    void Ini(const std::string& text) const { std::ofstream(Program / "Lumora.ini") << text; }

    void Script(const std::string& name, const std::string& body) const {
        std::ofstream(Tools / name) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(Tools / name, fs::perms::owner_all);
    }

    // vcdxminfo replaced by `body`, which first notes its process id.
    void StandInAnalyser(const std::string& body) const {
        Script("vcdxminfo", "echo $$ > " + ToolPid.string() + "\n" + body);
    }

    // Runs the program with its output in a file; `stdoutFd` other than -1 replaces it.
    TRun Cli(const TStringList& arguments, int stdoutFd = -1) const {
        const fs::path log = Folder.Path() / "cli.log";
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        TSpawnOptions options;
        options.Argv = arguments;
        options.Argv.insert(options.Argv.begin(), (Program / "lumora-cli").string());
        options.StdoutFd = stdoutFd >= 0 ? stdoutFd : out;
        options.StderrFd = out;
        pid_t pid = -1;
        TRun run;
        EXPECT_EQ(SpawnChild(options, pid), 0);
        close(out);
        run.ExitCode = KilledExitCode;
        const auto deadline = std::chrono::steady_clock::now() + 120s;
        while (!ChildHasEnded(pid) && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(10ms);
        run.ExitCode = KillAndReap(pid);
        run.Output = ReadWholeFile(log.string());
        return run;
    }

    fs::path Sample(const std::string& name, const std::string& as = "") const {
        const fs::path target = Folder.Path() / (as.empty() ? name : as);
        if (!fs::exists(target)) fs::copy_file(FixturesFolder() / name, target);
        return target;
    }
};

TEST_F(CliRobustness, MisbehavingAnalysersEndTheJobWithAMessage) {
    struct TCase {
        const char* Name;
        std::string Body;
        const char* Message;
    };
    const std::string description = "echo '<mpeg-info src=\"x\">'; echo '<mpeg-properties>'; ";
    const TCase cases[] = {
        {"crash", "kill -SEGV $$", "The tool ended with the exit code 139 (signal 11)"},
        {"silent success", "exit 0", "vcdxminfo gave no description of the MPEG file"},
        {"truncated file", description + "echo '<packets>0</packets>'; echo '</mpeg-properties>'; echo '</mpeg-info>'",
         "(no video or audio stream)"},
        {"impossible values",
         description + "echo '<playing-time>nan</playing-time>'; echo '<video-stream index=\"0\">'; "
                       "echo '<horizontal-size>-352</horizontal-size>'; "
                       "echo '</video-stream>'; echo '</mpeg-properties>'; echo '</mpeg-info>'",
         "(picture width: -352)"},
        {"line without end", "exec cat /dev/zero", "The program wrote a line longer than 1048576 bytes"},
        {"endless description", description + "exec yes '<aps packet=\"1\">1.0</aps>'",
         "vcdxminfo gave a description larger than 16777216 bytes"},
    };
    for (const TCase& c : cases) {
        StandInAnalyser(c.Body);
        const fs::path movie = Sample("pal_vcd_8s_1.mpg", std::string(c.Name) + ".mpg");
        const std::string before = ReadWholeFile(movie.string());
        const TRun run = Cli({"analyse", movie.string()});
        EXPECT_EQ(run.ExitCode, 1u) << c.Name << "\n" << run.Output;
        EXPECT_NE(run.Output.find(c.Message), std::string::npos) << c.Name << "\n" << run.Output.substr(0, 4000);
        EXPECT_TRUE(ReadWholeFile(movie.string()) == before) << c.Name;
        EXPECT_FALSE(fs::exists(movie.string() + ".vxm")) << c.Name;
        const pid_t tool = ReadPid(ToolPid);
        EXPECT_TRUE(tool > 0 && ProcessGone(tool)) << c.Name;
    }
}

TEST_F(CliRobustness, AHangingToolEndsWithTheJobOnSigtermAndOnSigkill) {
    StandInAnalyser("exec sleep 60");
    for (const int signal : {SIGTERM, SIGKILL}) {
        fs::remove(ToolPid);
        const fs::path log = Folder.Path() / "hang.log";
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        TSpawnOptions options;
        options.Argv = {(Program / "lumora-cli").string(), "analyse", Sample("pal_vcd_8s_1.mpg", "hang.mpg").string()};
        options.StdoutFd = out;
        options.StderrFd = out;
        pid_t cli = -1;
        ASSERT_EQ(SpawnChild(options, cli), 0);
        close(out);
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (ReadPid(ToolPid) <= 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(10ms);
        const pid_t tool = ReadPid(ToolPid);
        ASSERT_GT(tool, 0) << ReadWholeFile(log.string());
        EXPECT_FALSE(ProcessGone(tool));
        kill(cli, signal);
        int status = 0;
        ASSERT_EQ(waitpid(cli, &status, 0), cli);
        if (signal == SIGTERM) {
            ASSERT_TRUE(WIFEXITED(status)) << ReadWholeFile(log.string());
            EXPECT_NE(WEXITSTATUS(status), 0);
        }
        // SIGKILL gives the program no chance: the tool must end by itself.
        const auto gone = std::chrono::steady_clock::now() + 10s;
        while (!ProcessGone(tool) && std::chrono::steady_clock::now() < gone) std::this_thread::sleep_for(10ms);
        EXPECT_TRUE(ProcessGone(tool)) << "the tool outlived the program after signal " << signal;
        if (!ProcessGone(tool)) kill(tool, SIGKILL);
    }
}

TEST_F(CliRobustness, StoredAnalysesFollowTheSettings) {
    struct TCase {
        const char* Ini;
        bool Stored;
        bool Scrambled;
    };
    const TCase cases[] = {
        {"", true, true},
        {"[Lumora]\nEncryptFiles=0\n", true, false},
        {"[Lumora]\nEncryptFiles=1\n", true, true},
        {"[Lumora]\nNoMpegAnalyseStorage=1\n", false, false},
    };
    int index = 0;
    for (const TCase& c : cases) {
        Ini(c.Ini);
        const fs::path movie = Sample("pal_vcd_8s_1.mpg", "store" + std::to_string(index++) + ".mpg");
        const TRun run = Cli({"analyse", movie.string()});
        EXPECT_EQ(run.ExitCode, 0u) << c.Ini << run.Output;
        const fs::path stored = movie.string() + ".vxm";
        ASSERT_EQ(fs::exists(stored), c.Stored) << c.Ini;
        if (c.Stored) EXPECT_EQ(ReadWholeFile(stored.string()).rfind("BINARY\r", 0) == 0, c.Scrambled) << c.Ini;
    }
}

TEST_F(CliRobustness, AnAnalysisStoredBeforeTheFileChangedIsNotReused) {
    const fs::path movie = Sample("pal_vcd_8s_1.mpg", "changed.mpg");
    ASSERT_EQ(Cli({"analyse", movie.string()}).ExitCode, 0u);
    // From now on the tool may not run: a run shows in the pid file.
    StandInAnalyser("exit 3");
    EXPECT_EQ(Cli({"analyse", movie.string()}).ExitCode, 0u);
    EXPECT_FALSE(fs::exists(ToolPid)) << "an unchanged file was analysed again";
    fs::last_write_time(movie, fs::last_write_time(movie.string() + ".vxm") + 5s);
    EXPECT_EQ(Cli({"analyse", movie.string()}).ExitCode, 1u);
    EXPECT_TRUE(fs::exists(ToolPid)) << "the stored analysis of a changed file was reused";
}

TEST_F(CliRobustness, SettingsAndProjectFilesThatCannotBeReadAreRefused) {
    ASSERT_EQ(mkfifo((Program / "Lumora.ini").c_str(), 0600), 0);
    const TRun fifo = Cli({"check"});
    EXPECT_EQ(fifo.ExitCode, 1u) << fifo.Output;
    EXPECT_NE(fifo.Output.find("Lumora.ini\" cannot be used: is not a regular file"), std::string::npos) << fifo.Output;
    fs::remove(Program / "Lumora.ini");
    fs::create_symlink("/dev/zero", Program / "Lumora.ini");
    EXPECT_EQ(Cli({"check"}).ExitCode, 1u);
    EXPECT_TRUE(fs::is_symlink(Program / "Lumora.ini"));
    fs::remove(Program / "Lumora.ini");

    const fs::path project = Folder.Path() / "huge.dsv";
    std::ofstream(project) << "<?xml version=\"1.0\"?>\n";
    fs::resize_file(project, 3ull << 30);  // sparse: no disk space taken
    const TRun huge = Cli({"build", project.string(), "--output", (Folder.Path() / "huge.bin").string()});
    EXPECT_EQ(huge.ExitCode, 1u) << huge.Output;
    EXPECT_NE(huge.Output.find("is too large (3221225472 bytes"), std::string::npos) << huge.Output;
    EXPECT_FALSE(fs::exists(Folder.Path() / "huge.bin"));
}

TEST_F(CliRobustness, OutputThatCannotBeWrittenEndsWithExitOne) {
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    const TRun toFull = Cli({"check"}, full);
    close(full);
    EXPECT_EQ(toFull.ExitCode, 1u) << toFull.Output;
    EXPECT_NE(toFull.Output.find("cannot write to the output"), std::string::npos) << toFull.Output;
    EXPECT_EQ(Cli({"check"}).ExitCode, 0u);

    std::vector<std::string> lines;
    const std::string cli = (Program / "lumora-cli").string();
    EXPECT_EQ(CaptureConsoleOutput("sh", "-c '\"" + cli + "\" check >&-'", &lines), 1u);
}

TEST_F(CliRobustness, JsonLinesAreUtf8EvenForFileNamesThatAreNot) {
    const fs::path movie = Sample("pal_vcd_8s_1.mpg", "caf\xE9 \x80.mpg");  // a Latin-1 name
    const fs::path missing = Folder.Path() / "gone\xE9.mpg";
    const fs::path log = Folder.Path() / "json.log";
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    // VCDImager cannot take such a name: the refusal names it with escapes; the
    // missing file is named as it was given, its stray bytes replaced.
    const TRun run = Cli({"--json", "analyse", movie.string(), missing.string()}, out);
    close(out);
    EXPECT_EQ(run.ExitCode, 1u) << run.Output;
    const std::string json = ReadWholeFile(log.string());
    EXPECT_NE(json.find("invalid characters in filenames are not allowed: " + Folder.Path().string() +
                        "/caf\\\\xE9 \\\\x80.mpg"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("gone\xEF\xBF\xBD.mpg\\\" does not exist"), std::string::npos) << json;
    // iconv refuses any byte sequence that is not UTF-8.
    std::vector<std::string> lines;
    EXPECT_EQ(CaptureConsoleOutput("iconv", "-f UTF-8 -t UTF-8 \"" + log.string() + "\"", &lines), 0u);
}

}  // namespace
