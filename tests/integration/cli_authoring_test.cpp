// lumora-cli run as a script would run it, on generated MPEG files, with the
// real VCDImager tools checking what it built.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "integration/cli_run.h"
#include "lib/console_runner.h"
#include "platform/child_process.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

class CliAuthoring : public TCliTest {
protected:
    // Rips the CUE image and compares every ripped motion video with its source.
    void ExpectRipGivesBack(const fs::path& cue, const std::vector<fs::path>& sources) {
        const fs::path ripFolder = Folder.Path() / ("rip-" + cue.stem().string());
        fs::create_directories(ripFolder);
        const TRun rip = Cli("rip " + Quoted(cue) + " --xml " + Quoted(ripFolder / "rip.xml"));
        ASSERT_EQ(rip.ExitCode, 0u) << rip.Text();
        // vcdxrip writes the tracks into its working folder: the CLI's.
        for (std::size_t i = 0; i < sources.size(); ++i) {
            const std::string name = "avseq" + std::string(i < 9 ? "0" : "") + std::to_string(i + 1) + ".mpg";
            fs::path ripped = ripFolder / name;
            if (!fs::exists(ripped)) ripped = fs::current_path() / name;
            ASSERT_TRUE(fs::exists(ripped)) << name << "\n" << rip.Text();
            EXPECT_TRUE(ReadWholeFile(ripped.string()) == ReadWholeFile(sources[i].string()))
                << cue.filename() << ": " << name << " differs from " << sources[i].filename();
            if (ripped.parent_path() != ripFolder) fs::remove(ripped);
        }
    }
};

TEST_F(CliAuthoring, DiscTypesAndImageTypesBuildImagesTheToolsReadBack) {
    // Updating the SVCD scan offsets rewrites the stream on the disc; without
    // it every ripped file must equal its source.
    UsePortableCli("[Lumora]\r\nSvcdUpdateScanData=0\r\n");
    struct TCase {
        const char* Name;
        const char* Options;
        std::vector<const char*> Files;
        const char* Detected;  // what vcd-info reports
    };
    const TCase cases[] = {
        {"ntsc11", "--type vcd11", {"ntsc_vcd_8s.mpg"}, "VCD 1.1 detected"},
        {"pal20",
         "--type vcd20 --chapters 2,0:00:05.000",
         {"pal_vcd_8s_1.mpg", "still_pal_vcd.mpg", "pal_vcd_8s_2.mpg"},
         "VCD 2.0 detected"},
        {"pal20adv", "--type vcd20 --image advcue --chapters-every 3", {"pal_vcd_8s_1.mpg"}, "VCD 2.0 detected"},
        {"svcd", "--type svcd --tv pal", {"pal_svcd_8s.mpg"}, "SVCD detected"},
    };
    for (const TCase& c : cases) {
        std::string files;
        std::vector<fs::path> motion;
        for (const char* name : c.Files) {
            files += " " + Quoted(Sample(name));
            if (std::string(name).find("still") == std::string::npos) motion.push_back(Sample(name));
        }
        const fs::path image = Folder.Path() / (std::string(c.Name) + ".bin");
        const TRun author = Cli("author " + std::string(c.Options) + " --output " + Quoted(image) + files);
        ASSERT_EQ(author.ExitCode, 0u) << c.Name << "\n" << author.Text();
        EXPECT_NE(author.Text().find("image: " + image.string()), std::string::npos) << c.Name;

        const fs::path cue = fs::path(image).replace_extension(".cue");
        const TRun info = RunProgram("vcd-info", "--no-banner --cue-file " + Quoted(cue));
        EXPECT_EQ(info.ExitCode, 0u) << c.Name;
        EXPECT_NE(info.Text().find(c.Detected), std::string::npos) << c.Name << "\n" << info.Text();
        ExpectRipGivesBack(cue, motion);
    }
}

TEST_F(CliAuthoring, TocAndToastImages) {
    const fs::path file = Sample("pal_vcd_8s_1.mpg");
    const TRun toc = Cli("author --image toc --output " + Quoted(Folder.Path() / "disc.toc") + " " + Quoted(file));
    ASSERT_EQ(toc.ExitCode, 0u) << toc.Text();
    EXPECT_TRUE(fs::exists(Folder.Path() / "disc_01.img"));
    const TRun info = RunProgram("vcd-info", "--no-banner --toc-file " + Quoted(Folder.Path() / "disc.toc"));
    EXPECT_EQ(info.ExitCode, 0u);
    EXPECT_NE(info.Text().find("VCD 2.0 detected"), std::string::npos) << info.Text();

    const fs::path toastFolder = Folder.Path() / "toast";
    fs::create_directories(toastFolder);
    const TRun toast = Cli("author --image toast --output " + Quoted(toastFolder / "mac.toc") + " " + Quoted(file));
    ASSERT_EQ(toast.ExitCode, 0u) << toast.Text();
    bool hasImage = false;
    for (const auto& entry : fs::directory_iterator(toastFolder)) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(entry.path().extension(), ".toc") << name;
        EXPECT_EQ(name.find("pregap"), std::string::npos) << name;
        hasImage = hasImage || entry.path().extension() == ".img";
    }
    EXPECT_TRUE(hasImage);
}

TEST_F(CliAuthoring, ASavedProjectBuildsTheSameImageUntilItsFileChanges) {
    const fs::path first = Sample("pal_vcd_8s_1.mpg");
    const fs::path second = Sample("pal_vcd_8s_2.mpg");
    const fs::path project = Folder.Path() / "project.dsv";
    const fs::path image = Folder.Path() / "authored.bin";
    const TRun author = Cli("author --chapters 3 --save " + Quoted(project) + " --output " + Quoted(image) + " " +
                            Quoted(first) + " " + Quoted(second));
    ASSERT_EQ(author.ExitCode, 0u) << author.Text();

    const fs::path rebuilt = Folder.Path() / "rebuilt.bin";
    const TRun build = Cli("build " + Quoted(project) + " --output " + Quoted(rebuilt));
    ASSERT_EQ(build.ExitCode, 0u) << build.Text();
    EXPECT_TRUE(ReadWholeFile(rebuilt.string()) == ReadWholeFile(image.string()));

    // One byte of the first file's head changes: the project no longer matches it.
    {
        std::fstream edit(first, std::ios::in | std::ios::out | std::ios::binary);
        edit.seekp(5000);
        edit.put('\x7f');
    }
    const TRun refused = Cli("build " + Quoted(project) + " --output " + Quoted(Folder.Path() / "refused.bin"));
    EXPECT_NE(refused.ExitCode, 0u);
    EXPECT_NE(refused.Text().find("The original MPEG file has been modified or changed (bad CRC)"), std::string::npos)
        << refused.Text();
    EXPECT_FALSE(fs::exists(Folder.Path() / "refused.bin"));
}

TEST_F(CliAuthoring, CtrlCDuringABuildEndsTheJobAndLeavesThePreviousImage) {
    // A slow stand-in vcdxbuild beside a portable program: it starts the image,
    // then takes its time; the other tools are the real ones.
    const fs::path tools = UsePortableCli("") / "VCDImager";
    fs::create_directories(tools);
    const fs::path toolPid = Folder.Path() / "tool.pid";
    auto script = [&](const std::string& name, const std::string& body) {
        std::ofstream(tools / name) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(tools / name, fs::perms::owner_all);
    };
    for (const char* name : {"vcdxminfo", "vcdxrip", "cdxa2mpeg"})
        script(name, std::string("exec /usr/bin/") + name + " \"$@\"");
    script("vcdxbuild",
           "[ \"$1\" = -V ] && exec /usr/bin/vcdxbuild -V\n"
           "echo $$ > " +
               toolPid.string() +
               "\n"
               "for a in \"$@\"; do case $a in bin=*) echo partial > \"${a#bin=}\";; esac; done\n"
               "sleep 30");

    const fs::path image = Folder.Path() / "slow.bin";
    std::ofstream(image) << "previous image";
    const fs::path log = Folder.Path() / "slow.log";
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(out, 0);
    TSpawnOptions options;
    options.Argv = {CliPath, "--yes", "author", "--output", image.string(), Sample("pal_vcd_8s_1.mpg").string()};
    options.StdoutFd = out;
    options.StderrFd = out;
    pid_t cli = -1;
    ASSERT_EQ(SpawnChild(options, cli), 0);
    close(out);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    // The partial image goes to a temporary name beside the previous one.
    auto partial = [&] {
        for (const auto& entry : fs::directory_iterator(Folder.Path()))
            if (entry.path().filename().string().find(".lumora-tmp-") == 0 && entry.path().extension() == ".bin")
                return true;
        return false;
    };
    while (!(partial() && fs::exists(toolPid)) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(partial()) << ReadWholeFile(log.string());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the pid file is complete
    kill(cli, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(cli, &status, 0), cli);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130) << ReadWholeFile(log.string());
    EXPECT_EQ(ReadWholeFile(image.string()), "previous image");
    EXPECT_FALSE(fs::exists(fs::path(image).replace_extension(".cue")));
    EXPECT_FALSE(partial());
    std::ifstream pidText(toolPid);
    pid_t tool = 0;
    pidText >> tool;
    ASSERT_GT(tool, 0);
    EXPECT_TRUE(kill(tool, 0) != 0) << "the tool is still running";
}

TEST_F(CliAuthoring, MachineReadableOutputAndExitCodes) {
    const fs::path xml = Folder.Path() / "only.xml";
    const TRun json =
        Cli("--json author --xml-only --output " + Quoted(xml) + " " + Quoted(Sample("pal_vcd_8s_1.mpg")));
    ASSERT_EQ(json.ExitCode, 0u) << json.Text();
    for (const std::string& line : json.Lines)
        if (!line.empty()) {
            EXPECT_EQ(line.front(), '{') << line;
        }
    EXPECT_NE(json.Text().find("{\"kind\":\"result\",\"name\":\"xml\",\"value\":\"" + xml.string() + "\"}"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(xml));
    EXPECT_FALSE(fs::exists(Folder.Path() / "only.bin"));

    EXPECT_EQ(Cli("author --type dvd " + Quoted(Sample("pal_vcd_8s_1.mpg"))).ExitCode, 2u);
    EXPECT_EQ(Cli("analyse " + Quoted(Folder.Path() / "missing.mpg")).ExitCode, 1u);
    const TRun analyse = Cli("analyse " + Quoted(Sample("ntsc_vcd_8s.mpg")));
    EXPECT_EQ(analyse.ExitCode, 0u) << analyse.Text();
}

}  // namespace
