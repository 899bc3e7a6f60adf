// What lumora-cli does with files that already exist where a job writes: it
// asks, replaces them only when told yes and the job succeeded, and otherwise
// leaves them byte for byte as they were, with no temporary file behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "integration/cli_run.h"
#include "integration/disc_images.h"
#include "lib/output_files.h"
#include "platform/child_process.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> TemporaryFiles(const fs::path& folder) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.path().string().find(".lumora-tmp-") != std::string::npos) found.push_back(entry.path().string());
    return found;
}

std::string PreviousText(const std::string& name) { return "previous " + name; }

void WritePrevious(const fs::path& folder, const std::vector<std::string>& names) {
    for (const std::string& name : names) std::ofstream(folder / name, std::ios::binary) << PreviousText(name);
}

void ExpectPrevious(const fs::path& folder, const std::vector<std::string>& names, const std::string& what) {
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(FileNames(folder), sorted) << what << ": nothing else written, nothing removed";
    for (const std::string& name : names)
        EXPECT_EQ(ReadWholeFile((folder / name).string()), PreviousText(name)) << what << ": " << name;
}

class CliOutputs : public TCliTest {
protected:
    fs::path Sources = Folder.Path() / "sources";

    void SetUp() override { fs::create_directories(Sources); }

    TRun Answered(const std::string& answer, const std::string& parameters) const {
        return RunProgram(CliPath, answer + " " + parameters);
    }

    // A two-sequence disc made by the real tools: "sources/disc.bin", its
    // ".cue" and ".xml", and its project "sources/project.dsv".
    fs::path SourceImage() {
        const fs::path image = Sources / "disc.bin";
        if (fs::exists(image)) return image;
        const TRun made = Cli("author --save " + Quoted(Sources / "project.dsv") + " --output " + Quoted(image) + " " +
                              Quoted(Sample("pal_vcd_8s_1.mpg")) + " " + Quoted(Sample("pal_vcd_8s_2.mpg")));
        EXPECT_EQ(made.ExitCode, 0u) << made.Text();
        return image;
    }
};

struct TJob {
    const char* Name;
    std::vector<std::string> Outputs;  // in the output folder
    std::function<std::string(const fs::path& out)> Parameters;
};

TEST_F(CliOutputs, ExistingOutputsAreReplacedOnlyWhenTheAnswerIsYes) {
    const fs::path mpeg = Sample("pal_vcd_8s_1.mpg");
    const fs::path image = SourceImage();
    const fs::path xml = Sources / "disc.xml";
    const fs::path project = Sources / "project.dsv";
    const std::string dat =
        MakeDatFromImage(fs::path(image).replace_extension().string(), (Sources / "a.dat").string());
    ASSERT_FALSE(dat.empty());

    const std::vector<TJob> jobs = {
        {"author",
         {"disc.bin", "disc.cue", "disc.xml"},
         [&](const fs::path& out) { return "author --output " + Quoted(out / "disc.bin") + " " + Quoted(mpeg); }},
        {"author toc",
         {"disc.toc", "disc_01.img", "disc.xml"},
         [&](const fs::path& out) {
             return "author --image toc --output " + Quoted(out / "disc.toc") + " " + Quoted(mpeg);
         }},
        {"build",
         {"disc.bin", "disc.cue", "disc.xml"},
         [&](const fs::path& out) { return "build " + Quoted(project) + " --output " + Quoted(out / "disc.bin"); }},
        {"build-xml",
         {"disc.bin", "disc.cue"},
         [&](const fs::path& out) { return "build-xml " + Quoted(xml) + " --output " + Quoted(out / "disc.bin"); }},
        {"rip",
         {"rip.xml", "avseq01.mpg"},
         [&](const fs::path& out) { return "rip " + Quoted(image) + " --xml " + Quoted(out / "rip.xml"); }},
        {"dat2mpg",
         {"movie.mpg"},
         [&](const fs::path& out) { return "dat2mpg " + Quoted(dat) + " " + Quoted(out / "movie.mpg"); }},
        {"--save",
         {"project.dsv"},
         [&](const fs::path& out) {
             return "author --xml-only --output " + Quoted(out / "x.xml") + " --save " + Quoted(out / "project.dsv") +
                    " " + Quoted(mpeg);
         }},
    };
    for (const TJob& job : jobs) {
        // Each output alone, then all of them together.
        std::vector<std::vector<std::string>> sets;
        for (const std::string& output : job.Outputs) sets.push_back({output});
        if (job.Outputs.size() > 1) sets.push_back(job.Outputs);
        for (const std::vector<std::string>& present : sets) {
            const std::string what = std::string(job.Name) + " with " + JoinLines(present, ", ");
            TTempFolder out;
            WritePrevious(out.Path(), present);

            const TRun refused = Answered("--no", job.Parameters(out.Path()));
            EXPECT_EQ(refused.ExitCode, 1u) << what << "\n" << refused.Text();
            ExpectPrevious(out.Path(), present, what + ", answered no");

            const TRun accepted = Answered("--yes", job.Parameters(out.Path()));
            EXPECT_EQ(accepted.ExitCode, 0u) << what << "\n" << accepted.Text();
            for (const std::string& output : job.Outputs) {
                ASSERT_TRUE(fs::exists(out.Path() / output)) << what << ": " << output;
                EXPECT_NE(ReadWholeFile((out.Path() / output).string()), PreviousText(output))
                    << what << ": " << output;
            }
            EXPECT_EQ(TemporaryFiles(out.Path()), std::vector<std::string>{}) << what;
        }
    }
    // The files the jobs read are untouched.
    EXPECT_EQ(ReadWholeFile(mpeg.string()), ReadWholeFile((FixturesFolder() / "pal_vcd_8s_1.mpg").string()));
}

TEST_F(CliOutputs, WithoutAnAnswerNothingIsReplaced) {
    // Neither --yes nor --no, and no terminal to ask on.
    const fs::path mpeg = Sample("pal_vcd_8s_1.mpg");
    WritePrevious(Folder.Path(), {"disc.cue"});
    const TRun run = RunProgram(CliPath, "author --output " + Quoted(Folder.Path() / "disc.bin") + " " + Quoted(mpeg));
    EXPECT_EQ(run.ExitCode, 1u) << run.Text();
    EXPECT_EQ(ReadWholeFile((Folder.Path() / "disc.cue").string()), PreviousText("disc.cue"));
    EXPECT_FALSE(fs::exists(Folder.Path() / "disc.bin"));
}

TEST_F(CliOutputs, NamesThatWouldDestroyAnotherFileOrCannotBeCarriedAreRefusedBeforeAnything) {
    const fs::path mpeg = Sample("pal_vcd_8s_1.mpg");
    const fs::path image = SourceImage();
    const std::string imageBytes = ReadWholeFile(image.string());
    const std::string mpegBytes = ReadWholeFile(mpeg.string());
    const fs::path out = Folder.Path() / "out";
    fs::create_directories(out);
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"rip onto its own image", "rip " + Quoted(image) + " --xml " + Quoted(image)},
        {"rip onto an MPEG file", "rip " + Quoted(image) + " --xml " + Quoted(mpeg)},
        {"save onto an input MPEG",
         "author --xml-only --output " + Quoted(out / "a.xml") + " --save " + Quoted(mpeg) + " " + Quoted(mpeg)},
        {"save onto another disc's image",
         "author --xml-only --output " + Quoted(out / "a.xml") + " --save " + Quoted(image) + " " + Quoted(mpeg)},
        {"a double quote", "author --output " + Quoted(out / "a\\\"b.bin") + " " + Quoted(mpeg)},
        {"a control character", "author --output " + Quoted(out / "a\x01.bin") + " " + Quoted(mpeg)},
        {"bytes that are not UTF-8", "author --output " + Quoted(out / "a\xe9.bin") + " " + Quoted(mpeg)},
        {"a project name with a control character", "author --xml-only --output " + Quoted(out / "a.xml") + " --save " +
                                                        Quoted(out / "p\x1b.dsv") + " " + Quoted(mpeg)},
        {"build-xml onto a name with a tab", "build-xml " + Quoted(mpeg) + " --output " + Quoted(out / "a\tb.bin")},
    };
    for (const auto& [name, parameters] : cases) {
        const TRun run = Cli(parameters);
        EXPECT_EQ(run.ExitCode, 1u) << name << "\n" << run.Text();
        EXPECT_EQ(FileNames(out), std::vector<std::string>{}) << name << "\n" << run.Text();
    }
    EXPECT_TRUE(ReadWholeFile(image.string()) == imageBytes);
    EXPECT_TRUE(ReadWholeFile(mpeg.string()) == mpegBytes);
}

TEST_F(CliOutputs, ALongestNameSavesAndLeftoversOfAKilledRunAreCleanedUp) {
    const fs::path mpeg = Sample("pal_vcd_8s_1.mpg");
    // A run that was killed while writing left its temporary files.
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    const std::string ours = fs::path(TemporaryNameBeside((Folder.Path() / "x").string())).filename().string();
    const std::string left = ours.substr(0, ours.find('-', 12) + 1) + std::to_string(gone) + "-0~";
    std::ofstream(Folder.Path() / (left + ".bin")) << "half an image";
    std::ofstream(Folder.Path() / (left + ".xml")) << "half a description";

    const std::string stem(251, 'n');
    const TRun run = Cli("author --xml-only --output " + Quoted(Folder.Path() / (stem + ".xml")) + " --save " +
                         Quoted(Folder.Path() / (stem + ".dsv")) + " " + Quoted(mpeg));
    ASSERT_EQ(run.ExitCode, 0u) << run.Text();
    EXPECT_TRUE(fs::exists(Folder.Path() / (stem + ".dsv")));
    EXPECT_TRUE(fs::exists(Folder.Path() / (stem + ".xml")));
    EXPECT_EQ(TemporaryFiles(Folder.Path()), std::vector<std::string>{});
}

TEST_F(CliOutputs, AFailedBuildSaysWhyAndKeepsThePreviousImage) {
    // vcdxbuild gives the reason of a description it cannot read only as a warning.
    const std::string garbage = Folder.Write("garbage.xml", "not a description");
    TTempFolder out;
    WritePrevious(out.Path(), {"disc.bin", "disc.cue"});
    const TRun run = Cli("build-xml " + Quoted(garbage) + " --output " + Quoted(out.Path() / "disc.bin"));
    EXPECT_EQ(run.ExitCode, 1u) << run.Text();
    // Not only as the tool's warning line: the failure itself gives it.
    const std::size_t failed = run.Text().find("execution failed");
    ASSERT_NE(failed, std::string::npos) << run.Text();
    EXPECT_NE(run.Text().find("parsing file", failed), std::string::npos) << run.Text();
    ExpectPrevious(out.Path(), {"disc.bin", "disc.cue"}, "failed build");
}

// Stand-in tools beside a portable program: the analysis is the real one,
// the tool that writes does what the case says.
class CliStandIns : public CliOutputs {
protected:
    fs::path Tools;
    fs::path ToolPid = Folder.Path() / "tool.pid";

    void SetUp() override {
        CliOutputs::SetUp();
        Tools = UsePortableCli("") / "VCDImager";
        fs::create_directories(Tools);
        for (const char* name : {"vcdxminfo", "vcdxbuild", "vcdxrip", "cdxa2mpeg"}) RealTool(name);
    }

    void RealTool(const std::string& name) const { Write(name, "exec /usr/bin/" + name + " \"$@\""); }
    // A stand-in that notes its process id, then does what `body` says.
    void Script(const std::string& name, const std::string& body) const {
        Write(name, "echo $$ > " + ToolPid.string() + "\n" + body);
    }
    void Write(const std::string& name, const std::string& body) const {
        std::ofstream(Tools / name) << "#!/bin/sh\n[ \"$1\" = -V ] && exec /usr/bin/" << name << " -V\n"
                                    << body << "\n";
        fs::permissions(Tools / name, fs::perms::owner_all);
    }

    // Runs the CLI, and with a signal sends it once the tool has started; the exit code.
    int RunUntilEnd(const std::vector<std::string>& arguments, int signal, std::string& log) {
        const fs::path logFile = Folder.Path() / "run.log";
        const int out = open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        EXPECT_GE(out, 0);
        fs::remove(ToolPid);
        TSpawnOptions options;
        options.Argv = {CliPath, "--yes"};
        options.Argv.insert(options.Argv.end(), arguments.begin(), arguments.end());
        options.StdoutFd = out;
        options.StderrFd = out;
        pid_t cli = -1;
        EXPECT_EQ(SpawnChild(options, cli), 0);
        close(out);
        if (signal != 0) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (!(fs::exists(ToolPid) && fs::file_size(ToolPid) > 0) && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the tool is writing
            kill(cli, signal);
        }
        int status = 0;
        EXPECT_EQ(waitpid(cli, &status, 0), cli);
        log = ReadWholeFile(logFile.string());
        fs::remove(logFile);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    bool ToolStillRuns() const {
        std::ifstream text(ToolPid);
        pid_t tool = 0;
        text >> tool;
        return tool > 0 && kill(tool, 0) == 0;
    }
};

TEST_F(CliStandIns, ABuildThatFailsHangsOrWritesABogusImageLeavesThePreviousFiles) {
    // Each writes under the names vcdxbuild is given.
    const std::string names =
        "for a in \"$@\"; do case $a in bin=*) bin=${a#bin=};; cue=*) cue=${a#cue=};; esac; done\n";
    const std::string cue =
        "printf 'FILE \"%s\" BINARY\\n  TRACK 01 MODE2/2352\\n    INDEX 01 00:00:00\\n' \"$bin\" > \"$cue\"\n";
    struct TCase {
        const char* Name;
        std::string Body;
        int Signal;
        int ExitCode;
    };
    const std::vector<TCase> cases = {
        {"fails after writing", names + "echo partial > \"$bin\"\n" + cue + "exit 1", 0, 1},
        {"exit 0, nothing written", "exit 0", 0, 1},
        {"exit 0, empty image", names + ": > \"$bin\"\n" + cue + "exit 0", 0, 1},
        {"exit 0, part of a sector", names + "head -c 3000 /dev/zero > \"$bin\"\n" + cue + "exit 0", 0, 1},
        {"exit 0, sheet without image", names + cue + "exit 0", 0, 1},
        {"hangs, Ctrl-C", names + "echo partial > \"$bin\"\nsleep 30", SIGINT, 130},
        {"hangs, SIGTERM", names + "echo partial > \"$bin\"\nsleep 30", SIGTERM, 130},
        {"hangs, SIGHUP", names + "echo partial > \"$bin\"\nsleep 30", SIGHUP, 130},
    };
    const fs::path mpeg = Sample("pal_vcd_8s_1.mpg");
    for (const TCase& c : cases) {
        Script("vcdxbuild", c.Body);
        TTempFolder out;
        const std::vector<std::string> previous = {"disc.bin", "disc.cue", "disc.xml"};
        WritePrevious(out.Path(), previous);
        std::string log;
        const int code =
            RunUntilEnd({"author", "--output", (out.Path() / "disc.bin").string(), mpeg.string()}, c.Signal, log);
        EXPECT_EQ(code, c.ExitCode) << c.Name << "\n" << log;
        ExpectPrevious(out.Path(), previous, c.Name);
        EXPECT_FALSE(ToolStillRuns()) << c.Name;
        if (c.Signal != 0) continue;
        EXPECT_NE(log.find("error"), std::string::npos) << c.Name << "\n" << log;
    }
}

TEST_F(CliStandIns, AFailedOrInterruptedRipOrConversionLeavesThePreviousFiles) {
    const fs::path image = SourceImage();
    const std::string dat = Folder.Write("a.dat", "RIFF");
    // vcdxrip writes into its working folder; cdxa2mpeg to its second argument.
    const std::string ripWrites =
        "for a in \"$@\"; do case $a in -o) next=1;; *) [ -n \"$next\" ] && xml=$a; next=;; esac; done\n"
        "echo partial > \"$xml\"; echo partial > avseq01.mpg\n";
    struct TCase {
        const char* Name;
        const char* Tool;
        std::string Body;
        int Signal;
        int ExitCode;
        std::vector<std::string> Outputs;
        std::vector<std::string> Arguments;
    };
    const std::string out = (Folder.Path() / "out").string();
    const std::vector<std::string> rip = {"rip", image.string(), "--xml", out + "/rip.xml"};
    const std::vector<std::string> convert = {"dat2mpg", dat, out + "/movie.mpg"};
    const std::vector<TCase> cases = {
        {"rip fails", "vcdxrip", ripWrites + "exit 1", 0, 1, {"rip.xml", "avseq01.mpg"}, rip},
        {"rip writes no description", "vcdxrip", "exit 0", 0, 1, {"rip.xml"}, rip},
        {"rip hangs, SIGTERM", "vcdxrip", ripWrites + "sleep 30", SIGTERM, 130, {"rip.xml", "avseq01.mpg"}, rip},
        {"conversion fails", "cdxa2mpeg", "echo partial > \"$2\"; exit 1", 0, 1, {"movie.mpg"}, convert},
        {"conversion writes nothing", "cdxa2mpeg", "exit 0", 0, 1, {"movie.mpg"}, convert},
        {"conversion hangs, SIGHUP",
         "cdxa2mpeg",
         "echo partial > \"$2\"; sleep 30",
         SIGHUP,
         130,
         {"movie.mpg"},
         convert},
    };
    for (const TCase& c : cases) {
        Script(c.Tool, c.Body);
        fs::remove_all(out);
        fs::create_directories(out);
        WritePrevious(out, c.Outputs);
        std::string log;
        EXPECT_EQ(RunUntilEnd(c.Arguments, c.Signal, log), c.ExitCode) << c.Name << "\n" << log;
        ExpectPrevious(out, c.Outputs, c.Name);
        EXPECT_FALSE(ToolStillRuns()) << c.Name;
        RealTool(c.Tool);
    }
}

}  // namespace
