#include "stills/still_options.h"

#include <gtest/gtest.h>

#include "settings/gui_settings.h"

namespace {

TEST(StillOptions, StoredSettingsGiveTheConversionValues) {
    TSettings settings;
    DeclareGuiSettings(settings, "");
    // The defaults: VCD PAL high (dual), quality 100, spline, 4:3 correction, no enlarging.
    TStillOptions options = ReadStillOptions(settings);
    EXPECT_TRUE(options.Vcd);
    EXPECT_TRUE(options.Dual);
    EXPECT_EQ(options.Conversion.StillType, 3);
    EXPECT_EQ(options.Quality, 100);
    EXPECT_EQ(options.Conversion.StretchFilter, 2);
    EXPECT_EQ(options.Conversion.AspectCorrection, 1);
    EXPECT_FALSE(options.Conversion.AllowEnlarging);
    EXPECT_TRUE(options.DeleteTempFiles);
    EXPECT_FALSE(options.ContinueOnErrors);

    settings.SetValue("StillType", std::string("StillSvcd"));
    settings.SetValue("StillPal", false);
    settings.SetValue("StillHigh", false);
    settings.SetValue("StillApplyARCorrection", false);  // SVCD keeps the correction anyway
    settings.SetValue("StillTvAspectRatio", false);
    settings.SetValue("StillMpegQuality", 4);
    settings.SetValue("AntiFlickering", 7);
    settings.SetValue("StillTvCropping", 35);
    settings.SetValue("StillSvcdHacked", true);
    options = ReadStillOptions(settings);
    EXPECT_FALSE(options.Vcd);
    EXPECT_FALSE(options.Dual);
    EXPECT_EQ(options.Conversion.StillType, 4);
    EXPECT_EQ(options.Conversion.AspectCorrection, 2);
    EXPECT_EQ(options.Quality, 20);
    EXPECT_EQ(TargetSizeKb(options.Quality, 0), 24);
    EXPECT_DOUBLE_EQ(options.Conversion.AntiFlickerRadius, 0.7);
    EXPECT_EQ(options.Conversion.TvCropping, 20);
    EXPECT_TRUE(options.SvcdHack);
}

TEST(StillOptions, FilterNames) {
    const std::pair<const char*, int> cases[] = {{"Nearest", 0}, {"linear", 1},  {"LINEAR2", 1}, {"Lanczos", 3},
                                                 {"Spline", 2},  {"bicubic", 2}, {"", 2}};
    for (const auto& [name, filter] : cases) EXPECT_EQ(StillFilterOf(name), filter) << name;
    for (std::uint8_t filter = 0; filter < 4; ++filter) EXPECT_EQ(StillFilterOf(StillFilterName(filter)), filter);
}

}  // namespace
