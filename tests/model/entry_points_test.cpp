#include "model/entry_points.h"

#include <gtest/gtest.h>

#include "model/mpeg_file.h"

TEST(TimeText, Validity) {
    for (const char* text : {"0:00:00.000", "0:75:99.000", "9:59:59.999"}) EXPECT_TRUE(IsValidTimeText(text)) << text;
    for (const char* text : {"0:00:00,000", "00:00:00.000", "0:00:00.00", "a:00:00.000", "0-00-00.000", ""})
        EXPECT_FALSE(IsValidTimeText(text)) << text;
}

TEST(TimeText, Conversions) {
    struct TCase {
        const char* Time;
        const char* Seconds;
        std::int64_t Ms;
    };
    const TCase cases[] = {
        {"0:00:00.000", "0.000", 0},
        {"0:01:05.500", "65.500", 65500},
        {"1:00:00.001", "3600.001", 3600001},
        {"0:0x:05.500", "5.500", 5500},  // a field that is not a number counts as 0
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimeTextToSecondsText(c.Time), c.Seconds) << c.Time;
        EXPECT_EQ(TimeTextToMs(c.Time), c.Ms) << c.Time;
    }

    EXPECT_EQ(MsToTimeText(3723004), "1:02:03.004");
    EXPECT_EQ(MsToTimeText(0), "0:00:00.000");
    const std::string tenHours = MsToTimeText(36000000);
    EXPECT_EQ(tenHours, "10:00:00.000");
    EXPECT_FALSE(IsValidTimeText(tenHours));

    struct TSecondsCase {
        const char* Seconds;
        const char* Time;
    };
    const TSecondsCase seconds[] = {
        {"65.500", "0:01:05.500"},   {"65", "0:01:05.000"},    {"65.5", "0:01:05.500"},
        {"65.12345", "0:01:05.123"}, {"x.500", "0:00:00.500"}, {"3661.x", "1:01:01.000"},
    };
    for (const auto& c : seconds) EXPECT_EQ(SecondsTextToTimeText(c.Seconds), c.Time) << c.Seconds;
}

TEST(TimeText, PastedNotations) {
    struct TCase {
        const char* Clipboard;
        const char* Pasted;
    };
    const TCase cases[] = {
        {"01:02:03:45", "1:02:03.450"},  // HH:MM:SS:cc
        {"01:02:03.45", "1:02:03.450"},  // HH:MM:SS.cc
        {"02:03,45", "0:02:03.450"},     // MM:SS,cc
        {"01:02:03,45", "1:02:03.450"},  // HH:MM:SS,cc
        {"0:02:03.450", "0:02:03.450"},  // already a time text
        {"0a:02:03:45", "0a:02:03:45"},  // not digits: left to the mask
        {"hello", "hello"},
    };
    for (const auto& c : cases) EXPECT_EQ(PastedTimeText(c.Clipboard), c.Pasted) << c.Clipboard;
}

TEST(TimeText, TypedTensAboveFiveBecomeZero) {
    std::string text = "0:70:00.000";
    EXPECT_EQ(MendTypedTimeText(text), 2);
    EXPECT_EQ(text, "0:00:00.000");
    text = "0:59:95.000";
    EXPECT_EQ(MendTypedTimeText(text), 5);
    EXPECT_EQ(text, "0:59:05.000");
    text = "9:59:59.999";
    EXPECT_EQ(MendTypedTimeText(text), -1);
}

TEST(IntegerList, AddFindSort) {
    TIntegerList list;
    for (int value : {30, -5, 10}) list.Add(value);
    EXPECT_EQ(list.IndexOf(10), 2);
    EXPECT_EQ(list.IndexOf(11), -1);
    list.Sort();
    EXPECT_EQ(list.Items(), (std::vector<std::int32_t>{-5, 10, 30}));
    EXPECT_TRUE(list.Contains(-5));
}

namespace {

std::vector<std::string> PlayItemIds(const TEntryPointsList& list) {
    std::vector<std::string> ids;
    for (int i = 0; i < list.Count(); ++i) ids.push_back(list.SelectionAt(i)->PlayItemId());
    return ids;
}

}  // namespace

TEST(EntryPoints, IdentifiersAndCaptionsFollowTheFileNumber) {
    TMpegFile file("/nowhere/movie.mpg", true);
    TEntryPointsList& list = file.EntryPoints();
    list.Add("0:02:00.000", true);
    list.Add("0:01:00.000", true);
    EXPECT_EQ(list.Texts(), (TStringList{"0:00:00.000", "0:01:00.000", "0:02:00.000"}));
    EXPECT_EQ(PlayItemIds(list),
              (std::vector<std::string>{"Sequence-0001-01", "   Chapter-0001-02", "   Chapter-0001-03"}));
    EXPECT_EQ(list.SelectionAt(0)->DefaultEntryId(), "   Chapter-0001-01");
    EXPECT_EQ(list.SelectionAt(0)->EntryKind(), TEntryKind::SequenceStart);
    EXPECT_EQ(list.SelectionAt(2)->EntryKind(), TEntryKind::Chapter);

    file.SetIndex(4);
    EXPECT_EQ(PlayItemIds(list),
              (std::vector<std::string>{"Sequence-0005-01", "   Chapter-0005-02", "   Chapter-0005-03"}));
    // The caption name is the file name, empty for a file that is not on disk.
    EXPECT_EQ(list.SelectionAt(1)->Caption(), "   Chapter-0005-02 - 0:01:00.000 - ");

    // Deleting the first chapter renames the one behind it.
    list.Delete(1);
    EXPECT_EQ(PlayItemIds(list), (std::vector<std::string>{"Sequence-0005-01", "   Chapter-0005-02"}));
    EXPECT_EQ(list.TimeAt(1), "0:02:00.000");
    EXPECT_EQ(list.SelectionAt(2), nullptr);
    EXPECT_EQ(list.TimeAt(2), "");
}

TEST(EntryPoints, StillIdentifiers) {
    TMpegFile file("/nowhere/picture.mpg", false);
    file.SetIndex(11);
    const TPbcSelection* start = file.EntryPoints().SelectionAt(0);
    EXPECT_EQ(start->PlayItemId(), "Segment-0012");
    EXPECT_EQ(start->DefaultEntryId(), "Segment-0012");
    EXPECT_EQ(start->EntryKind(), TEntryKind::Segment);
    EXPECT_EQ(start->Caption(), "Segment-0012 - ");
}

TEST(EntryPoints, AddingAnExistingTimeKeepsItsSelection) {
    TMpegFile file("/nowhere/movie.mpg", true);
    TEntryPointsList& list = file.EntryPoints();
    const int at = list.Add("0:01:00.000", true);
    TPbcSelection* selection = list.SelectionAt(at);
    selection->SetWaitTime(9);
    EXPECT_EQ(list.Add("0:01:00.000", true), at);
    EXPECT_EQ(list.SelectionAt(at), selection);
    EXPECT_EQ(selection->WaitTime(), 9);
}

TEST(EntryPoints, NewSelectionsTakeTheProjectDefaults) {
    TPbcDefaults saved = PbcDefaults();
    PbcDefaults() = {7, false};
    TMpegFile file("/nowhere/movie.mpg", true);
    const TPbcSelection* chapter = file.EntryPoints().SelectionAt(file.EntryPoints().Add("0:00:10.000", true));
    PbcDefaults() = saved;

    EXPECT_EQ(chapter->DefaultKeyTarget(), nullptr);
    EXPECT_FALSE(chapter->DefaultKeyAuto());
    EXPECT_EQ(chapter->ReturnTarget(), &EndSelection());
    EXPECT_FALSE(chapter->ReturnAuto());
    EXPECT_EQ(chapter->WaitTime(), 7);
    EXPECT_TRUE(chapter->WaitAuto());
    EXPECT_EQ(chapter->TimeoutTarget(), &EndSelection());
    EXPECT_TRUE(chapter->JumpImmediate());
    EXPECT_EQ(chapter->LoopCount(), 1);
    EXPECT_EQ(chapter->NumericMode(), TNumericMode::None);
}

TEST(EntryPoints, NumericKeysFromTheFirstKey) {
    TMpegFile file("/nowhere/movie.mpg", true);
    file.AddEntryPoint("0:01:00.000", true);
    file.SetFirstNumericKey(3);
    TEntryPointsList& list = file.EntryPoints();
    for (int entry = 0; entry < list.Count(); ++entry) {
        const TPbcSelection* selection = list.SelectionAt(entry);
        ASSERT_EQ(selection->NumericMode(), TNumericMode::Automatic);
        for (int key = 1; key <= NumericKeyCount; ++key) {
            const TPbcSelection* expected = key == 3 ? list.SelectionAt(0) : key == 4 ? list.SelectionAt(1) : nullptr;
            EXPECT_EQ(selection->NumericKey(key), expected) << "entry " << entry << " key " << key;
        }
    }

    // Out of range first keys become 1: key 1 is the start, key 2 the chapter.
    for (int key : {0, 100, -3}) {
        file.SetFirstNumericKey(key);
        EXPECT_EQ(file.FirstNumericKey(), 1);
        EXPECT_EQ(list.SelectionAt(0)->NumericKey(1), list.SelectionAt(0));
        EXPECT_EQ(list.SelectionAt(0)->NumericKey(2), list.SelectionAt(1));
        EXPECT_EQ(list.SelectionAt(0)->NumericKey(3), nullptr);
    }
}
