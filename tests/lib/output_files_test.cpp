#include "lib/output_files.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "lib/safe_file.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A process id that no running process has: a child that has been reaped.
pid_t DeadProcessId() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return child;
}

TEST(OutputFiles, ABaseMovesEverythingWrittenUnderItOnCommitAndNothingOtherwise) {
    struct TCase {
        const char* Name;
        bool Commit;
        std::vector<std::string> Expected;
    };
    const std::vector<TCase> cases = {
        {"committed", true, {"disc.bin", "disc.cue", "disc_01.img", "notes.txt"}},
        {"discarded", false, {"disc.bin", "notes.txt"}},
    };
    for (const TCase& c : cases) {
        TTempFolder folder;
        folder.Write("disc.bin", "old image");
        folder.Write("notes.txt", "the user's");
        {
            TOutputFiles outputs;
            const std::string work = outputs.Base(folder.File("disc"));
            EXPECT_EQ(fs::path(work).parent_path(), folder.Path()) << "beside the final name";
            EXPECT_LE(fs::path(work).filename().string().size(), 40u);
            Write(work + ".bin", "new image");
            Write(work + ".cue", "sheet");
            Write(work + "_01.img", "track");
            EXPECT_EQ(outputs.FinalPath(work + "_01.img"), folder.File("disc_01.img"));
            EXPECT_EQ(outputs.Written().size(), 3u);
            if (c.Commit) {
                std::string error;
                EXPECT_TRUE(outputs.Commit(&error)) << error;
            }
        }  // an uncommitted set is discarded when it goes
        EXPECT_EQ(FileNames(folder.Path()), c.Expected) << c.Name;
        EXPECT_EQ(ReadWholeFile(folder.File("disc.bin")), c.Commit ? "new image" : "old image") << c.Name;
    }
}

TEST(OutputFiles, AFolderMovesItsEntriesIntoTheFinalFolder) {
    TTempFolder folder;
    folder.Write("avseq01.mpg", "old");
    fs::create_directories(folder.Path() / "ext");
    folder.Write("ext/kept.txt", "kept");
    TOutputFiles outputs;
    const std::string work = outputs.Folder(folder.Path().string());
    EXPECT_FALSE(fs::exists(work)) << "only named, created by the job";
    fs::create_directories(fs::path(work) / "ext");
    Write(work + "/avseq01.mpg", "new");
    Write(work + "/rip.xml", "xml");
    Write(work + "/ext/psd.vcd", "psd");
    EXPECT_EQ(outputs.FinalPath(work + "/rip.xml"), folder.File("rip.xml"));
    EXPECT_EQ(outputs.Written().size(), 3u);
    ASSERT_TRUE(outputs.Commit());
    EXPECT_EQ(FileNames(folder.Path()), (std::vector<std::string>{"avseq01.mpg", "ext", "rip.xml"}));
    EXPECT_EQ(ReadWholeFile(folder.File("avseq01.mpg")), "new");
    EXPECT_EQ(FileNames(folder.Path() / "ext"), (std::vector<std::string>{"kept.txt", "psd.vcd"}));
}

TEST(OutputFiles, AFailedMoveReportsAndLeavesNoTemporaryFile) {
    TTempFolder folder;
    fs::create_directories(folder.Path() / "disc.bin" / "inside");  // a folder cannot be replaced by a file
    TOutputFiles outputs;
    const std::string work = outputs.Base(folder.File("disc"));
    Write(work + ".bin", "image");
    std::string error;
    EXPECT_FALSE(outputs.Commit(&error));
    EXPECT_NE(error.find("disc.bin"), std::string::npos) << error;
    EXPECT_EQ(FileNames(folder.Path()), (std::vector<std::string>{"disc.bin"}));
}

TEST(OutputFiles, TemporaryFilesOfRunsThatAreGoneAreRemovedByTheNextOne) {
    TTempFolder folder;
    TTempFolder elsewhere;
    // "<prefix><host>-<pid>-<serial>~": this machine's tag, from a name made here.
    const std::string made = fs::path(TemporaryNameBeside(elsewhere.File("x"))).filename().string();
    const std::string prefix = ".lumora-tmp-";
    ASSERT_EQ(made.find(prefix), 0u) << made;
    EXPECT_TRUE(IsTemporaryOutputName(made));
    const std::string host = made.substr(prefix.size(), 8);
    const std::string dead = std::to_string(DeadProcessId());
    const std::string alive = std::to_string(getppid());
    const std::string other = host == "00000000" ? "00000001" : "00000000";
    folder.Write(prefix + host + "-" + dead + "-0~.bin", "left by a killed run");
    fs::create_directories(folder.Path() / (prefix + host + "-" + dead + "-1~") / "sub");
    const std::vector<std::string> kept = {
        prefix + host + "-" + alive + "-0~.bin",  // another run still writing
        prefix + other + "-" + dead + "-0~.bin",  // a run on another machine sharing the folder
        prefix + "x-" + dead + "-0~.bin",         // not one of ours
        prefix + host + "-" + dead + "-0.bin",    // not one of ours either
    };
    for (const std::string& name : kept) folder.Write(name, "kept");
    TOutputFiles outputs;
    outputs.Base(folder.File("disc"));
    std::vector<std::string> expected = kept;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FileNames(folder.Path()), expected);
}

TEST(OutputFiles, ANameThatUsesTheWholeLimitStillSaves) {
    TTempFolder folder;
    const std::string name = std::string(251, 'n') + ".dsv";
    ASSERT_EQ(name.size(), 255u);
    std::string error;
    ASSERT_TRUE(SaveFileSafely(folder.File(name), "first", &error)) << error;
    ASSERT_TRUE(SaveFileSafely(folder.File(name), "second", &error)) << error;
    EXPECT_EQ(ReadWholeFile(folder.File(name)), "second");
    EXPECT_EQ(FileNames(folder.Path()), (std::vector<std::string>{name}));

    TOutputFiles outputs;
    const std::string base = folder.File(std::string(251, 'b'));
    Write(outputs.Base(base) + ".bin", "image");
    ASSERT_TRUE(outputs.Commit(&error)) << error;
    EXPECT_TRUE(fs::exists(base + ".bin"));
}

}  // namespace
