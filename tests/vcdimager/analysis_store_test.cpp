#include "vcdimager/analysis_store.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "lib/crc32.h"
#include "model/mpeg_file.h"
#include "support/temp_folder.h"
#include "writers/integrity_text_file.h"

namespace {

const TStringList ToolLines = {
    R"(<mpeg-info src="movie.mpg">)",         R"(  <mpeg-properties>)",  R"(    <version>1</version>)",
    R"(       <!-- motion video stream -->)", R"(  </mpeg-properties>)", R"(</mpeg-info>)",
};

// Restores the store options a test changed.
class TStoreOptionsScope {
public:
    TStoreOptionsScope() : Saved(AnalysisStoreOptions()) {}
    ~TStoreOptionsScope() { AnalysisStoreOptions() = Saved; }
    TStoreOptionsScope(const TStoreOptionsScope&) = delete;
    TStoreOptionsScope& operator=(const TStoreOptionsScope&) = delete;

private:
    TAnalysisStoreOptions Saved;
};

void OverwriteByte(const std::string& path, std::streamoff at, char value) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(at);
    file.put(value);
}

class AnalysisStore : public ::testing::Test {
protected:
    TStoreOptionsScope Options;
    TTempFolder Folder;
    std::string MpegPath = Folder.Write("movie.mpg", std::string(100000, 'x'));

    static std::optional<TStringList> Load(const std::string& path, bool relaxed = false) {
        const TMpegFile file(path, true);
        return LoadMpegAnalysis(file, relaxed);
    }
    static bool Save(const std::string& path, bool relaxed = false) {
        const TMpegFile file(path, true);
        return SaveMpegAnalysis(file, ToolLines, relaxed);
    }
};

TEST(AnalysisFileName, TheExtensionIsAppended) {
    EXPECT_EQ(GetAnalysisFileName("/v/movie.mpg", false), "/v/movie.mpg.vxm");
    EXPECT_EQ(GetAnalysisFileName("/v/movie.mpg", true), "/v/movie.mpg.vxr");
    EXPECT_EQ(GetAnalysisFileName("/v/movie.mpg.VXM", false), "/v/movie.mpg.VXM");
    EXPECT_EQ(GetAnalysisFileName("/v/movie.vxm", true), "/v/movie.vxm.vxr");
}

TEST(CommentValue, TheLastMatchingCommentIsTakenAndRemoved) {
    TStringList lines = {"<!-- FileSize 1 -->", "<x>filesize</x>", "  <!-- filesize 2a -->", "<y/>"};
    EXPECT_EQ(TakeCommentValue(lines, "FILESIZE"), "2A");
    EXPECT_EQ(lines, (TStringList{"<!-- FileSize 1 -->", "<x>filesize</x>", "<y/>"}));
    EXPECT_EQ(TakeCommentValue(lines, "filesize"), "1");
    EXPECT_EQ(TakeCommentValue(lines, "filesize"), "");
    EXPECT_EQ(lines, (TStringList{"<x>filesize</x>", "<y/>"}));
}

TEST_F(AnalysisStore, SavedLinesComeBackForTheSameFile) {
    for (const bool scrambled : {true, false}) {
        AnalysisStoreOptions().Scrambled = scrambled;
        ASSERT_TRUE(Save(MpegPath));
        const std::string stored = ReadWholeFile(MpegPath + ".vxm");
        EXPECT_EQ(IsScrambled(stored), scrambled);
        const auto lines = Load(MpegPath);
        ASSERT_TRUE(lines.has_value());
        EXPECT_EQ(*lines, ToolLines);
    }
}

TEST_F(AnalysisStore, ThePlainFormHoldsSizeFingerprintAndIntegrity) {
    AnalysisStoreOptions().Scrambled = false;
    ASSERT_TRUE(Save(MpegPath));
    const TMpegFile file(MpegPath, true);
    TStringList expected = ToolLines;
    expected.push_back("<!-- filesize 100000 -->");
    expected.push_back("<!-- mpeg_file_fingerprint " + file.Crc() + " -->");
    // The last 64 KiB of the 100,000 bytes, all "x".
    expected.push_back("<!-- mpeg_tail_fingerprint " + Crc32Text(Crc32(std::string(65536, 'x'))) + " -->");
    const std::string text = LinesToText(expected);
    EXPECT_EQ(ReadWholeFile(MpegPath + ".vxm"), text + IntegrityLine(text) + "\r\n");
}

TEST_F(AnalysisStore, NormalAndRelaxedAnalysesAreKeptApart) {
    ASSERT_TRUE(Save(MpegPath, true));
    EXPECT_FALSE(Load(MpegPath, false).has_value());
    EXPECT_TRUE(Load(MpegPath, true).has_value());
    EXPECT_TRUE(std::filesystem::exists(MpegPath + ".vxr"));
    EXPECT_FALSE(std::filesystem::exists(MpegPath + ".vxm"));
}

// Sets the file's modification time `seconds` away from the stored file's.
void SetModified(const std::string& path, const std::string& stored, int seconds) {
    const auto time = std::filesystem::last_write_time(stored) + std::chrono::seconds(seconds);
    std::filesystem::last_write_time(path, time);
}

TEST_F(AnalysisStore, AChangedMpegFileMakesTheStoredAnalysisStale) {
    struct TCase {
        const char* What;
        void (*Change)(const std::string& path);
        bool StillValid;
    };
    // Each change but the last keeps the modification time older than the
    // stored file's, so that only the content decides.
    const TCase cases[] = {
        {"nothing", [](const std::string&) {}, true},
        {"byte inside the first 64 KiB", [](const std::string& p) { OverwriteByte(p, 65535, 'y'); }, false},
        {"first byte", [](const std::string& p) { OverwriteByte(p, 0, 'y'); }, false},
        {"byte beyond 64 KiB", [](const std::string& p) { OverwriteByte(p, 65536, 'y'); }, false},
        {"last byte", [](const std::string& p) { OverwriteByte(p, 99999, 'y'); }, false},
        {"size", [](const std::string& p) { std::filesystem::resize_file(p, 100001); }, false},
        {"modification time only", [](const std::string&) {}, false},
    };
    for (const TCase& test : cases) {
        const std::string path = Folder.Write(std::string("case.mpg"), std::string(100000, 'x'));
        ASSERT_TRUE(Save(path));
        test.Change(path);
        const bool newer = std::string(test.What) == "modification time only";
        SetModified(path, path + ".vxm", newer ? 2 : -2);
        EXPECT_EQ(Load(path).has_value(), test.StillValid) << test.What;
    }
}

TEST_F(AnalysisStore, AFilmAnalysedWhileDownloadingIsAnalysedAgainOnceComplete) {
    // Space taken in advance, filled with zeros: the size is final from the start.
    std::string film(200000, '\0');
    film.replace(0, 70000, std::string(70000, 'h'));
    const std::string path = Folder.Write("film.mpg", film);
    ASSERT_TRUE(Save(path));
    film.replace(70000, 130000, std::string(130000, 't'));
    std::ofstream(path, std::ios::binary | std::ios::trunc) << film;
    SetModified(path, path + ".vxm", -2);  // even with a copied-back old time
    EXPECT_FALSE(Load(path).has_value());
}

TEST_F(AnalysisStore, AnOversizedOrSpecialStoredFileIsNotRead) {
    ASSERT_TRUE(Save(MpegPath));
    const std::string stored = MpegPath + ".vxm";
    std::filesystem::resize_file(stored, MaxStoredAnalysisBytes + 1);
    SetModified(MpegPath, stored, -2);
    EXPECT_FALSE(Load(MpegPath).has_value());
    std::filesystem::remove(stored);
    std::filesystem::create_symlink("/dev/zero", stored);
    EXPECT_FALSE(Load(MpegPath).has_value());
}

TEST_F(AnalysisStore, AnEditedOrIncompleteStoredFileIsIgnored) {
    AnalysisStoreOptions().Scrambled = false;
    const auto edited = [](std::string text) { return text.replace(text.find("version"), 7, "versiom"); };
    const auto withoutLine = [](const char* key) {
        return [key](std::string text) {
            const std::size_t at = text.find(key);
            const std::size_t start = text.rfind("<!--", at);
            return text.erase(start, text.find("\r\n", at) + 2 - start);
        };
    };
    const std::function<std::string(std::string)> damages[] = {
        edited,
        withoutLine("filesize"),
        withoutLine("mpeg_file_fingerprint"),
        withoutLine("integrity"),
        [](std::string) { return std::string(); },
        [](std::string text) { return "BINARY\r" + text; },  // scrambled with another key
    };
    const std::string stored = MpegPath + ".vxm";
    for (std::size_t i = 0; i < std::size(damages); ++i) {
        ASSERT_TRUE(Save(MpegPath));
        const std::string text = damages[i](ReadWholeFile(stored));
        std::ofstream(stored, std::ios::binary | std::ios::trunc) << text;
        EXPECT_FALSE(Load(MpegPath).has_value()) << "damage " << i;
    }
}

TEST_F(AnalysisStore, ADescriptionForAnotherFileOfTheSameSizeIsNotReused) {
    ASSERT_TRUE(Save(MpegPath));
    const std::string other = Folder.Write("other.mpg", std::string(100000, 'z'));
    std::filesystem::copy_file(MpegPath + ".vxm", other + ".vxm");
    EXPECT_FALSE(Load(other).has_value());
}

TEST_F(AnalysisStore, NothingIsWrittenWhenStorageIsOffOrThereIsNothingToStore) {
    AnalysisStoreOptions().Disabled = true;
    EXPECT_FALSE(Save(MpegPath));
    AnalysisStoreOptions().Disabled = false;
    const TMpegFile file(MpegPath, true);
    EXPECT_FALSE(SaveMpegAnalysis(file, {}, false));
    EXPECT_FALSE(std::filesystem::exists(MpegPath + ".vxm"));
    std::filesystem::remove(MpegPath);
    EXPECT_FALSE(SaveMpegAnalysis(file, ToolLines, false));
    EXPECT_FALSE(std::filesystem::exists(MpegPath + ".vxm"));
}

TEST_F(AnalysisStore, AFailedWriteIsQuietAndLeavesNoTemporaryFile) {
    // A folder where the stored file would go makes the final rename fail.
    std::filesystem::create_directory(MpegPath + ".vxm");
    EXPECT_FALSE(Save(MpegPath));
    EXPECT_TRUE(std::filesystem::is_directory(MpegPath + ".vxm"));
    EXPECT_FALSE(Load(MpegPath).has_value());
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(Folder.Path())) ++entries;
    EXPECT_EQ(entries, 2);  // the MPEG file and that folder
}

}  // namespace
