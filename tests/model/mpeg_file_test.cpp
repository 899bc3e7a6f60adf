#include "model/mpeg_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "lib/crc32.h"
#include "support/temp_folder.h"

namespace {

// A record as the analysis leaves it for a PAL motion video with one audio stream.
void AnalyseAsPalVideo(TMpegFile& file) {
    file.ResetAnalysis();
    file.SetMpegVersion(" 1 ");
    file.SetPlayingTime("125.480000");
    file.SetPtsOffset("0.3");
    file.SetPackets("5000");
    file.SetBitrate("1411200");
    file.SetVideoHorizontalSize("352", "0");
    file.SetVideoVerticalSize("288", "0");
    file.SetVideoFrameRate("25.000000", "0");
    file.SetVideoBitrate("1150000", "0");
    file.SetAudioMode("stereo", "0");
    file.SetAudioLayer("2", "0");
    file.SetAudioSamplingFrequency("44100", "0");
    file.SetAudioBitrate("224000", "0");
    file.SetAnalysed(true);
}

}  // namespace

TEST(MpegFile, MissingFileKeepsTheGivenKind) {
    TMpegFile file("/no/such/folder/clip.mpg", false);
    EXPECT_EQ(file.FullPath(), "");
    EXPECT_EQ(file.Size(), 0);
    EXPECT_EQ(file.Crc(), "");
    EXPECT_FALSE(file.IsSequence());
    EXPECT_TRUE(file.IsStill());
    EXPECT_EQ(file.EntryPoints().Texts(), (TStringList{"0:00:00.000"}));
    EXPECT_EQ(file.ApsTimes().Items(), (std::vector<std::int32_t>{0}));
    EXPECT_EQ(file.MpegVersion(), "?");
    EXPECT_EQ(file.SummaryText(), "");
}

TEST(MpegFile, ReadsTheDirectoryEntryAndTheHeadCrc) {
    TTempFolder folder;
    const std::string content(70000, 'x');
    const std::string path = folder.Write("Holiday Film.MPG", content);
    TMpegFile file(path, true);
    EXPECT_EQ(file.FullPath(), std::filesystem::path(path).lexically_normal().string());
    EXPECT_EQ(file.FileName(), "Holiday Film.MPG");
    EXPECT_EQ(file.Directory(), folder.Path().lexically_normal().string() + "/");
    EXPECT_EQ(file.Size(), 70000);
    EXPECT_EQ(file.Crc(), Crc32Text(Crc32(content.substr(0, 65536))));
    EXPECT_EQ(file.Id(), "0001");
    EXPECT_NE(file.FileTime(), 0);
    EXPECT_EQ(file.DateText().size(), 10u);
    EXPECT_EQ(file.EntryPoints().SelectionAt(0)->Caption(), "Sequence-0001-01 - 0:00:00.000 - Holiday Film.MPG");

    // A folder is not a file.
    TMpegFile notAFile(folder.Path().string(), true);
    EXPECT_EQ(notAFile.FullPath(), "");
}

TEST(MpegFile, TimeNormalisation) {
    struct TCase {
        const char* Raw;
        const char* Seconds;
        const char* Ms;
    };
    const TCase cases[] = {
        {"125.480000", "125.480", "125480"},
        {"10", "10.000", "10000"},
        {"0.3", "0.300", "0300"},
        {"7", "7.000", "7000"},
        {"0.0", "0.000", "0000"},
        {"12.3456", "12.345", "12345"},
        {" 100 ", "100.000", "100000"},
    };
    for (const auto& c : cases) {
        TMpegFile file("", true);
        file.SetPlayingTime(c.Raw);
        EXPECT_EQ(file.PlayingTime(), c.Seconds) << c.Raw;
        EXPECT_EQ(file.PlayingTimeMs(), c.Ms) << c.Raw;
        file.SetPtsOffset(c.Raw);
        EXPECT_EQ(file.PtsOffset(), c.Seconds) << c.Raw;
        EXPECT_EQ(file.PtsOffsetMs(), c.Ms) << c.Raw;
    }
    TMpegFile file("", true);
    file.SetPlayingTime("  ");
    EXPECT_EQ(file.PlayingTime(), "?");
    EXPECT_EQ(file.RawPlayingTime(), "");
    EXPECT_EQ(file.PlayingTimeOrEmpty(), "");
}

TEST(MpegFile, DisplayRules) {
    EXPECT_EQ(BitrateDisplayText("2520000"), "2520kbps");
    EXPECT_EQ(BitrateDisplayText("1411200"), "1411200bps");
    EXPECT_EQ(BitrateDisplayText("1000000"), "1000kbps");
    EXPECT_EQ(SamplingFrequencyDisplayText("48000"), "48KHz");
    EXPECT_EQ(SamplingFrequencyDisplayText("44100"), "44100Hz");
    EXPECT_EQ(AudioModeDisplayText("joint_stereo"), "Joint Stereo");
    EXPECT_EQ(AudioModeDisplayText("Stereo"), "Invalid");

    struct TCase {
        const char* Raw;
        const char* Shown;
        TStreamTvSystem System;
    };
    const TCase cases[] = {
        {"25.000000", "25", TStreamTvSystem::Pal},        {"29.970030", "29.97003", TStreamTvSystem::Ntsc},
        {"29.970000", "29.97", TStreamTvSystem::Unknown}, {"23.976024", "23.976024", TStreamTvSystem::Film},
        {"30.000000", "30", TStreamTvSystem::Unknown},    {"25", "25", TStreamTvSystem::Pal},
    };
    for (const auto& c : cases) {
        TMpegFile file("", true);
        file.SetVideoFrameRate(c.Raw, "0");
        file.SetAnalysed(true);
        ASSERT_NE(file.VideoStream(0), nullptr);
        EXPECT_EQ(file.VideoStream(0)->FrameRate, c.Shown) << c.Raw;
        EXPECT_EQ(file.VideoStream(0)->TvSystem, c.System) << c.Raw;
        EXPECT_EQ(file.MainTvSystem(), c.System) << c.Raw;
    }
}

TEST(MpegFile, StreamSlotsDecideTheKind) {
    TMpegFile file("", true);
    file.SetVideoHorizontalSize("704", "7");  // unknown slot: ignored
    file.AddOgtStream("4");
    file.SetAnalysed(true);
    EXPECT_EQ(file.VideoStream(0), nullptr);
    EXPECT_FALSE(file.IsSequence());
    EXPECT_FALSE(file.IsStill());
    EXPECT_EQ(file.OgtText(), "");

    file.ResetAnalysis();
    file.SetVideoHorizontalSize("704", "1");
    EXPECT_FALSE(file.SequenceFlag());  // only a still slot so far
    file.SetVideoVerticalSize("576", "1");
    file.SetVideoFrameRate("25.000", "1");
    file.SetVideoHorizontalSize("352", "2");
    file.SetVideoVerticalSize("288", "2");
    file.SetAnalysed(true);
    EXPECT_TRUE(file.IsStill());
    EXPECT_FALSE(file.IsAudioOnly());
    EXPECT_EQ(file.MainVideoStream(), file.VideoStream(1));
    EXPECT_EQ(file.MainHorizontalSize(), "704");
    EXPECT_EQ(file.MainVideoBitrate(), -1);
    EXPECT_EQ(file.FrameRateValue(1), 25.0);
    EXPECT_EQ(file.FrameRateValue(0), 0.0);
    EXPECT_EQ(file.SummaryText(), "MPEG?, 25fps (PAL), 704x576 - 352x288, Still Picture - Secondary Still Picture");

    file.ResetAnalysis();
    file.SetAudioLayer("2", "0");
    file.SetAnalysed(true);
    EXPECT_TRUE(file.IsAudioOnly());
    EXPECT_EQ(file.MainVideoStream(), nullptr);
    EXPECT_EQ(file.MainFrameRate(), "?");
}

TEST(MpegFile, DisplayTexts) {
    TMpegFile file("", true);
    EXPECT_EQ(file.PropertiesText(), "");
    AnalyseAsPalVideo(file);
    file.AddOgtStream("2");
    file.AddOgtStream("0");
    EXPECT_TRUE(file.IsSequence());
    EXPECT_EQ(file.OgtText(), "0:2");
    EXPECT_EQ(file.StreamsText(), "Motion Video - Audio Standard, OGT 0:2 (Subtitles,...)");
    EXPECT_EQ(file.SummaryText(),
              "MPEG1, 125.480s, 25fps (PAL), 352x288, Motion Video - Audio Standard, OGT 0:2 (Subtitles,...)");
    EXPECT_EQ(file.PropertiesText(),
              "MPEG1, PlayingTime=125.480s, Bitrate=1411200bps, PtsOffset=0.300s, 5000 packets, OGT 0:2 "
              "(Subtitles,...)");
    EXPECT_EQ(file.VideoStreamText(file.VideoStream(0)), "Motion Video, 352x288, 25fps (PAL), 1150kbps");
    EXPECT_EQ(file.AudioStreamText(file.AudioStream(0)), "Audio Standard MPEG layer2 Stereo, 44100Hz, 224kbps");
    EXPECT_EQ(file.SizeText(nullptr), "?x?");
    EXPECT_EQ(file.MainVideoBitrate(), 1150000);
}

TEST(MpegFile, ApsTimesAreReadAndDeduplicated) {
    TMpegFile file("", true);
    for (const char* text : {"12", "0.0004", "1.5", "1.5", "abc.5", "0.0625", "0.1875"}) file.AddApsTime(text);
    // "12" has no ".", 0.0004 rounds to 0; 62.5 and 187.5 ms round half to even.
    EXPECT_EQ(file.ApsTimes().Items(), (std::vector<std::int32_t>{0, 1500, 62, 188}));
    file.SortApsTimes();
    EXPECT_EQ(file.ApsTimes().Items(), (std::vector<std::int32_t>{0, 62, 188, 1500}));

    TMpegFile still("", false);
    still.AddApsTime("1.5");
    EXPECT_EQ(still.ApsTimes().Count(), 1);
}

TEST(MpegFile, ApsSearch) {
    TMpegFile file("", true);
    for (const char* text : {"1.0", "2.0", "4.0"}) file.AddApsTime(text);
    file.SortApsTimes();  // 0, 1000, 2000, 4000
    struct TCase {
        std::int32_t T, Nearest, Previous, Next;
    };
    const TCase cases[] = {
        {1500, 1000, 0, 2000},     // a tie goes to the earlier APS
        {1501, 2000, 1000, 4000},  // nearest is the upper one: previous is the lower, next the one after it
        {1499, 1000, 0, 2000},    {1000, 1000, 0, 2000},                               // exact
        {0, 0, 0, 1000},          {4000, 4000, 2000, 4000}, {9000, 4000, 2000, 4000},  // past the last APS
        {3000, 2000, 1000, 4000},                                                      // tie between 2000 and 4000
    };
    for (const auto& c : cases) {
        EXPECT_EQ(file.NearestAps(c.T), c.Nearest) << c.T;
        EXPECT_EQ(file.PreviousAps(c.T), c.Previous) << c.T;
        EXPECT_EQ(file.NextAps(c.T), c.Next) << c.T;
    }
    TMpegFile bare("", true);
    EXPECT_EQ(bare.NearestAps(5000), 0);
}

TEST(MpegFile, EntryPointsAreSnappedAndLimited) {
    TMpegFile file("", true);
    for (const char* text : {"1.0", "2.0"}) file.AddApsTime(text);
    file.SortApsTimes();

    TPbcSelection* snapped = file.AddEntryPoint("0:00:01.600", false);
    EXPECT_EQ(snapped, file.EntryPoints().SelectionAt(1));
    EXPECT_TRUE(file.ChapterSnapped());
    EXPECT_EQ(file.EntryPoints().Texts(), (TStringList{"0:00:00.000", "0:00:02.000"}));
    // An existing time is found, not snapped again.
    TPbcSelection* exact = file.AddEntryPoint("0:00:01.600", true);
    ASSERT_NE(exact, nullptr);
    EXPECT_EQ(file.EntryPoints().IndexOf("0:00:01.600"), 1);
    EXPECT_EQ(file.AddEntryPoint("0:00:01.600", false), exact);
    EXPECT_EQ(file.AddEntryPoint("0:00:01,600", true), nullptr);

    EXPECT_FALSE(file.RemoveEntryPoint("0:00:00.000"));
    EXPECT_TRUE(file.RemoveEntryPoint("0:00:01.600"));
    EXPECT_TRUE(file.RemoveEntryPoint("0:00:05.000"));  // absent: still true
    EXPECT_EQ(file.EntryPoints().Texts(), (TStringList{"0:00:00.000", "0:00:02.000"}));

    // Up to 99 entries, the start included.
    for (int second = 3; file.EntryPoints().Count() < 99; ++second)
        ASSERT_NE(file.AddEntryPoint(MsToTimeText(second * 1000), true), nullptr);
    EXPECT_EQ(file.AddEntryPoint("0:09:00.000", true), nullptr);
    EXPECT_EQ(file.EntryPoints().Count(), 99);
}

TEST(MpegFile, StillTakesOnlyTheStartEntry) {
    TMpegFile still("", false);
    EXPECT_EQ(still.AddEntryPoint("0:00:01.000", true), nullptr);
    EXPECT_EQ(still.AddEntryPoint("0:00:00.000", true), still.EntryPoints().SelectionAt(0));
    EXPECT_EQ(still.EntryPoints().Count(), 1);
}

TEST(MpegFile, KindChangesOnlyBeforeAnalysis) {
    TMpegFile file("", true);
    file.AddEntryPoint("0:00:03.000", true);
    file.SetSequenceFlag(false);
    EXPECT_EQ(file.EntryPoints().Count(), 1);
    EXPECT_EQ(file.EntryPoints().SelectionAt(0)->PlayItemId(), "Segment-0001");

    AnalyseAsPalVideo(file);
    file.SetSequenceFlag(false);
    EXPECT_TRUE(file.IsSequence());
}
