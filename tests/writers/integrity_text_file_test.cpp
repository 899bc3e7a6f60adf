#include "writers/integrity_text_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "lib/crc32.h"
#include "support/temp_folder.h"
#include "lib/safe_file.h"

namespace {

std::string Text(std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += static_cast<char>('a' + i % 26);
    return text;
}

std::size_t CountFiles(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
    return count;
}

}  // namespace

TEST(Scrambling, InsertsACarriageReturnAfterEveryEightyBytes) {
    struct TCase {
        std::size_t length;
        std::size_t expectedSize;
        std::vector<std::size_t> crPositions;  // after the header
    };
    const TCase cases[] = {
        {0, 7, {}}, {79, 7 + 79, {}}, {80, 7 + 81, {80}}, {81, 7 + 82, {80}}, {160, 7 + 162, {80, 161}},
    };
    for (const TCase& c : cases) {
        const std::string text = Text(c.length);
        const std::string bytes = ScrambleText(text);
        SCOPED_TRACE(c.length);
        ASSERT_EQ(bytes.size(), c.expectedSize);
        EXPECT_EQ(bytes.substr(0, 7), "BINARY\r");
        for (std::size_t position : c.crPositions) EXPECT_EQ(bytes[7 + position], '\r');
        for (std::size_t i = 0, k = 0; i < text.size(); ++i, ++k) {
            if ((k + 1) % 81 == 0) ++k;
            ASSERT_EQ(static_cast<unsigned char>(bytes[7 + k]), static_cast<unsigned char>(text[i]) ^ ScrambleKey);
        }
        EXPECT_EQ(UnscrambleBytes(bytes), text);
    }
}

TEST(Scrambling, PlainBytesAreReadAsTheyAre) {
    EXPECT_FALSE(IsScrambled("<?xml version=\"1.0\"?>\r\n"));
    EXPECT_EQ(UnscrambleBytes("plain\r\ntext"), "plain\r\ntext");
    EXPECT_FALSE(IsScrambled("BINARY\n"));
}

TEST(StoredText, SavesLinesWithIntegrityAndReadsThemBack) {
    TTempFolder folder;
    const TStringList lines = {"<?xml version=\"1.0\"?>", "  <a b=\"c\"/>", "", "\xC3\xA9t\xC3\xA9 ok"};
    for (const bool scrambled : {false, true}) {
        SCOPED_TRACE(scrambled);
        const std::string path = folder.File(scrambled ? "s.txt" : "p.txt");
        ASSERT_TRUE(Strings_SaveToFile(path, lines, scrambled));
        const std::string bytes = ReadWholeFile(path);
        const std::string text = LinesToText(lines);
        const std::string expected = text + "<!-- integrity " + Crc32Text(Crc32(text)) + " -->\r\n";
        EXPECT_EQ(bytes, scrambled ? ScrambleText(expected) : expected);

        const auto stored = Strings_LoadFromFile(path);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->Lines, lines);
        EXPECT_TRUE(stored->HasIntegrity);
        EXPECT_TRUE(stored->IntegrityOk);
        EXPECT_EQ(stored->WasScrambled, scrambled);
    }
}

TEST(StoredText, IntegrityCoversOnlyTheFirst64KiB) {
    const TStringList lines = {std::string(70000, 'x')};
    const std::string text = LinesToText(lines);
    EXPECT_EQ(IntegrityLine(text), "<!-- integrity " + Crc32Text(Crc32(text.substr(0, 65536))) + " -->");
    TStoredText stored = ParseStoredText(text + IntegrityLine(text) + "\r\n");
    EXPECT_TRUE(stored.IntegrityOk);
    // A change beyond the first 64 KiB is not seen; this is the stored format.
    std::string changed = text;
    changed[66000] = 'y';
    EXPECT_TRUE(ParseStoredText(changed + IntegrityLine(text) + "\r\n").IntegrityOk);
}

TEST(StoredText, DetectsTamperedFiles) {
    const TStringList lines = {"<lumora format=\"1.0\">", "  <option name=\"tv system\" value=\"PAL\"/>", "</lumora>"};
    std::string good = LinesToText(lines);
    good += IntegrityLine(good) + "\r\n";
    struct TCase {
        const char* name;
        std::string bytes;
        bool hasIntegrity;
        bool ok;
    };
    std::string edited = good;
    edited[good.find("PAL")] = 'Q';
    std::string lowerCode = good;
    const std::size_t codeAt = good.find("integrity ") + 10;
    for (std::size_t i = codeAt; i < codeAt + 8; ++i) lowerCode[i] = static_cast<char>(std::tolower(lowerCode[i]));
    std::string otherKey = ScrambleText(good);
    for (std::size_t i = 7; i < otherKey.size(); ++i)
        if ((i - 6) % 81 != 0) otherKey[i] = static_cast<char>(otherKey[i] ^ ScrambleKey ^ 0x33);
    std::string lfOnly = ReplaceAll(good, "\r\n", "\n");
    const TCase cases[] = {
        {"intact", good, true, true},
        {"intact scrambled", ScrambleText(good), true, true},
        {"one character changed", edited, true, false},
        {"integrity line removed", LinesToText(lines), false, false},
        {"code in lower case", lowerCode, true, true},
        {"other key", otherKey, false, false},
        {"only line ends changed", lfOnly, true, true},  // the code covers the lines, not their ends
        {"empty file", "", false, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TStoredText stored = ParseStoredText(c.bytes);
        EXPECT_EQ(stored.HasIntegrity, c.hasIntegrity);
        EXPECT_EQ(stored.IntegrityOk, c.ok);
    }
}

TEST(StoredText, MissingFileGivesNothing) {
    TTempFolder folder;
    EXPECT_FALSE(Strings_LoadFromFile(folder.File("absent.dsv")));
    EXPECT_FALSE(Strings_LoadFromFile(folder.Path().string()));
}

TEST(SafeSave, ReplacesTheOldFileAndKeepsItsMode) {
    TTempFolder folder;
    const std::string path = folder.Write("project.dsv", "old");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ASSERT_TRUE(SaveFileSafely(path, "new content"));
    EXPECT_EQ(ReadWholeFile(path), "new content");
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(CountFiles(folder.Path()), 1u);
}

TEST(SafeSave, AFailedSaveLeavesTheOldFileIntact) {
    TTempFolder folder;
    const std::string path = folder.Write("project.dsv", "old content");

    // A disk that fills up while writing: the file size limit makes write() fail.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string error;
    const bool saved_ok = Strings_SaveToFile(path, {std::string(5000, 'z')}, true, &error);
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(saved_ok);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadWholeFile(path), "old content");
    EXPECT_EQ(CountFiles(folder.Path()), 1u) << "the temporary file must be removed";

    // A folder that does not exist.
    EXPECT_FALSE(SaveFileSafely(folder.File("missing/project.dsv"), "x", &error));
    // A target that cannot be replaced (a non-empty folder of that name).
    folder.Write("busy.dsv/inside", "keep");
    EXPECT_FALSE(SaveFileSafely(folder.File("busy.dsv"), "x"));
    EXPECT_EQ(ReadWholeFile(folder.File("busy.dsv/inside")), "keep");
    EXPECT_EQ(CountFiles(folder.Path()), 2u);
}
