// lumora-cli run as a script would run it, on generated MPEG files, with the
// real VCDImager tools checking what it built.
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

TEST_F(CliAuthoring, TheComplianceTableKeepsItsRefusalsWhateverTheAnswers) {
    UsePortableCli("");  // the stored expert mode: off by default
    struct TCase {
        const char* File;
        const char* Options;
        // Exit codes for --yes and --no, out of expert mode and with --expert.
        unsigned Plain[2];
        unsigned Expert[2];
    };
    const TCase cases[] = {
        // MPEG-2 on a VCD and MPEG-1 on an SVCD: refused, only asked in expert mode.
        {"pal_svcd_8s.mpg", "--type vcd20", {1, 1}, {0, 1}},
        {"pal_vcd_8s_1.mpg", "--type svcd", {1, 1}, {0, 1}},
        // Too short: refused in every mode.
        {"pal_vcd_2.mpg", "--type vcd20", {1, 1}, {1, 1}},
        // A PAL video on a VCD 1.1 is asked about (a non-compliant size).
        {"pal_vcd_8s_1.mpg", "--type vcd11", {0, 1}, {0, 1}},
        // An NTSC file for a PAL project: yes adapts the project, no refuses the file.
        {"ntsc_vcd_8s.mpg", "--type vcd20 --tv pal", {0, 1}, {0, 1}},
    };
    int run = 0;
    for (const TCase& c : cases)
        for (const bool expert : {false, true})
            for (const bool yes : {true, false}) {
                const fs::path xml = Folder.Path() / ("table" + std::to_string(++run) + ".xml");
                const std::string options = std::string(yes ? "--yes" : "--no") + (expert ? " --expert" : "");
                const TRun author = RunProgram(CliPath, options + " author --xml-only " + c.Options + " --output " +
                                                            Quoted(xml) + " " + Quoted(Sample(c.File)));
                const unsigned expected = (expert ? c.Expert : c.Plain)[yes ? 0 : 1];
                EXPECT_EQ(author.ExitCode, expected) << c.File << " " << c.Options << " " << options << "\n"
                                                     << author.Text();
                EXPECT_EQ(fs::exists(xml), expected == 0) << c.File << " " << c.Options << " " << options;
                if (expected != 0)
                    EXPECT_NE(author.Text().find("1 of 1 files could not be added to the project:\n  " +
                                                 Sample(c.File).string()),
                              std::string::npos)
                        << author.Text();
            }

    // The stored setting switches expert mode on as --expert does.
    UsePortableCli("[Lumora]\r\nExpertMode=1\r\n");
    const fs::path xml = Folder.Path() / "stored-expert.xml";
    const TRun stored = RunProgram(CliPath, "--yes author --xml-only --type vcd20 --output " + Quoted(xml) + " " +
                                                Quoted(Sample("pal_svcd_8s.mpg")));
    EXPECT_EQ(stored.ExitCode, 0u) << stored.Text();
    EXPECT_NE(stored.Text().find("VCD1.1/VCD2.0 requires MPEG1 files, not MPEG2 files"), std::string::npos);
}

TEST_F(CliAuthoring, EveryRefusedFileIsNamedWithItsReason) {
    const fs::path vob = Folder.Path() / "clip.vob";
    fs::copy_file(Sample("pal_vcd_8s_1.mpg"), vob);
    const fs::path missing = Folder.Path() / "nothere.mpg";
    const TRun analyse = Cli("analyse " + Quoted(vob) + " " + Quoted(missing));
    EXPECT_EQ(analyse.ExitCode, 1u);
    EXPECT_NE(analyse.Text().find("Invalid MPEG/MPG/M1P/M2P filename:\n  " + vob.string()), std::string::npos)
        << analyse.Text();
    EXPECT_NE(analyse.Text().find("The file \"" + missing.string() + "\" does not exist"), std::string::npos);
    EXPECT_NE(analyse.Text().find("2 of 2 files could not be analysed"), std::string::npos);

    const fs::path folder = Folder.Path() / "folder.mpg";
    fs::create_directory(folder);
    const fs::path pipe = Folder.Path() / "pipe.mpg";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const fs::path zero = Folder.Path() / "zero.mpg";
    fs::create_symlink("/dev/zero", zero);
    const fs::path dangling = Folder.Path() / "dangling.mpg";
    fs::create_symlink(Folder.Path() / "gone.mpg", dangling);
    const fs::path xml = Folder.Path() / "refused.xml";
    const TRun author =
        Cli("author --xml-only --output " + Quoted(xml) + " " + Quoted(Sample("pal_vcd_8s_1.mpg")) + " " +
            Quoted(missing) + " " + Quoted(folder) + " " + Quoted(pipe) + " " + Quoted(zero) + " " + Quoted(dangling));
    EXPECT_EQ(author.ExitCode, 1u);
    for (const fs::path& path : {missing, dangling})
        EXPECT_NE(author.Text().find("The file \"" + path.string() + "\" does not exist"), std::string::npos)
            << author.Text();
    for (const fs::path& path : {folder, pipe, zero})
        EXPECT_NE(author.Text().find("\"" + path.string() + "\" is not a regular file"), std::string::npos)
            << author.Text();
    EXPECT_NE(author.Text().find("5 of 6 files were refused:\n  " + missing.string() + "\n  " + folder.string()),
              std::string::npos)
        << author.Text();
    EXPECT_FALSE(fs::exists(xml));
}

TEST_F(CliAuthoring, ChapterValuesThatCannotBeMadeFailTheJob) {
    const std::string film = Quoted(Sample("pal_vcd_8s_1.mpg"));
    struct TCase {
        const char* Options;
        unsigned ExitCode;
        const char* Said;
    };
    const TCase cases[] = {
        {"--chapters-every nan", 2, "Invalid chapter interval \"nan\""},
        {"--chapters-every 1e-9", 2, "Invalid chapter interval \"1e-9\""},
        {"--chapters-every 0", 2, "Invalid chapter interval \"0\""},
        {"--chapters inf", 2, "Invalid chapter time \"inf\""},
        {"--chapters-every 0.05", 1, "Too many chapters will be created..."},
        {"--chapters 30", 1, "0:00:30.000 - Value bigger than the Mpeg duration..."},
        {"--chapters-every 7", 0, "No chapter every 0:00:07.000 fits in \"pal_vcd_8s_1.mpg\""},
        {"--chapters-every 0:00:02.500", 0, "xml: "},
    };
    int run = 0;
    for (const TCase& c : cases) {
        const fs::path xml = Folder.Path() / ("chapters" + std::to_string(++run) + ".xml");
        const TRun author =
            Cli("author --xml-only " + std::string(c.Options) + " --output " + Quoted(xml) + " " + film);
        EXPECT_EQ(author.ExitCode, c.ExitCode) << c.Options << "\n" << author.Text();
        EXPECT_NE(author.Text().find(c.Said), std::string::npos) << c.Options << "\n" << author.Text();
        EXPECT_EQ(fs::exists(xml), c.ExitCode == 0) << c.Options;
    }
    // A chapter beyond the end of one of several files names that file.
    const fs::path shortFile = Sample("pal_vcd_5s.mpg");
    const TRun some = Cli("author --chapters 6.5 --xml-only --output " + Quoted(Folder.Path() / "some.xml") + " " +
                          film + " " + Quoted(shortFile));
    EXPECT_EQ(some.ExitCode, 1u) << some.Text();
    EXPECT_NE(some.Text().find("The chapters of \"" + shortFile.string() + "\" could not all be made"),
              std::string::npos)
        << some.Text();
    EXPECT_EQ(some.Text().find("The chapters of \"" + Sample("pal_vcd_8s_1.mpg").string()), std::string::npos);
    EXPECT_FALSE(fs::exists(Folder.Path() / "some.xml"));

    // Chapters every 2.5 s on 8 s: near 2.5 and 5 (at access points), none
    // within the last two seconds.
    const std::string xml = ReadWholeFile((Folder.Path() / "chapters8.xml").string());
    EXPECT_NE(xml.find("<entry id=\"Chapter-0001-02\">2."), std::string::npos) << xml;
    EXPECT_NE(xml.find("<entry id=\"Chapter-0001-03\">4."), std::string::npos) << xml;
    EXPECT_EQ(xml.find("Chapter-0001-04"), std::string::npos) << xml;
}

TEST_F(CliAuthoring, IsoFilesLandOnTheDiscUnderUniqueNames) {
    const fs::path one = Folder.Path() / "holiday photos 1.txt";
    const fs::path two = Folder.Path() / "holiday photos 2.txt";
    std::ofstream(one) << "first";
    std::ofstream(two) << "second";
    const fs::path docs = Folder.Path() / "my docs";
    fs::create_directories(docs / "sub");
    std::ofstream(docs / "notes.txt") << "notes";
    std::ofstream(docs / "sub" / "deep.txt") << "deep";

    const fs::path image = Folder.Path() / "files.bin";
    const fs::path project = Folder.Path() / "files.dsv";
    const TRun author = Cli("author --output " + Quoted(image) + " --save " + Quoted(project) + " " +
                            Quoted(Sample("pal_vcd_8s_1.mpg")) + " --iso-files " + Quoted(one) + " " + Quoted(two) +
                            " " + Quoted(docs));
    ASSERT_EQ(author.ExitCode, 0u) << author.Text();
    // The saved project keeps the names: its image is the same.
    const fs::path rebuilt = Folder.Path() / "rebuilt-files.bin";
    const TRun build = Cli("build " + Quoted(project) + " --output " + Quoted(rebuilt));
    ASSERT_EQ(build.ExitCode, 0u) << build.Text();
    EXPECT_TRUE(ReadWholeFile(rebuilt.string()) == ReadWholeFile(image.string()));
    const TRun info =
        RunProgram("vcd-info", "--no-banner --cue-file " + Quoted(fs::path(image).replace_extension(".cue")));
    ASSERT_EQ(info.ExitCode, 0u) << info.Text();
    for (const char* entry :
         {"HOLIDAY_.TXT;1", "HOLIDA_1.TXT;1", "MY_DOCS", "/MY_DOCS/:", "NOTES.TXT;1", "/MY_DOCS/SUB/:", "DEEP.TXT;1"})
        EXPECT_NE(info.Text().find(entry), std::string::npos) << entry << "\n" << info.Text();

    // The files come back from the image as they went in.
    const fs::path ripFolder = Folder.Path() / "rip-files";
    fs::create_directories(ripFolder);
    const TRun rip =
        Cli("rip " + Quoted(fs::path(image).replace_extension(".cue")) + " --xml " + Quoted(ripFolder / "rip.xml"));
    ASSERT_EQ(rip.ExitCode, 0u) << rip.Text();
    const std::string ripped = ReadWholeFile((ripFolder / "rip.xml").string());
    for (const char* name : {"HOLIDAY_.TXT", "HOLIDA_1.TXT", "NOTES.TXT", "DEEP.TXT"})
        EXPECT_NE(ripped.find(name), std::string::npos) << name << "\n" << ripped;

    // A file that is not there, or a folder of the disc structure: said, and no image.
    const fs::path refused = Folder.Path() / "refused.bin";
    const fs::path vcd = Folder.Path() / "vcd";
    fs::create_directories(vcd);
    std::ofstream(vcd / "x.txt") << "x";
    // Nine folder levels: the ninth cannot be on the disc, and the job says so.
    fs::path deep = Folder.Path() / "deep";
    for (int level = 2; level <= 9; ++level) deep /= "level" + std::to_string(level);
    fs::create_directories(deep);
    std::ofstream(deep / "far.txt") << "far";
    for (const fs::path& path : {Folder.Path() / "missing.txt", vcd, Folder.Path() / "deep"}) {
        const TRun failed = Cli("author --output " + Quoted(refused) + " " + Quoted(Sample("pal_vcd_8s_1.mpg")) +
                                " --iso-files " + Quoted(path));
        EXPECT_EQ(failed.ExitCode, 1u) << failed.Text();
        EXPECT_NE(failed.Text().find("error:"), std::string::npos) << failed.Text();
        EXPECT_FALSE(fs::exists(refused));
        if (path.filename() == "deep")
            EXPECT_NE(failed.Text().find("\"" + deep.string() + "\" lies too deep"), std::string::npos)
                << failed.Text();
    }
}

TEST_F(CliAuthoring, ValuesBeyondTheirLimitsAreRefusedWhereTheyEnter) {
    const std::string film = Quoted(Sample("pal_vcd_8s_1.mpg"));
    const fs::path xml = Folder.Path() / "limits.xml";
    const TRun label =
        Cli("author --xml-only --label " + std::string(33, 'L') + " --output " + Quoted(xml) + " " + film);
    EXPECT_EQ(label.ExitCode, 2u);
    EXPECT_NE(label.Text().find("is longer than 32 characters"), std::string::npos) << label.Text();
    const TRun album = Cli("author --xml-only --album ALBUM_NAME_OF_SEVENTEEN --output " + Quoted(xml) + " " + film);
    EXPECT_EQ(album.ExitCode, 2u);
    EXPECT_NE(album.Text().find("The album name \"ALBUM_NAME_OF_SEVENTEEN\" is longer than 16 characters"),
              std::string::npos)
        << album.Text();
    EXPECT_FALSE(fs::exists(xml));

    // A stored option out of its range stops the generation with its reason.
    UsePortableCli("[Lumora]\r\nCustomizeGaps=1\r\nLeadoutPreGap=5000\r\n");
    const TRun gaps = Cli("author --xml-only --output " + Quoted(xml) + " " + film);
    EXPECT_EQ(gaps.ExitCode, 1u) << gaps.Text();
    EXPECT_NE(gaps.Text().find("The leadout pregap must be between 0 and 300, not 5000"), std::string::npos)
        << gaps.Text();
    EXPECT_FALSE(fs::exists(xml));
}

}  // namespace
