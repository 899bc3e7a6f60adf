#include "stills/still_picture.h"

#include <gtest/gtest.h>

#include <fstream>

#include "picture_fixtures.h"
#include "support/temp_folder.h"

namespace {

struct TPixel {
    int R, G, B;
};

TPixel PixelAt(const TRgbPicture& picture, int x, int y) {
    const std::size_t at = static_cast<std::size_t>((y * picture.Width + x) * 3);
    return {picture.Pixels[at], picture.Pixels[at + 1], picture.Pixels[at + 2]};
}

// Near the colour, as JPEG round trips allow.
::testing::AssertionResult Near(TPixel pixel, std::uint32_t colour, int tolerance = 40) {
    const TPixel want{int((colour >> 16) & 0xFF), int((colour >> 8) & 0xFF), int(colour & 0xFF)};
    if (std::abs(pixel.R - want.R) <= tolerance && std::abs(pixel.G - want.G) <= tolerance &&
        std::abs(pixel.B - want.B) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel " << pixel.R << "," << pixel.G << "," << pixel.B << " is not near "
                                         << want.R << "," << want.G << "," << want.B;
}

std::optional<TRgbPicture> Fit(const std::string& path, const TStillConversion& conversion, std::string& error) {
    const TSourcePicturePtr source = LoadSourcePicture(path, error);
    if (!source) return std::nullopt;
    return FitPicture(*source, conversion, error);
}

constexpr std::uint32_t Red = 0xFF0000;
constexpr std::uint32_t Blue = 0x0000FF;
constexpr std::uint32_t Green = 0x00FF00;

TEST(StillPicture, CameraPhotoComesOutUpright) {
    TTempFolder folder;
    // Stored sideways (red left, blue right) with orientation 6: upright, red is on top.
    vips::VImage stored = fixtures::Halves(120, 60, Red, Blue).copy();
    stored.set("orientation", 6);
    const std::string path = folder.File("camera.jpg");
    fixtures::Save(stored, path);

    std::string error;
    const TSourcePicturePtr source = LoadSourcePicture(path, error);
    ASSERT_TRUE(source) << error;
    EXPECT_EQ(source->Width, 60);
    EXPECT_EQ(source->Height, 120);
    TStillConversion conversion;  // type 1, 352 x 288
    const std::optional<TRgbPicture> frame = FitPicture(*source, conversion, error);
    ASSERT_TRUE(frame) << error;
    ASSERT_EQ(frame->Width, 352);
    ASSERT_EQ(frame->Height, 288);
    // Portrait in a landscape frame: 144 x 288 in the middle, black on both sides.
    EXPECT_TRUE(Near(PixelAt(*frame, 10, 144), 0x000000));
    EXPECT_TRUE(Near(PixelAt(*frame, 340, 144), 0x000000));
    EXPECT_TRUE(Near(PixelAt(*frame, 176, 40), Red));
    EXPECT_TRUE(Near(PixelAt(*frame, 176, 250), Blue));
}

TEST(StillPicture, EveryReadableLayoutBecomesAnRgbFrame) {
    TTempFolder folder;
    const vips::VImage halves = fixtures::Halves(64, 48, Red, Blue);
    struct TCase {
        std::string Name;
        vips::VImage Picture;
        std::uint32_t Left;  // expected on the frame's left side
    };
    const vips::VImage grey = halves.colourspace(VIPS_INTERPRETATION_B_W);
    const vips::VImage alpha =
        (vips::VImage::xyz(64, 48).extract_band(0) < 32).ifthenelse(0, 255).cast(VIPS_FORMAT_UCHAR);
    const TCase cases[] = {
        {"cmyk.jpg", halves.colourspace(VIPS_INTERPRETATION_CMYK), Red},
        {"grey.jpg", grey, 0x7C7C7C},
        {"sixteen.png", halves.colourspace(VIPS_INTERPRETATION_RGB16), Red},
        // Transparent on the left: the background colour shows there.
        {"transparent.png", halves.bandjoin(alpha), Green},
        {"picture.webp", halves, Red},
        {"picture.tif", halves, Red},
        {"picture.gif", halves, Red},
    };
    TStillConversion conversion;
    conversion.StillType = 1;
    conversion.BackColor = Green;
    conversion.AspectCorrection = 0;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = folder.File(c.Name);
        fixtures::Save(c.Picture, path);
        std::string error;
        const std::optional<TRgbPicture> frame = Fit(path, conversion, error);
        ASSERT_TRUE(frame) << error;
        EXPECT_EQ(frame->Pixels.size(), 352u * 288u * 3u);
        // 64 x 48 fills 352 x 264, 12 rows of background above and below.
        EXPECT_TRUE(Near(PixelAt(*frame, 5, 2), Green));
        EXPECT_TRUE(Near(PixelAt(*frame, 60, 144), c.Left, 60));
    }
}

TEST(StillPicture, LargeJpegIsScaledWhileDecoding) {
    TTempFolder folder;
    const std::string path = folder.File("large.jpg");
    fixtures::Save(fixtures::Halves(4000, 3000, Red, Blue), path);
    std::string error;
    const std::optional<TRgbPicture> frame = Fit(path, TStillConversion{}, error);
    ASSERT_TRUE(frame) << error;
    // 352 x 264 in the middle of 352 x 288: the halves where they belong, the seam in the middle.
    EXPECT_TRUE(Near(PixelAt(*frame, 5, 20), Red));
    EXPECT_TRUE(Near(PixelAt(*frame, 346, 267), Blue));
    EXPECT_TRUE(Near(PixelAt(*frame, 174, 144), Red));
    EXPECT_TRUE(Near(PixelAt(*frame, 178, 144), Blue));
    EXPECT_TRUE(Near(PixelAt(*frame, 176, 5), 0x000000));
}

TEST(StillPicture, AnimatedGifGivesItsFirstFrame) {
    TTempFolder folder;
    vips::VImage pages = fixtures::Plain(40, 30, Red).join(fixtures::Plain(40, 30, Blue), VIPS_DIRECTION_VERTICAL);
    pages = pages.copy();
    pages.set("page-height", 30);
    const std::string path = folder.File("animated.gif");
    fixtures::Save(pages, path);
    std::string error;
    const std::optional<TRgbPicture> frame = Fit(path, TStillConversion{}, error);
    ASSERT_TRUE(frame) << error;
    EXPECT_TRUE(Near(PixelAt(*frame, 176, 144), Red));
}

TEST(StillPicture, BadPicturesGiveAReason) {
    TTempFolder folder;
    const std::string good = folder.File("good.jpg");
    fixtures::Save(fixtures::Halves(400, 300, Red, Blue), good);
    const std::string bytes = ReadWholeFile(good);
    struct TCase {
        std::string Name;
        std::string Content;
    };
    const TCase cases[] = {
        {"truncated.jpg", bytes.substr(0, bytes.size() / 2)},
        {"text.jpg", "This is not a picture at all.\n"},
        {"empty.png", ""},
        {"huge.jpg", fixtures::WithJpegSize(bytes, 20000, 20000)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string error;
        EXPECT_FALSE(Fit(folder.Write(c.Name, c.Content), TStillConversion{}, error));
        EXPECT_FALSE(error.empty());
    }
    std::string error;
    EXPECT_FALSE(LoadSourcePicture(folder.File("missing.jpg"), error));
    EXPECT_FALSE(error.empty());
    std::string tooLarge;
    LoadSourcePicture(folder.Write("huge2.jpg", fixtures::WithJpegSize(bytes, 20000, 20000)), tooLarge);
    EXPECT_NE(tooLarge.find("too large"), std::string::npos) << tooLarge;
}

// The layout of a JPEG's frame header: baseline or not, components and their sampling.
struct TJpegLayout {
    bool Baseline = false;
    int Components = 0;
    std::vector<int> Sampling;
};

TJpegLayout LayoutOf(const std::string& jpeg) {
    TJpegLayout layout;
    for (std::size_t at = 2; at + 4 < jpeg.size();) {
        const auto marker = static_cast<unsigned char>(jpeg[at + 1]);
        const std::size_t length =
            static_cast<unsigned char>(jpeg[at + 2]) * 256u + static_cast<unsigned char>(jpeg[at + 3]);
        if (marker >= 0xC0 && marker <= 0xC2) {
            layout.Baseline = marker == 0xC0;
            layout.Components = static_cast<unsigned char>(jpeg[at + 9]);
            for (int c = 0; c < layout.Components; ++c)
                layout.Sampling.push_back(static_cast<unsigned char>(jpeg[at + 11 + 3 * static_cast<std::size_t>(c)]));
            break;
        }
        at += 2 + length;
    }
    return layout;
}

TEST(StillPicture, StillJpegIsBaselineFourTwoZeroAtQualityHundred) {
    TTempFolder folder;
    const std::string path = folder.File("grey.png");
    fixtures::Save(fixtures::Plain(100, 100, 0x808080).colourspace(VIPS_INTERPRETATION_B_W), path);
    std::string error;
    const std::optional<TRgbPicture> frame = Fit(path, TStillConversion{}, error);
    ASSERT_TRUE(frame) << error;
    const std::optional<std::string> jpeg = EncodeStillJpeg(*frame, error);
    ASSERT_TRUE(jpeg) << error;
    const TJpegLayout layout = LayoutOf(*jpeg);
    EXPECT_TRUE(layout.Baseline);
    EXPECT_EQ(layout.Components, 3);
    EXPECT_EQ(layout.Sampling, (std::vector<int>{0x22, 0x11, 0x11}));
}

TEST(StillPicture, SquarePixelsStretchTheFrame) {
    TRgbPicture frame{352, 288, std::vector<std::uint8_t>(352 * 288 * 3, 200)};
    const TRgbPicture view = SquarePixels(frame, 1, 1);  // r = 0.9166667
    EXPECT_EQ(view.Width, 384);
    EXPECT_EQ(view.Height, 288);
    EXPECT_EQ(PixelAt(view, 200, 100).G, 200);
    EXPECT_EQ(SquarePixels(frame, 1, 0).Width, 352);
}

TEST(StillPicture, KnownExtensions) {
    EXPECT_TRUE(HasPictureExtension("/a/b.JPG"));
    EXPECT_TRUE(HasPictureExtension("/a/b.png"));
    EXPECT_TRUE(HasPictureExtension("/a/b.webp"));
    EXPECT_FALSE(HasPictureExtension("/a/b.txt"));
    EXPECT_FALSE(HasPictureExtension("/a/b.mpg"));
    EXPECT_FALSE(HasPictureExtension("/a/jpg"));
}

}  // namespace
