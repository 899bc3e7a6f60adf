// Small pictures drawn with libvips for the stills tests: plain colours,
// halves of two colours, every layout a camera or a paint program writes.
#pragma once

#include <cstdint>
#include <string>
#include <vips/vips8>

namespace fixtures {

inline void StartVips() {
    static const bool started = VIPS_INIT("lumora-tests") == 0;
    (void)started;
}

// A picture whose left half is `left` and right half `right` (0xRRGGBB).
inline vips::VImage Halves(int width, int height, std::uint32_t left, std::uint32_t right) {
    StartVips();
    auto colour = [](std::uint32_t c) {
        return std::vector<double>{double((c >> 16) & 0xFF), double((c >> 8) & 0xFF), double(c & 0xFF)};
    };
    const vips::VImage x = vips::VImage::xyz(width, height).extract_band(0);
    const vips::VImage black = vips::VImage::black(width, height, vips::VImage::option()->set("bands", 3));
    const vips::VImage a = black.linear({1, 1, 1}, colour(left)).cast(VIPS_FORMAT_UCHAR);
    const vips::VImage b = black.linear({1, 1, 1}, colour(right)).cast(VIPS_FORMAT_UCHAR);
    return (x < width / 2)
        .ifthenelse(a, b)
        .copy(vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

inline vips::VImage Plain(int width, int height, std::uint32_t colour) { return Halves(width, height, colour, colour); }

inline void Save(const vips::VImage& image, const std::string& path) { image.write_to_file(path.c_str()); }

// Bytes of a JPEG with its frame header claiming another size.
inline std::string WithJpegSize(std::string jpeg, int width, int height) {
    const std::size_t sof = jpeg.find("\xFF\xC0");
    jpeg[sof + 5] = static_cast<char>(height >> 8);
    jpeg[sof + 6] = static_cast<char>(height & 0xFF);
    jpeg[sof + 7] = static_cast<char>(width >> 8);
    jpeg[sof + 8] = static_cast<char>(width & 0xFF);
    return jpeg;
}

}  // namespace fixtures
