#include "model/video_cd.h"

#include <gtest/gtest.h>

#include <cmath>

#include "services/services.h"
#include "support/scripted_dialogs.h"

TEST(VideoCd, ParsesTvSystemsAndImageTypes) {
    EXPECT_EQ(ParseTvSystem("  ntscfilm "), TTvSystem::Ntsc);
    EXPECT_EQ(ParseTvSystem("film"), TTvSystem::Ntsc);
    EXPECT_EQ(ParseTvSystem("NTSC"), TTvSystem::Ntsc);
    EXPECT_EQ(ParseTvSystem("SECAM"), TTvSystem::Pal);
    EXPECT_EQ(TvSystemName(TTvSystem::Ntsc), "NTSC");
    EXPECT_EQ(StreamTvSystemName(TStreamTvSystem::Film), "NTSC Film");
    EXPECT_EQ(StreamTvSystemName(TStreamTvSystem::Unknown), "?");

    EXPECT_EQ(ParseCdImageType("advcue"), TCdImageType::AdvCue);
    EXPECT_EQ(ParseCdImageType(" toast "), TCdImageType::Toast);
    EXPECT_EQ(ParseCdImageType(""), TCdImageType::Cue);
    EXPECT_EQ(ParseCdImageType("iso"), TCdImageType::Cue);
    for (auto type : {TCdImageType::Cue, TCdImageType::AdvCue, TCdImageType::Toc, TCdImageType::Toast}) {
        EXPECT_EQ(ParseCdImageType(CdImageTypeName(type)), type);
        EXPECT_EQ(CdImageTypeFromCaption(CdImageTypeCaption(type)), type);
    }
    EXPECT_EQ(CdImageExtension(TCdImageType::AdvCue), "bin");
    EXPECT_EQ(CdImageExtension(TCdImageType::Toast), "toc");
    EXPECT_EQ(OutputExtension(TCdImageType::Toast, true), "xml");
    EXPECT_EQ(OutputExtension(TCdImageType::Cue, false), "bin");
}

TEST(VideoCd, DiscTypeTextsAndLabels) {
    EXPECT_EQ(VideoCdTypeTexts(), (TStringList{"VCD 1.1", "VCD 2.0", "SVCD 1.0"}));
    EXPECT_EQ(ParseVideoCdTypeText(" SVCD 1.0 "), TVideoCdType::Svcd10);
    EXPECT_EQ(ParseVideoCdTypeText(""), TVideoCdType::Vcd11);
    EXPECT_EQ(ParseVideoCdTypeText("DVD"), std::nullopt);
    EXPECT_EQ(VideoCdTypeClass(TVideoCdType::Svcd10), "svcd");
    EXPECT_EQ(VideoCdTypeVersion(TVideoCdType::Vcd20), "2.0");
    EXPECT_FALSE(HasPlaybackControl(TVideoCdType::Vcd11));
    EXPECT_TRUE(HasPlaybackControl(TVideoCdType::Svcd10));

    struct TCase {
        std::string Label;
        TVideoCdType From, To;
        std::string Expected;
    };
    const TCase cases[] = {
        {"videocd", TVideoCdType::Vcd20, TVideoCdType::Svcd10, "SUPER_VIDEOCD"},
        {"SUPER_VIDEOCD", TVideoCdType::Svcd10, TVideoCdType::Vcd11, "VIDEOCD"},
        {"VIDEOCD", TVideoCdType::Vcd11, TVideoCdType::Vcd20, "VIDEOCD"},
        {"HOLIDAYS", TVideoCdType::Vcd20, TVideoCdType::Svcd10, "HOLIDAYS"},
    };
    for (const auto& c : cases) EXPECT_EQ(VolumeLabelAfterTypeChange(c.Label, c.From, c.To), c.Expected) << c.Label;

    EXPECT_TRUE(UsePbcAfterTypeChange(false, TVideoCdType::Vcd11, TVideoCdType::Svcd10));
    EXPECT_FALSE(UsePbcAfterTypeChange(true, TVideoCdType::Vcd20, TVideoCdType::Vcd11));
    EXPECT_FALSE(UsePbcAfterTypeChange(false, TVideoCdType::Vcd20, TVideoCdType::Svcd10));
    EXPECT_TRUE(UsePbcAfterTypeChange(true, TVideoCdType::Svcd10, TVideoCdType::Vcd20));
    EXPECT_FALSE(HasPvdApplicationId(TVideoCdType::Svcd10));
    EXPECT_TRUE(WritesRestrictionCategory(TVideoCdType::Vcd20));
    EXPECT_FALSE(WritesRestrictionCategory(TVideoCdType::Vcd11));
    EXPECT_TRUE(HasSvcdOnlyOptions(TVideoCdType::Svcd10));
    EXPECT_FALSE(HasCdiOptions(TVideoCdType::Svcd10));
}

TEST(VideoCdDeathTest, UnknownSelectorTextEndsTheProgram) {
    EXPECT_EQ(GetVideoCdTypeFromSelector("VCD 2.0"), TVideoCdType::Vcd20);
    EXPECT_DEATH(GetVideoCdTypeFromSelector("VCD 3.0"), "");
}

TEST(VideoCd, MpegFileNames) {
    for (const char* name : {"a.mpg", "b.MPEG", "dir.x/c.m1p", "d.M2P"}) EXPECT_TRUE(IsMpegFileName(name)) << name;
    for (const char* name : {"a.mp4", "mpg", "a.mpg.txt", "a."}) EXPECT_FALSE(IsMpegFileName(name)) << name;
}

TEST(VideoCd, EstimatesDiscSize) {
    struct TCase {
        std::int64_t Size;
        bool Motion;
        double Factor;  // 0 for a still
    };
    const TCase cases[] = {
        {52428800, true, 1.045}, {52428801, true, 1.03},    {104857600, true, 1.03}, {104857601, true, 1.02},
        {314572800, true, 1.02}, {314572801, true, 1.0123}, {1000, true, 1.045},
    };
    for (const auto& c : cases) {
        const auto expected =
            static_cast<std::int32_t>(std::ceil(static_cast<double>(c.Size) * c.Factor / 2048) * 2048);
        EXPECT_EQ(EstimateDiscSize(c.Size, c.Motion), expected) << c.Size;
    }
    EXPECT_EQ(EstimateDiscSize(0, true), 0);
    EXPECT_EQ(EstimateDiscSize(0, false), 2048);
    EXPECT_EQ(EstimateDiscSize(2022, false), 2048);       // 2047.5 bytes: still one sector
    EXPECT_EQ(EstimateDiscSize(2023, false), 4096);       // 2048.5 bytes: the extra sector
    EXPECT_EQ(EstimateDiscSize(1000000, true), 1046528);  // 1045000 / 2048 = 510.25 -> 511 sectors
    EXPECT_NO_THROW(EstimateDiscSize(2100000000, true));  // 1.0123 keeps it below 2^31
    EXPECT_THROW(EstimateDiscSize(2130000000, true), EDiscSizeOverflow);
    EXPECT_THROW(EstimateDiscSize(4000000000LL, false), EDiscSizeOverflow);
}

TEST(VideoCd, NumberFormats) {
    struct TCase {
        std::string (*Format)(int);
        int N;
        const char* Expected;
    };
    const TCase cases[] = {
        {FormatNumber4, 1, "0001"},    {FormatNumber4, 98, "0098"}, {FormatNumber4, 1234, "1234"},
        {FormatNumber4, 0, "0000"},    {FormatNumber3, 0, "000"},   {FormatNumber3, 42, "042"},
        {FormatNumber3, 1000, "1000"}, {FormatNumber2, 1, "01"},    {FormatNumber2, 99, "99"},
        {FormatNumber2, 100, "100"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.Format(c.N), c.Expected) << c.N;
}

TEST(VideoCd, LimitMessageIsFramedAndFilled) {
    TScriptedDialogs dialogs;
    TServicesScope scope(nullptr, &dialogs);
    ShowLimitMessage("A (S)VCD can not have more than %s MPEG videos", MaxMotionVideos);
    ASSERT_EQ(dialogs.Asked.size(), 1u);
    EXPECT_EQ(dialogs.Asked[0].Message, "\r  A (S)VCD can not have more than 98 MPEG videos...        \r");
    EXPECT_EQ(dialogs.Asked[0].Type, TMsgDlgType::Error);
}
