#include "stills/still_geometry.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

TStillConversion Conversion(int type, int correction, int cropping = 0, bool enlarge = true) {
    TStillConversion conversion;
    conversion.StillType = static_cast<std::uint8_t>(type);
    conversion.AspectCorrection = static_cast<std::uint8_t>(correction);
    conversion.TvCropping = cropping;
    conversion.AllowEnlarging = enlarge;
    return conversion;
}

TEST(StillGeometry, FitPlacementOfTheExamples) {
    struct TCase {
        int Width, Height;
        TStillConversion Conversion;
        TPictureRect Expected;
    };
    const TCase cases[] = {
        // 4:3 correction: r = 0.9166667, s = min(384 / 640, 288 / 480) = 0.6, the whole frame.
        {640, 480, Conversion(1, 1), {0, 0, 352, 288}},
        // Small pictures keep their size in the middle, or fill the height when they may grow.
        {100, 100, Conversion(1, 0, 0, false), {126, 94, 100, 100}},
        {100, 100, Conversion(1, 0, 0, true), {32, 0, 288, 288}},
        // A picture with a single row keeps at least one pixel of height.
        {3000, 1, Conversion(1, 0), {0, 144, 352, 1}},
        {1, 3000, Conversion(3, 0), {352, 0, 1, 576}},
        // Cropping: margins of 10 % of the height, and of the width times r.
        {704, 576, Conversion(3, 0, 10), {71, 58, 562, 460}},
        // Out-of-range cropping counts as 50 %: no area left, the scale falls back to 1.
        {640, 480, Conversion(1, 0, 80), {-144, -96, 640, 480}},
        // A picture without pixels leaves the frame empty.
        {0, 480, Conversion(1, 0), {0, 0, 0, 0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Width) + "x" + std::to_string(c.Height));
        EXPECT_EQ(FitPlacement(c.Width, c.Height, c.Conversion), c.Expected);
    }
}

TEST(StillGeometry, TargetSizesAndFrames) {
    struct TCase {
        int Quality, Type, Kb;
    };
    const TCase cases[] = {{100, 0, 42}, {100, 2, 220}, {0, 1, 20},   {0, 3, 46},   {20, 0, 24}, {20, 2, 81},
                           {-5, 4, 30},  {150, 7, 200}, {50, 5, 115}, {100, 9, 42}, {0, -1, 40}};
    for (const TCase& c : cases) EXPECT_EQ(TargetSizeKb(c.Quality, c.Type), c.Kb) << c.Quality << " " << c.Type;

    EXPECT_EQ(StillFrameSize(0), (TPictureSize{352, 240}));
    EXPECT_EQ(StillFrameSize(5), (TPictureSize{480, 576}));
    EXPECT_EQ(StillFrameSize(6), (TPictureSize{704, 480}));
    EXPECT_EQ(StillFrameSize(42), (TPictureSize{352, 288}));
    EXPECT_FLOAT_EQ(PixelAspect(1, 0), 1.0f);
    EXPECT_NEAR(PixelAspect(1, 1), 0.9166667f, 1e-6);
    EXPECT_NEAR(PixelAspect(5, 2), (480.0f / 576.0f) / (16.0f / 9.0f), 1e-6);
    EXPECT_EQ(BestInitialSize(1, 1, 0), (TPictureSize{384, 288}));
    EXPECT_EQ(BestInitialSize(3, 0, 10), (TPictureSize{564, 460}));
    EXPECT_EQ(StillTypeOf(true, true, true), 3);
    EXPECT_EQ(StillTypeOf(false, false, false), 4);
    EXPECT_EQ(NormalStillType(2), 0);
    EXPECT_EQ(NormalStillType(3), 1);
}

TEST(StillGeometry, AntiFlickerKernelIsNormalisedAndTrimmed) {
    for (double radius : {0.05, 0.3, 0.5, 1.0, 3.0}) {
        const std::vector<double> kernel = AntiFlickerKernel(radius);
        ASSERT_EQ(kernel.size() % 2, 1u);
        EXPECT_NEAR(std::accumulate(kernel.begin(), kernel.end(), 0.0), 1.0, 1e-12);
        for (std::size_t i = 0; i < kernel.size() / 2; ++i) EXPECT_DOUBLE_EQ(kernel[i], kernel[kernel.size() - 1 - i]);
        EXPECT_GE(kernel.size(), 3u);  // the half-width never drops below 1
    }
    EXPECT_EQ(AntiFlickerKernel(0.05).size(), 3u);
    // Radius 1: taps are dropped while less than 1/510 is gone; the pair at 3 tips it over.
    EXPECT_EQ(AntiFlickerKernel(1.0).size(), 5u);
}

TEST(StillGeometry, AntiFlickerSoftensHorizontalEdgesOnly) {
    // A white row between black rows: the blur spreads it over its neighbours.
    const int width = 4;
    const int height = 5;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width * height * 3), 0);
    for (int x = 0; x < width * 3; ++x) rgb[static_cast<std::size_t>(2 * width * 3 + x)] = 255;
    ApplyAntiFlicker(rgb, width, height, 1.0);
    auto at = [&](int x, int y) { return rgb[static_cast<std::size_t>((y * width + x) * 3)]; };
    EXPECT_LT(at(0, 2), 255);
    EXPECT_GT(at(0, 1), 0);
    EXPECT_EQ(at(0, 1), at(3, 3));  // symmetric, and the same along the row
    EXPECT_GT(at(0, 2), at(0, 1));
    // Radius 0 changes nothing.
    std::vector<std::uint8_t> same = rgb;
    ApplyAntiFlicker(same, width, height, 0);
    EXPECT_EQ(same, rgb);
}

}  // namespace
