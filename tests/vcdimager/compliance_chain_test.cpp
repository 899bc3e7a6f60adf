#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/mpeg_file.h"
#include "services/services.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "vcdimager/mpeg_analysis_parser.h"
#include "vcdimager/mpeg_compliance.h"

namespace {

// What the analysis of a test file reports.
struct TStream {
    std::string Version = "1";
    std::string PlayingTime = "5.000000";
    int VideoSlot = 0;  // -1: no video stream
    std::string Horizontal = "352";
    std::string Vertical = "288";
    std::string FrameRate = "25.000000";
    std::string VideoBitrate = "1150000";
    int AudioSlot = 0;  // -1: no audio stream
    TStringList Notes;  // log lines before the description
};

TStream PalVcd() { return {}; }
TStream NtscVcd() {
    TStream s;
    s.Vertical = "240";
    s.FrameRate = "29.970030";
    return s;
}
TStream PalSvcd() {
    TStream s;
    s.Version = "2";
    s.Horizontal = "480";
    s.Vertical = "576";
    s.VideoBitrate = "2400000";
    return s;
}
TStream Still(TStream s) {
    s.VideoSlot = 1;
    s.PlayingTime = "0.040000";
    return s;
}

std::unique_ptr<TMpegFile> Analysed(const TTempFolder& folder, const TStream& s) {
    auto file = std::make_unique<TMpegFile>(folder.Write("clip.mpg", "x"), true);
    TStringList lines = s.Notes;
    lines.insert(lines.end(),
                 {"<mpeg-info src=\"clip.mpg\">", "<mpeg-properties>", "<version>" + s.Version + "</version>",
                  "<playing-time>" + s.PlayingTime + "</playing-time>"});
    if (s.VideoSlot >= 0)
        lines.insert(lines.end(), {"<video-stream index=\"" + std::to_string(s.VideoSlot) + "\">",
                                   "<horizontal-size>" + s.Horizontal + "</horizontal-size>",
                                   "<vertical-size>" + s.Vertical + "</vertical-size>",
                                   "<frame-rate>" + s.FrameRate + "</frame-rate>",
                                   "<bit-rate>" + s.VideoBitrate + "</bit-rate>", "</video-stream>"});
    if (s.AudioSlot >= 0)
        lines.insert(lines.end(), {"<audio-stream index=\"" + std::to_string(s.AudioSlot) + "\">", "<layer>2</layer>",
                                   "</audio-stream>"});
    lines.insert(lines.end(), {"</mpeg-properties>", "</mpeg-info>"});
    EXPECT_TRUE(ParseMpegAnalysis(file.get(), &lines));
    EXPECT_TRUE(file->Analysed());
    return file;
}

TComplianceContext Context(TVideoCdType disc, TTvSystem tv, TComplianceMode mode = TComplianceMode::NonExpert) {
    TComplianceContext c;
    c.DiscType = disc;
    c.ProjectTvSystem = tv;
    c.ProjectFileCount = 1;
    c.ExpertMode = mode != TComplianceMode::NonExpert;
    c.ComplianceChecks = mode != TComplianceMode::ExpertChecksOff;
    return c;
}

class ComplianceChain : public ::testing::Test {
protected:
    TTempFolder Folder;
    TScriptedDialogs Dialogs;
    TServicesScope Services{nullptr, &Dialogs};
};

// One file that fails exactly one check, in each mode, answered "No" when asked.
struct TReactionCase {
    const char* Check;
    TStream Stream;
    TVideoCdType Disc;
    TTvSystem Tv;
    const char* Expected[3];  // non-expert, expert with checks, expert without checks
};

// "refuse": error box with OK; "ask": error question; "warn": warning
// question; "noncompliant": warning question about a non-compliant file;
// "own": the bit-rate question; "-": nothing shown.
std::string DialogShown(const TScriptedDialogs& dialogs) {
    if (dialogs.Asked.empty()) return "-";
    EXPECT_EQ(dialogs.Asked.size(), 1u) << dialogs.Asked.back().Message;
    const TAskedDialog& d = dialogs.Asked.front();
    if (d.Kind == "message" && d.Type == TMsgDlgType::Error && d.Buttons == mbOK) return "refuse";
    if (d.Kind == "advanced" && d.Type == TMsgDlgType::Warning && d.Buttons == mbYesNo) return "own";
    if (d.Kind != "confirm-no-default" || d.Buttons != mbYesNo) return "unexpected " + d.Kind;
    if (d.Type == TMsgDlgType::Error && ContainsText(d.Message, "Do you want to add this file anyway ?")) return "ask";
    if (d.Type == TMsgDlgType::Warning && ContainsText(d.Message, "Do you want to add this file anyway ?"))
        return "warn";
    if (d.Type == TMsgDlgType::Warning && ContainsText(d.Message, "non-compliant file anyway ?")) return "noncompliant";
    return "unexpected question";
}

// One case per row of the reaction table.
std::vector<TReactionCase> ReactionCases() {
    using V = TVideoCdType;
    using T = TTvSystem;
    TStream noVideoNoStandardAudio = PalVcd();
    noVideoNoStandardAudio.VideoSlot = -1;
    noVideoNoStandardAudio.AudioSlot = 1;
    TStream badPackets = PalVcd();
    badPackets.Notes = {
        R"(<log level="warning">bad packet at packet #3 (stream byte offset 6000) -- remaining 900000 bytes of stream will be ignored</log>)"};
    TStream tooShort = PalVcd();
    tooShort.PlayingTime = "3.999999";
    TStream unknownType = PalVcd();
    unknownType.Version = "4";
    TStream oddRate = PalVcd();
    oddRate.FrameRate = "30.000000";
    TStream wrongSize = PalVcd();
    wrongSize.Vertical = "240";
    TStream highRate = PalSvcd();
    highRate.VideoBitrate = "2400001";
    TStream padded = PalVcd();
    padded.Notes = {R"(<log level="warning">mpeg stream will be padded on the fly</log>)"};
    TStream chinese = PalSvcd();
    chinese.Notes = {
        R"(<log level="warning">consider enabling the 'update scan offsets' option, if it is not enabled already!</log>)"};

    return {
        {"kind", noVideoNoStandardAudio, V::Vcd20, T::Pal, {"refuse", "refuse", "refuse"}},
        {"still on VCD 1.1", Still(NtscVcd()), V::Vcd11, T::Ntsc, {"refuse", "refuse", "refuse"}},
        {"bad packets", badPackets, V::Vcd20, T::Pal, {"ask", "ask", "ask"}},
        {"duration", tooShort, V::Vcd20, T::Pal, {"refuse", "refuse", "refuse"}},
        {"MPEG type", unknownType, V::Vcd20, T::Pal, {"refuse", "refuse", "ask"}},
        {"frame rate", oddRate, V::Vcd20, T::Pal, {"ask", "ask", "-"}},
        {"type for disc", PalVcd(), V::Svcd10, T::Pal, {"refuse", "ask", "-"}},
        {"TV system", PalVcd(), V::Vcd20, T::Ntsc, {"ask", "warn", "-"}},
        {"allowed types", wrongSize, V::Vcd20, T::Pal, {"ask", "noncompliant", "-"}},
        {"MPEG2 bit rate", highRate, V::Svcd10, T::Pal, {"own", "own", "own"}},
        {"padding", padded, V::Vcd20, T::Pal, {"warn", "warn", "warn"}},
        {"scan offsets", chinese, V::Svcd10, T::Pal, {"warn", "warn", "warn"}},
    };
}

constexpr TComplianceMode Modes[] = {TComplianceMode::NonExpert, TComplianceMode::ExpertChecksOn,
                                     TComplianceMode::ExpertChecksOff};

TEST_F(ComplianceChain, EachCheckReactsAsTheModeSays) {
    for (const TReactionCase& test : ReactionCases())
        for (int m = 0; m < 3; ++m) {
            Dialogs.Asked.clear();
            const auto file = Analysed(Folder, test.Stream);
            TComplianceContext context = Context(test.Disc, test.Tv, Modes[m]);
            context.UpdateScanData = false;
            const TComplianceResult result = CheckMpegCompliance(*file, context, true);
            const std::string shown = DialogShown(Dialogs);
            EXPECT_EQ(shown, test.Expected[m]) << test.Check << ", mode " << m;
            EXPECT_EQ(result.Refused, shown != "-") << test.Check << ", mode " << m;
            EXPECT_EQ(result.AskContinue, result.Refused) << test.Check << ", mode " << m;
        }
}

TEST_F(ComplianceChain, AYesToEveryQuestionNeverTurnsARefusalIntoAnAcceptance) {
    // As "--yes" answers: every box gets its first agreeing button, the
    // error boxes their OK.
    for (const TReactionCase& test : ReactionCases())
        for (int m = 0; m < 3; ++m) {
            Dialogs.Asked.clear();
            for (int i = 0; i < 4; ++i) Dialogs.Answer(TModalResult::Yes);
            const auto file = Analysed(Folder, test.Stream);
            TComplianceContext context = Context(test.Disc, test.Tv, Modes[m]);
            context.UpdateScanData = false;
            const TComplianceResult result = CheckMpegCompliance(*file, context, true);
            const bool refusedOutright = std::string(test.Expected[m]) == "refuse";
            EXPECT_EQ(result.Refused, refusedOutright) << test.Check << ", mode " << m;
            if (refusedOutright) EXPECT_EQ(Dialogs.Asked.back().Buttons, mbOK) << test.Check << ", mode " << m;
        }
}

TEST_F(ComplianceChain, AnsweringYesLetsTheFileGoOn) {
    TStream badPackets = PalVcd();
    badPackets.Notes = {
        R"(<log level="warning">bad packet at packet #3 (stream byte offset 6000) -- remaining 900000 bytes of stream will be ignored</log>)"};
    const auto file = Analysed(Folder, badPackets);
    TComplianceContext context = Context(TVideoCdType::Vcd20, TTvSystem::Pal);
    Dialogs.Answer(TModalResult::Yes);
    const TComplianceResult result = CheckMpegCompliance(*file, context, true);
    EXPECT_FALSE(result.Refused);
    EXPECT_FALSE(result.AskContinue);
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(
        Dialogs.Asked[0].Message,
        "\r\"clip.mpg\"\r\r   This MPEG file have bad packets:\r      bad packet at packet #3 (stream byte offset "
        "6000) -- remaining 900000 bytes of stream will be ignored   \r\rDo you want to add this file anyway ?   ");
}

TEST_F(ComplianceChain, ARefusalAsksToContinueOnlyWhileTheBatchGoesOn) {
    TStream tooShort = PalVcd();
    tooShort.PlayingTime = "3.900000";
    const auto file = Analysed(Folder, tooShort);
    TComplianceContext context = Context(TVideoCdType::Vcd20, TTvSystem::Pal);
    const TComplianceResult last = CheckMpegCompliance(*file, context, false);
    EXPECT_TRUE(last.Refused);
    EXPECT_FALSE(last.AskContinue);
    EXPECT_NE(Dialogs.Asked.at(0).Message.find("( 3900 < 4000 milliseconds)"), std::string::npos);
}

TEST_F(ComplianceChain, SettingsSwitchOffTheirChecks) {
    TStream notes = PalVcd();
    notes.Notes = {
        R"(<log level="warning">bad packet at packet #3 (stream byte offset 6000) -- remaining 900000 bytes of stream will be ignored</log>)",
        R"(<log level="warning">mpeg stream will be padded on the fly</log>)",
        R"(<log level="warning">consider enabling the 'update scan offsets' option, if it is not enabled already!</log>)"};
    const auto file = Analysed(Folder, notes);
    TComplianceContext context = Context(TVideoCdType::Vcd20, TTvSystem::Pal);
    context.NoBadPacketsWarning = true;
    context.NoAutopaddingWarning = true;
    context.UpdateScanData = true;  // and the warning is not wanted when the update is on
    EXPECT_FALSE(CheckMpegCompliance(*file, context, true).Refused);
    EXPECT_TRUE(Dialogs.Asked.empty());

    context.ShowScanDataOffsetsWarning = true;
    EXPECT_TRUE(CheckMpegCompliance(*file, context, true).Refused);
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_NE(Dialogs.Asked[0].Message.find("Chinese specifications."), std::string::npos);
}

TEST_F(ComplianceChain, VideoSizesPerDiscType) {
    struct TCase {
        const char* What;
        TStream Stream;
        TVideoCdType Disc;
        TTvSystem Tv;
        bool Passes;
    };
    TStream film = NtscVcd();
    film.FrameRate = "23.976024";
    const TCase cases[] = {
        {"NTSC 352x240 on VCD 1.1", NtscVcd(), TVideoCdType::Vcd11, TTvSystem::Ntsc, true},
        {"PAL 352x288 on VCD 1.1", PalVcd(), TVideoCdType::Vcd11, TTvSystem::Pal, false},
        {"PAL 352x288 on VCD 2.0", PalVcd(), TVideoCdType::Vcd20, TTvSystem::Pal, true},
        {"NTSC Film in an NTSC project", film, TVideoCdType::Vcd20, TTvSystem::Ntsc, true},
        {"PAL SVCD", PalSvcd(), TVideoCdType::Svcd10, TTvSystem::Pal, true},
        {"PAL still 704x576 on VCD 2.0",
         [] {
             TStream s = Still(PalVcd());
             s.Horizontal = "704";
             s.Vertical = "576";
             return s;
         }(),
         TVideoCdType::Vcd20, TTvSystem::Pal, true},
        {"a still is never too short", Still(PalVcd()), TVideoCdType::Vcd20, TTvSystem::Pal, true},
    };
    for (const TCase& test : cases) {
        Dialogs.Asked.clear();
        const auto file = Analysed(Folder, test.Stream);
        TComplianceContext context = Context(test.Disc, test.Tv);
        EXPECT_EQ(CheckMpegCompliance(*file, context, true).Refused, !test.Passes) << test.What;
        EXPECT_EQ(Dialogs.Asked.empty(), test.Passes) << test.What;
    }
}

TEST_F(ComplianceChain, TheAllowedTypesAreListedForAFileThatMatchesNone) {
    const auto file = Analysed(Folder, PalVcd());
    std::string paragraph;
    EXPECT_FALSE(CheckAllowedMpegType(*file, TVideoCdType::Vcd11, paragraph));
    EXPECT_EQ(paragraph,
              "   According to the VideoCD official specifications, only the following MPEG files types are supported "
              "by VCD 1.1:\r"
              "   MPEG Videos\r"
              "         MPEG1 - 352 x 240 - NTSC\r"
              "         MPEG1 - 352 x 240 - NTSC Film\r"
              "   VCD1.1 does not allow the use of MPEG Pictures\r"
              "   \r"
              "   Your MPEG file:\r"
              "         MPEG Video - MPEG1 - 352 x 288 - PAL   \r\r");
    paragraph.clear();
    EXPECT_TRUE(CheckAllowedMpegType(*file, TVideoCdType::Vcd20, paragraph));
    EXPECT_EQ(paragraph, "");
}

TEST_F(ComplianceChain, TheFirstFileMayChangeTheProjectTvSystem) {
    const auto file = Analysed(Folder, PalVcd());
    TComplianceContext context = Context(TVideoCdType::Vcd20, TTvSystem::Ntsc);
    context.ProjectFileCount = 0;
    Dialogs.Answer(TModalResult::Yes);
    const TComplianceResult result = CheckMpegCompliance(*file, context, true);
    EXPECT_FALSE(result.Refused);
    EXPECT_TRUE(result.ProjectTvSystemChanged);
    EXPECT_EQ(context.ProjectTvSystem, TTvSystem::Pal);
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Kind, "message");
    EXPECT_EQ(Dialogs.Asked[0].Type, TMsgDlgType::Warning);
    EXPECT_EQ(Dialogs.Asked[0].Message,
              "\rThe project is NTSC while the MPEG file is PAL\r\rDo you want to change the project accordingly "
              "?\r\r\r(PAL is a format for use primarily in Europe and Asia)\r(NTSC is a format for use primarily in "
              "North America)");

    // Declined, the mismatch itself is then asked about.
    Dialogs.Asked.clear();
    context.ProjectTvSystem = TTvSystem::Ntsc;
    const TComplianceResult declined = CheckMpegCompliance(*file, context, true);
    EXPECT_TRUE(declined.Refused);
    EXPECT_FALSE(declined.ProjectTvSystemChanged);
    ASSERT_EQ(Dialogs.Asked.size(), 2u);
    EXPECT_NE(Dialogs.Asked[1].Message.find("Your MPEG file is a PAL MPEG file, while you project is a NTSC VideoCD"),
              std::string::npos);
}

TEST(AdaptProjectTvSystem, AskedOnlyForPalAgainstNtsc) {
    struct TCase {
        TStreamTvSystem File;
        TTvSystem Project;
        bool Asked;
    };
    const TCase cases[] = {
        {TStreamTvSystem::Pal, TTvSystem::Pal, false},   {TStreamTvSystem::Ntsc, TTvSystem::Ntsc, false},
        {TStreamTvSystem::Film, TTvSystem::Ntsc, false}, {TStreamTvSystem::Unknown, TTvSystem::Pal, false},
        {TStreamTvSystem::Pal, TTvSystem::Ntsc, true},   {TStreamTvSystem::Ntsc, TTvSystem::Pal, true},
        {TStreamTvSystem::Film, TTvSystem::Pal, true},
    };
    for (const TCase& test : cases) {
        TScriptedDialogs dialogs;
        TServicesScope services(nullptr, &dialogs);
        dialogs.Answer(TModalResult::Yes);
        EXPECT_EQ(AskAdaptProjectTvSystem(test.File, test.Project), test.Asked);
        EXPECT_EQ(dialogs.Asked.size(), test.Asked ? 1u : 0u);
    }
}

TEST_F(ComplianceChain, TheBitRateQuestionCanBeSilencedAlone) {
    TStream high = PalSvcd();
    high.VideoBitrate = "2516000";
    high.Notes = {
        R"(<log level="warning">bad packet at packet #3 (stream byte offset 6000) -- remaining 900000 bytes of stream will be ignored</log>)"};
    const auto file = Analysed(Folder, high);
    TComplianceContext context = Context(TVideoCdType::Svcd10, TTvSystem::Pal);
    Dialogs.Answer(TModalResult::Yes);        // bad packets: add anyway
    Dialogs.Answer(TModalResult::Yes, true);  // bit rate: add, and do not ask again
    const TComplianceResult first = CheckMpegCompliance(*file, context, true);
    EXPECT_FALSE(first.Refused);
    EXPECT_TRUE(first.BitRateQuestionSilenced);
    EXPECT_TRUE(context.DoNotShowHighSvcdBitRateAgain);
    ASSERT_EQ(Dialogs.Asked.size(), 2u);
    EXPECT_EQ(Dialogs.Asked[1].CheckBoxCaption, "Don't show this message again");
    EXPECT_NE(Dialogs.Asked[1].Message.find("maximun bitrate at 2516000 bps... you may experience playback troubles.\r"
                                            "   Indeed, some players do not play well MPEG2 files with a bitrate "
                                            "greater than 2400000bps (2400 kbps)."),
              std::string::npos);

    Dialogs.Asked.clear();
    Dialogs.Answer(TModalResult::Yes);
    EXPECT_FALSE(CheckMpegCompliance(*file, context, true).Refused);
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_NE(Dialogs.Asked[0].Message.find("bad packets"), std::string::npos);
}

TEST_F(ComplianceChain, TheCountLimitsComeFirst) {
    const auto video = Analysed(Folder, PalVcd());
    TComplianceContext context = Context(TVideoCdType::Vcd20, TTvSystem::Pal);
    context.MotionVideoCount = 97;
    EXPECT_FALSE(CheckMpegCompliance(*video, context, true).Refused);
    context.MotionVideoCount = 98;
    EXPECT_TRUE(CheckMpegCompliance(*video, context, true).Refused);
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Type, TMsgDlgType::Error);
    EXPECT_NE(Dialogs.Asked[0].Message.find("A (S)VCD can not have more than 98 MPEG videos..."), std::string::npos);

    const auto still = Analysed(Folder, Still(PalVcd()));
    context.StillCount = 1979;
    EXPECT_FALSE(CheckMpegCompliance(*still, context, true).Refused);
    context.StillCount = 1980;
    EXPECT_TRUE(CheckMpegCompliance(*still, context, true).Refused);
    EXPECT_NE(Dialogs.Asked.back().Message.find("more than 1980 MPEG stills (pictures)..."), std::string::npos);
}

}  // namespace
