#include "stills/still_geometry.h"

#include <algorithm>
#include <cmath>

namespace {

// Nearest integer, halves to the even neighbour.
int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

int ClampedCropping(int cropping) { return std::clamp(cropping, 0, 50); }

// One blur pass along lines of `count` pixels, `stride` bytes apart.
void BlurLine(const std::uint8_t* source, std::uint8_t* target, int count, std::ptrdiff_t stride,
              const std::vector<double>& kernel) {
    const int half = static_cast<int>(kernel.size() / 2);
    for (int i = 0; i < count; ++i) {
        for (int channel = 0; channel < 3; ++channel) {
            double sum = 0;
            for (int k = -half; k <= half; ++k) {
                const int at = std::clamp(i + k, 0, count - 1);
                sum += kernel[static_cast<std::size_t>(k + half)] * source[at * stride + channel];
            }
            target[i * stride + channel] = static_cast<std::uint8_t>(std::clamp(RoundEven(sum), 0, 255));
        }
    }
}

}  // namespace

TPictureSize StillFrameSize(int stillType) {
    switch (stillType) {
        case 0:
            return {352, 240};
        case 1:
            return {352, 288};
        case 2:
            return {704, 480};
        case 3:
            return {704, 576};
        case 4:
            return {480, 480};
        case 5:
            return {480, 576};
        case 6:
            return {704, 480};
        case 7:
            return {704, 576};
        default:
            return {352, 288};
    }
}

bool IsVcdStillType(int stillType) { return stillType < 4 || stillType > 7; }
bool IsPalStillType(int stillType) { return stillType < 0 || stillType > 7 || stillType % 2 == 1; }
bool IsHighStillType(int stillType) { return stillType == 2 || stillType == 3 || stillType == 6 || stillType == 7; }

std::uint8_t StillTypeOf(bool vcd, bool pal, bool high) {
    return static_cast<std::uint8_t>((vcd ? 0 : 4) + (high ? 2 : 0) + (pal ? 1 : 0));
}

std::uint8_t NormalStillType(int stillType) {
    return static_cast<std::uint8_t>(stillType == 2 ? 0 : stillType == 3 ? 1 : stillType);
}

float PixelAspect(int stillType, int correction) {
    if (correction == 0) return 1.0f;
    const TPictureSize frame = StillFrameSize(stillType);
    const float display = correction == 2 ? 16.0f / 9.0f : 4.0f / 3.0f;
    return static_cast<float>(frame.Width) / static_cast<float>(frame.Height) / display;
}

TPictureRect FitPlacement(int sourceWidth, int sourceHeight, const TStillConversion& conversion) {
    if (sourceWidth <= 0 || sourceHeight <= 0) return {};
    const TPictureSize frame = StillFrameSize(conversion.StillType);
    const float r = PixelAspect(conversion.StillType, conversion.AspectCorrection);
    const float c = static_cast<float>(ClampedCropping(conversion.TvCropping)) / 100.0f;
    const int mx = RoundEven(static_cast<float>(frame.Width) * c * r);
    const int my = RoundEven(static_cast<float>(frame.Height) * c);
    const int aw = frame.Width - 2 * mx;
    const int ah = frame.Height - 2 * my;
    float s = std::min(static_cast<float>(RoundEven(static_cast<float>(aw) / r)) / static_cast<float>(sourceWidth),
                       static_cast<float>(ah) / static_cast<float>(sourceHeight));
    if (s == 0.0f) s = 1.0f;
    if (s > 1.0f && !conversion.AllowEnlarging) s = 1.0f;
    // A very thin picture still keeps one pixel in each direction.
    const int pw = std::max(1, RoundEven(static_cast<float>(sourceWidth) * s * r));
    const int ph = std::max(1, RoundEven(static_cast<float>(sourceHeight) * s));
    return {RoundEven((aw - pw) / 2.0) + mx, RoundEven((ah - ph) / 2.0) + my, pw, ph};
}

int TargetSizeKb(int quality, int stillType) {
    int low = 40;
    int high = 42;
    if (stillType == 0 || stillType == 1) {
        low = 20;
        high = 42;
    } else if (stillType == 2 || stillType == 3) {
        low = 46;
        high = 220;
    } else if (stillType >= 4 && stillType <= 7) {
        low = 30;
        high = 200;
    }
    const int q = std::clamp(quality, 0, 100);
    return low + RoundEven((high - low) * q / 100.0);
}

TPictureSize BestInitialSize(int stillType, int correction, int cropping) {
    const TPictureSize frame = StillFrameSize(stillType);
    const float r = PixelAspect(stillType, correction);
    const int crop = ClampedCropping(cropping);
    const int width = frame.Width - 2 * RoundEven(frame.Width * crop / 100.0);
    return {RoundEven(static_cast<float>(width) / r), frame.Height - 2 * RoundEven(frame.Height * crop / 100.0)};
}

std::vector<double> AntiFlickerKernel(double radius) {
    if (!(radius > 0)) return {1.0};
    constexpr int Span = 100;
    std::vector<double> weights(2 * Span + 1);
    double total = 0;
    for (int i = -Span; i <= Span; ++i) {
        const double x = i / radius;
        weights[static_cast<std::size_t>(i + Span)] = std::exp(-x * x / 2);
        total += weights[static_cast<std::size_t>(i + Span)];
    }
    for (double& weight : weights) weight /= total;
    // Taps too light to change an 8-bit value are dropped from both ends.
    int half = Span;
    double removed = 0;
    while (removed < 1.0 / 510 && half >= 2) {
        removed += weights[static_cast<std::size_t>(Span - half)] + weights[static_cast<std::size_t>(Span + half)];
        --half;
    }
    std::vector<double> kernel(weights.begin() + (Span - half), weights.begin() + (Span + half + 1));
    double kept = 0;
    for (double weight : kernel) kept += weight;
    for (double& weight : kernel) weight /= kept;
    return kernel;
}

void ApplyAntiFlicker(std::vector<std::uint8_t>& rgb, int width, int height, double radius) {
    if (radius <= 0 || width <= 0 || height <= 0) return;
    const std::vector<double> kernel = AntiFlickerKernel(radius);
    std::vector<std::uint8_t> rows(rgb.size());
    const std::ptrdiff_t rowBytes = static_cast<std::ptrdiff_t>(width) * 3;
    for (int y = 0; y < height; ++y) BlurLine(rgb.data() + y * rowBytes, rows.data() + y * rowBytes, width, 3, kernel);
    for (int x = 0; x < width; ++x) BlurLine(rows.data() + x * 3, rgb.data() + x * 3, height, rowBytes, kernel);
}
