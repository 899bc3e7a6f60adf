// The arithmetic of MPEG stills: frame sizes of the still types, pixel aspect,
// where a picture goes in the frame, the size asked of the encoder, and the
// anti-flicker kernel. No pictures here, only numbers.
#pragma once

#include <cstdint>
#include <vector>

// The parameters that turn a picture into a still frame, copied as a whole.
struct TStillConversion {
    std::uint8_t StillType = 1;         // 0..7, see StillFrameSize
    std::int32_t TvCropping = 0;        // percent, used clamped to 0..50
    std::uint32_t BackColor = 0;        // 0xRRGGBB
    std::uint8_t StretchFilter = 2;     // 0 nearest, 1 linear, 2 spline, 3 Lanczos
    std::uint8_t AspectCorrection = 0;  // 0 none, 1 for a 4:3 display, 2 for a 16:9 display
    bool AllowEnlarging = true;
    double AntiFlickerRadius = 0;
};

struct TPictureSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TPictureSize&) const = default;
};

struct TPictureRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TPictureRect&) const = default;
};

// 352x240, 352x288, 704x480, 704x576 for the VCD types 0..3, 480x480, 480x576,
// 704x480, 704x576 for the SVCD types 4..7; any other type is 352x288.
TPictureSize StillFrameSize(int stillType);
bool IsVcdStillType(int stillType);
bool IsPalStillType(int stillType);
bool IsHighStillType(int stillType);
// The type of the given disc kind, TV system and resolution.
std::uint8_t StillTypeOf(bool vcd, bool pal, bool high);
// The normal-resolution companion of a VCD high-resolution type (2 -> 0, 3 -> 1).
std::uint8_t NormalStillType(int stillType);

// Width of a frame pixel over its height on the display (1 without correction).
float PixelAspect(int stillType, int correction);

// Where the source picture goes in the frame. An empty source gives an empty rect.
TPictureRect FitPlacement(int sourceWidth, int sourceHeight, const TStillConversion& conversion);

// The still size in kilobytes asked of the encoder for a quality of 0..100.
int TargetSizeKb(int quality, int stillType);

// The picture size that fills the frame without any scaling.
TPictureSize BestInitialSize(int stillType, int correction, int cropping);

// The normalised taps of the anti-flicker blur (odd count, centre in the middle).
std::vector<double> AntiFlickerKernel(double radius);
// Blurs interleaved 8-bit RGB pixels in place: rows first, then columns.
void ApplyAntiFlicker(std::vector<std::uint8_t>& rgb, int width, int height, double radius);
