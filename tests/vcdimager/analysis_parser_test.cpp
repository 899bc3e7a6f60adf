#include <gtest/gtest.h>

#include "model/mpeg_file.h"
#include "support/temp_folder.h"
#include "vcdimager/mpeg_analysis_parser.h"

namespace {

// vcdxminfo 2.0 on a PAL VCD file, the lines as collected (progress and the
// two dropped log lines already filtered out).
const TStringList PalVcdLines = {
    R"(<log level="debug">mpeg: some marker is not set...</log>)",
    R"(<log level="debug">pts start offset 0.469089 (max pts = 4.465822)</log>)",
    R"(<mpeg-info src="pal_vcd_1.mpg">)",
    R"(  <mpeg-properties>)",
    R"(    <version>1</version>)",
    R"(    <playing-time>3.996733</playing-time>)",
    R"(    <pts-offset>0.469089</pts-offset>)",
    R"(    <packets>298</packets>)",
    R"(    <bit-rate>1411200</bit-rate>)",
    R"(    <video-stream index="0">)",
    R"(       <!-- motion video stream -->)",
    R"(      <horizontal-size>352</horizontal-size>)",
    R"(      <vertical-size>288</vertical-size>)",
    R"(      <frame-rate>25.000000</frame-rate>)",
    R"(      <bit-rate>1150000</bit-rate>)",
    R"(      <aps-list>)",
    R"(        <aps packet-no="39">0.610911</aps>)",
    R"(        <aps packet-no="1">0.010911</aps>)",
    R"(      </aps-list>)",
    R"(    </video-stream>)",
    R"(    <audio-stream index="0">)",
    R"(       <!-- base audio stream -->)",
    R"(      <layer>2</layer>)",
    R"(      <sampling-frequency>44100</sampling-frequency>)",
    R"(      <bit-rate>229376</bit-rate>)",
    R"(      <mode>stereo</mode>)",
    R"(    </audio-stream>)",
    R"(  </mpeg-properties>)",
    R"(</mpeg-info>)",
};

class AnalysisParser : public ::testing::Test {
protected:
    TTempFolder Folder;
    TMpegFile File{Folder.Write("movie.mpg", std::string(4096, '\0')), true};

    TStringList Parse(TStringList lines) {
        EXPECT_TRUE(ParseMpegAnalysis(&File, &lines));
        return lines;
    }
};

TEST_F(AnalysisParser, FillsTheRecordFromAMotionVideoDescription) {
    Parse(PalVcdLines);
    ASSERT_TRUE(File.Analysed());
    EXPECT_TRUE(File.IsSequence());
    EXPECT_EQ(File.MpegVersion(), "1");
    EXPECT_EQ(File.PlayingTimeMsOrEmpty(), "3996");
    EXPECT_EQ(File.PtsOffset(), "0.469");
    EXPECT_EQ(File.Packets(), "298");
    EXPECT_EQ(File.BitrateText(), "1411200bps");
    EXPECT_EQ(File.MainHorizontalSize(), "352");
    EXPECT_EQ(File.MainVerticalSize(), "288");
    EXPECT_EQ(File.MainTvSystem(), TStreamTvSystem::Pal);
    EXPECT_EQ(File.MainVideoBitrate(), 1150000);
    const TAudioStream* audio = File.AudioStream(AudioSlotStandard);
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ(audio->Layer, "2");
    EXPECT_EQ(audio->Mode, "Stereo");
    EXPECT_EQ(audio->SamplingFrequencyText, "44100Hz");
    EXPECT_EQ(audio->BitrateText, "229376bps");
    // The list starts with 0; the closing of the list sorts the times.
    EXPECT_EQ(File.ApsTimes().Items(), (std::vector<std::int32_t>{0, 11, 611}));
    EXPECT_TRUE(File.BadPacketWarning().empty());
    EXPECT_TRUE(File.UserDataWarning().empty());
}

TEST_F(AnalysisParser, IndentsTheDescriptionForTheLog) {
    const TStringList lines = Parse(PalVcdLines);
    const TStringList expected = {
        R"(<log level="debug">mpeg: some marker is not set...</log>)",
        R"(<log level="debug">pts start offset 0.469089 (max pts = 4.465822)</log>)",
        R"(<mpeg-info src="pal_vcd_1.mpg">)",
        R"(  <mpeg-properties>)",
        R"(    <version>1</version>)",
        R"(    <playing-time>3.996733</playing-time>)",
        R"(    <pts-offset>0.469089</pts-offset>)",
        R"(    <packets>298</packets>)",
        R"(    <bit-rate>1411200</bit-rate>)",
        R"(    <video-stream index="0">)",
        R"(      <!-- motion video stream -->)",
        R"(      <horizontal-size>352</horizontal-size>)",
        R"(      <vertical-size>288</vertical-size>)",
        R"(      <frame-rate>25.000000</frame-rate>)",
        R"(      <bit-rate>1150000</bit-rate>)",
        R"(      <aps-list>)",
        R"(        <aps packet-no="39">0.610911</aps>)",
        R"(        <aps packet-no="1">0.010911</aps>)",
        R"(      </aps-list>)",
        R"(    </video-stream>)",
        R"(    <audio-stream index="0">)",
        R"(      <!-- base audio stream -->)",
        R"(      <layer>2</layer>)",
        R"(      <sampling-frequency>44100</sampling-frequency>)",
        R"(      <bit-rate>229376</bit-rate>)",
        R"(      <mode>stereo</mode>)",
        R"(    </audio-stream>)",
        R"(  </mpeg-properties>)",
        R"(</mpeg-info>)",
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(AnalysisParser, StillStreamsAndSubtitlesGoToTheirSlots) {
    Parse({
        "<mpeg-info src=\"still.mpg\">",
        "<mpeg-properties>",
        "<version>2</version>",
        "<ogt-stream index=\"1\">",
        "</ogt-stream>",
        "<ogt-stream index=\"7\">",
        "</ogt-stream>",
        "<video-stream index=\"1\">",
        "<horizontal-size>704</horizontal-size>",
        "<vertical-size>576</vertical-size>",
        "<frame-rate>25.000000</frame-rate>",
        "</video-stream>",
        "<bit-rate>999</bit-rate>",
        "<audio-stream index=\"5\">",
        "<layer>2</layer>",
        "</audio-stream>",
        "</mpeg-properties>",
        "</mpeg-info>",
    });
    ASSERT_TRUE(File.Analysed());
    EXPECT_TRUE(File.IsStill());
    EXPECT_FALSE(File.IsSequence());
    EXPECT_EQ(File.MainHorizontalSize(), "704");
    EXPECT_EQ(File.MainVerticalSize(), "576");
    EXPECT_EQ(File.OgtText(), "1");
    // A bit rate after a closed stream is the file's own again.
    EXPECT_EQ(File.BitrateText(), "999bps");
    EXPECT_EQ(File.AudioStream(0), nullptr);
    EXPECT_EQ(File.AudioStream(1), nullptr);
    EXPECT_EQ(File.AudioStream(2), nullptr);
}

TEST_F(AnalysisParser, WithoutTheClosingElementTheRecordIsNotAnalysed) {
    TStringList lines(PalVcdLines.begin(), PalVcdLines.end() - 1);
    Parse(lines);
    EXPECT_FALSE(File.Analysed());
}

TEST_F(AnalysisParser, MissingInputIsRefused) {
    TStringList lines = PalVcdLines;
    EXPECT_FALSE(ParseMpegAnalysis(nullptr, &lines));
    EXPECT_FALSE(ParseMpegAnalysis(&File, nullptr));
    EXPECT_EQ(lines, PalVcdLines);
}

TEST_F(AnalysisParser, DefectNotesAreRecorded) {
    const TStringList lines = Parse({
        R"(<log level="information">GNU VCDImager 2.0.1</log>)",
        R"(<log level="warning">Unknown user data tag id 0x10</log>)",
        R"(<log level="warning">unknown user data tag id 0x11</log>)",
        R"(<log level="warning">Consider enabling the 'update scan offsets' option, if it is not enabled already!</log>)",
        R"(<log level="warning">MPEG stream will be padded on the fly</log>)",
        R"(<log level="warning">autopadding requires to insert additional 20 sectors</log>)",
        R"(<log level="warning">bad packet at packet #12 (stream byte offset 24000) -- remaining 600000 bytes of stream will be ignored</log>)",
    });
    const TStringList expected = {
        "",
        R"(<log level="warning">unknown user data tag id 0x10 (not a problem, most likely caused by a specific MPEG encoder)</log>)",
        "",
        R"(<log level="warning">consider enabling the 'update scan offsets' option, if it is not enabled already!</log>)",
        R"(<log level="warning">mpeg stream will be padded on the fly</log>)",
        R"(<log level="warning">autopadding requires to insert additional 20 sectors</log>)",
        R"(<log level="warning">bad packet at packet #12 (stream byte offset 24000) -- remaining 600000 bytes of stream will be ignored</log>)",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(File.UserDataWarning(),
              "unknown user data tag id 0x10 (not a problem, most likely caused by a specific MPEG encoder)");
    EXPECT_TRUE(File.ScanOffsetsHint());
    EXPECT_EQ(File.PaddingWarning(), "mpeg stream will be padded on the fly");
    EXPECT_EQ(File.AutopaddingWarning(), "autopadding requires to insert additional 20 sectors");
    EXPECT_EQ(
        File.BadPacketWarning(),
        "bad packet at packet #12 (stream byte offset 24000) -- remaining 600000 bytes of stream will be ignored");
}

TEST_F(AnalysisParser, AHarmlessBadPacketLineIsDropped) {
    // The real line of vcdxminfo for a stream with garbage in its last kilobyte.
    const TStringList lines = Parse(
        {R"(<log level="warning">bad packet at packet #259 (stream byte offset 601916) -- remaining 1084 bytes of stream will be ignored</log>)"});
    EXPECT_EQ(lines, TStringList{""});
    EXPECT_TRUE(File.BadPacketWarning().empty());
}

TEST(HarmlessBadPacket, IgnoredBytesAgainstOffset) {
    const auto line = [](const char* offset, const char* remaining) {
        return std::string("bad packet at packet #1 (stream byte offset ") + offset + ") -- remaining " + remaining +
               " bytes of stream will be ignored";
    };
    const std::pair<std::string, bool> cases[] = {
        {line("9980000", "20000"), true},    // 20,000 bytes before the end of 10 MB
        {line("9800000", "200000"), false},  // 200,000 bytes before the end
        {line("500000", "100000"), true},    // both limits met exactly
        {line("500000", "100001"), false},
        {line("499999", "100000"), false},  // five times more than the offset
        {line("1000", "0"), true},
        {line("abc", "10"), false},
        {line("1000", "1e2"), false},
        {"bad packet at packet #1 -- something else", false},
        {"BAD PACKET AT PACKET #1 (STREAM BYTE OFFSET 600000) -- REMAINING 5 BYTES OF STREAM WILL BE IGNORED", true},
    };
    for (const auto& [text, harmless] : cases) EXPECT_EQ(IsHarmlessBadPacket(text), harmless) << text;
}

TEST(ElementHelpers, OpeningClosingAndContent) {
    EXPECT_TRUE(IsElementLine("<bit-rate>1</bit-rate>", "bit-rate"));
    EXPECT_TRUE(IsElementLine("<video-stream index=\"0\">", "video-stream"));
    EXPECT_FALSE(IsElementLine("<aps-list>", "aps"));
    EXPECT_FALSE(IsElementLine("</aps-list>", "aps-list"));
    EXPECT_TRUE(IsClosingLine("</aps-list>", "aps-list"));
    EXPECT_FALSE(IsClosingLine("</aps-list >", "aps-list"));
    EXPECT_FALSE(IsClosingLine("<aps-list>", "aps-list"));
    EXPECT_EQ(ElementContent("<frame-rate> 25.000000 </frame-rate>", "frame-rate"), "25.000000");
    EXPECT_EQ(ElementContent("<video-stream index=\"0\">x</video-stream>", "video-stream"), "x");
    EXPECT_EQ(ElementContent("<packets></packets>", "packets"), "");
}

}  // namespace
