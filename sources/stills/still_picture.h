// Pictures for MPEG stills, through libvips: reading any picture the library
// knows (upright by its EXIF orientation, in sRGB, flattened on the
// background), fitting it into a still frame, the square-pixel view, and the
// JPEG files the encoder and a computer read.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "stills/still_geometry.h"

// Interleaved 8-bit RGB.
struct TRgbPicture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels;
    bool Empty() const { return Width <= 0 || Height <= 0; }
};

// A readable picture: its bytes and its upright size. The pixels are decoded
// on each use, so that a fit never keeps a large photo in memory.
class TSourcePicture {
public:
    std::string Path;
    std::string Bytes;
    int Width = 0;   // upright
    int Height = 0;  // upright
    int Orientation = 1;
};
using TSourcePicturePtr = std::shared_ptr<const TSourcePicture>;

// Larger pictures are refused: no still needs them, and decoding them could
// exhaust the memory.
inline constexpr long long MaxSourcePixels = 1LL << 28;

// Reads the picture's header; nothing and a reason when it is no picture the
// library reads, has no pixels, or is too large.
TSourcePicturePtr LoadSourcePicture(const std::string& path, std::string& error);

// The still frame of the picture (the anti-flicker blur included); nothing and
// a reason when its pixels cannot be decoded.
std::optional<TRgbPicture> FitPicture(const TSourcePicture& source, const TStillConversion& conversion,
                                      std::string& error);

// The frame stretched to square pixels, for viewing on a computer.
TRgbPicture SquarePixels(const TRgbPicture& frame, int stillType, int correction);

// Quality 100, baseline, 3 components, chroma 4:2:0: the only layout that
// jpeg2yuv decodes. Nothing and a reason on failure.
std::optional<std::string> EncodeStillJpeg(const TRgbPicture& picture, std::string& error);

// The file name extensions (lower case, without the dot) of the readable formats.
const std::vector<std::string>& PictureExtensions();
bool HasPictureExtension(const std::string& path);
