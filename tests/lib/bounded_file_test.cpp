#include "lib/bounded_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "lib/file_identity.h"
#include "lib/ini_file.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

class BoundedFile : public ::testing::Test {
protected:
    TTempFolder Folder;

    // A sparse file: its size without the disk space.
    std::string Sparse(const std::string& name, std::uint64_t size) {
        const std::string path = Folder.Write(name, "[Lumora]\nLanguage=French\n");
        EXPECT_EQ(truncate(path.c_str(), static_cast<off_t>(size)), 0);
        return path;
    }
};

TEST_F(BoundedFile, ReadsOnlyRegularFilesWithinTheLimit) {
    const std::string fifo = Folder.File("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", Folder.File("zero.ini"));
    struct TCase {
        std::string Path;
        TFileReadResult Result;
    };
    const TCase cases[] = {
        {Folder.Write("small.ini", "12345"), TFileReadResult::Read},
        {Folder.Write("exact.ini", std::string(64, 'x')), TFileReadResult::Read},
        {Folder.Write("over.ini", std::string(65, 'x')), TFileReadResult::TooLarge},
        {Folder.File("missing.ini"), TFileReadResult::Missing},
        {fifo, TFileReadResult::NotRegular},
        {Folder.File("zero.ini"), TFileReadResult::NotRegular},
        {Folder.Path().string(), TFileReadResult::NotRegular},
    };
    for (const TCase& c : cases) {
        const TBoundedFile file = ReadBoundedFile(c.Path, 64);
        EXPECT_EQ(file.Result, c.Result) << c.Path;
        if (c.Result != TFileReadResult::Read) {
            EXPECT_TRUE(file.Bytes.empty()) << c.Path;
        }
    }
    EXPECT_EQ(ReadBoundedFile(Folder.File("small.ini"), 64).Bytes, "12345");
    EXPECT_EQ(BoundedReadProblem(ReadBoundedFile(Folder.File("over.ini"), 64), 64),
              "is too large (65 bytes, at most 64)");
}

TEST_F(BoundedFile, AnIniFileThatCannotBeReadIsReportedAndNeverReplaced) {
    const std::string fifo = Folder.File("Lumora.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    TIniFile fromFifo(fifo);  // would block for ever on a plain open and read
    EXPECT_EQ(fromFifo.LoadProblem(), "is not a regular file");
    fromFifo.WriteString("Lumora", "Language", "English");
    EXPECT_FALSE(fromFifo.UpdateFile());
    struct stat info {};
    ASSERT_EQ(lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    const std::string huge = Sparse("huge.ini", 3ull << 30);
    TIniFile fromHuge(huge);
    EXPECT_NE(fromHuge.LoadProblem().find("is too large"), std::string::npos);
    EXPECT_FALSE(fromHuge.Read("Lumora", "Language"));
    EXPECT_FALSE(fromHuge.UpdateFile());
    EXPECT_EQ(fs::file_size(huge), 3ull << 30);

    TIniFile missing(Folder.File("new.ini"));
    EXPECT_EQ(missing.LoadProblem(), "");
    missing.WriteString("Lumora", "Language", "English");
    EXPECT_TRUE(missing.UpdateFile());
}

TEST_F(BoundedFile, SameFileIsDecidedByIdentityNotByName) {
    const std::string file = Folder.Write("clip.mpg", "one");
    const std::string upper = Folder.Write("CLIP.MPG", "two");
    fs::create_hard_link(file, Folder.File("hard.mpg"));
    fs::create_symlink(file, Folder.File("soft.mpg"));
    EXPECT_TRUE(SameFile(file, Folder.File("hard.mpg")));
    EXPECT_TRUE(SameFile(file, Folder.File("soft.mpg")));
    EXPECT_TRUE(SameFile(file, (Folder.Path() / "." / "clip.mpg").string()));
    EXPECT_FALSE(SameFile(file, upper));
    EXPECT_FALSE(SameFile(file, Folder.File("new.mpg")));
    EXPECT_TRUE(SameFile(Folder.File("new.mpg"), (Folder.Path() / "x" / ".." / "new.mpg").string()));
    EXPECT_FALSE(SameFile(Folder.File("new.mpg"), Folder.File("NEW.mpg")));
}

}  // namespace
