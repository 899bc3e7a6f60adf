#include "stills/still_picture.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <mutex>
#include <vips/vips8>

#include "lib/safe_file.h"
#include "lib/text.h"
#include "settings/language.h"

using vips::VImage;
using vips::VOption;

namespace {

void StartVips() {
    static std::once_flag started;
    std::call_once(started, [] {
        if (VIPS_INIT("lumora")) throw std::runtime_error("libvips cannot start");
        // Decoders read from buffers we free after each use: no cached operation may outlive them.
        vips_cache_set_max(0);
        // A damaged picture is reported once, by us, not tile by tile on the terminal.
        g_log_set_handler(
            "VIPS", G_LOG_LEVEL_WARNING, [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    });
}

// The first line of a libvips error, for the log.
std::string VipsReason(const vips::VError& error) {
    const TStringList lines = SplitLines(error.what());
    vips_error_clear();
    return lines.empty() ? std::string() : Trim(lines.front());
}

VipsKernel KernelOf(int filter) {
    switch (filter) {
        case 0:
            return VIPS_KERNEL_NEAREST;
        case 1:
            return VIPS_KERNEL_LINEAR;
        case 3:
            return VIPS_KERNEL_LANCZOS3;
        default:
            return VIPS_KERNEL_MITCHELL;
    }
}

VImage OpenSource(const TSourcePicture& source, int shrink = 1) {
    VOption* options = VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL)->set("fail_on", VIPS_FAIL_ON_TRUNCATED);
    if (shrink > 1) options->set("shrink", shrink);
    return VImage::new_from_buffer(source.Bytes.data(), source.Bytes.size(), "", options);
}

// A JPEG decoder can scale by 2, 4 or 8 while decoding, far faster than
// decoding it whole. Used only while at least twice the target size is left,
// so that the chosen filter still does the visible resampling.
int JpegShrink(const TSourcePicture& source, int targetWidth, int targetHeight) {
    const char* loader = vips_foreign_find_load_buffer(source.Bytes.data(), source.Bytes.size());
    if (!loader || std::string(loader).find("Jpeg") == std::string::npos) return 1;
    const bool turned = source.Orientation >= 5 && source.Orientation <= 8;
    const int width = turned ? source.Height : source.Width;
    const int height = turned ? source.Width : source.Height;
    int shrink = 1;
    while (shrink < 8 && width / (shrink * 2) >= 2 * targetWidth && height / (shrink * 2) >= 2 * targetHeight)
        shrink *= 2;
    return shrink;
}

// Exactly `width` x `height` pixels of the image, resampled with `filter`.
VImage ResizeTo(const VImage& image, int width, int height, int filter) {
    const double hscale = static_cast<double>(width) / image.width();
    const double vscale = static_cast<double>(height) / image.height();
    VImage resized = image.resize(hscale, VImage::option()->set("vscale", vscale)->set("kernel", KernelOf(filter)));
    if (resized.width() != width || resized.height() != height)
        resized = resized.embed(0, 0, width, height, VImage::option()->set("extend", VIPS_EXTEND_COPY));
    return resized;
}

std::vector<double> ColourBands(std::uint32_t colour) {
    return {static_cast<double>((colour >> 16) & 0xFF), static_cast<double>((colour >> 8) & 0xFF),
            static_cast<double>(colour & 0xFF)};
}

// 8-bit sRGB with three bands, transparency flattened on `background`.
VImage ToRgb(VImage image, std::uint32_t background) {
    if (image.interpretation() != VIPS_INTERPRETATION_sRGB || image.format() != VIPS_FORMAT_UCHAR)
        image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    if (image.has_alpha()) image = image.flatten(VImage::option()->set("background", ColourBands(background)));
    if (image.format() != VIPS_FORMAT_UCHAR) image = image.cast(VIPS_FORMAT_UCHAR);
    if (image.bands() > 3) image = image.extract_band(0, VImage::option()->set("n", 3));
    if (image.bands() < 3) image = image.bandjoin({image, image}).extract_band(0, VImage::option()->set("n", 3));
    return image;
}

TRgbPicture ToPicture(const VImage& image) {
    TRgbPicture picture;
    picture.Width = image.width();
    picture.Height = image.height();
    std::size_t size = 0;
    void* memory = image.write_to_memory(&size);
    const auto* bytes = static_cast<const std::uint8_t*>(memory);
    picture.Pixels.assign(bytes, bytes + size);
    g_free(memory);
    return picture;
}

VImage FromPicture(const TRgbPicture& picture) {
    return VImage::new_from_memory(const_cast<std::uint8_t*>(picture.Pixels.data()), picture.Pixels.size(),
                                   picture.Width, picture.Height, 3, VIPS_FORMAT_UCHAR);
}

}  // namespace

TSourcePicturePtr LoadSourcePicture(const std::string& path, std::string& error) {
    StartVips();
    auto source = std::make_shared<TSourcePicture>();
    source->Path = path;
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        error = Translate("Unable to read the file");
        return nullptr;
    }
    source->Bytes = std::move(*bytes);
    try {
        const VImage image = OpenSource(*source);
        if (image.get_typeof("orientation") != 0) source->Orientation = image.get_int("orientation");
        const bool turned = source->Orientation >= 5 && source->Orientation <= 8;
        source->Width = turned ? image.height() : image.width();
        source->Height = turned ? image.width() : image.height();
    } catch (const vips::VError& failure) {
        error = VipsReason(failure);
        return nullptr;
    }
    if (source->Width <= 0 || source->Height <= 0) {
        error = Translate("The picture has no pixels");
        return nullptr;
    }
    if (static_cast<long long>(source->Width) * source->Height > MaxSourcePixels) {
        error = Format(Translate("The picture is too large (%d x %d pixels)"), source->Width, source->Height);
        return nullptr;
    }
    return source;
}

std::optional<TRgbPicture> FitPicture(const TSourcePicture& source, const TStillConversion& conversion,
                                      std::string& error) {
    StartVips();
    const TPictureSize frameSize = StillFrameSize(conversion.StillType);
    const TPictureRect place = FitPlacement(source.Width, source.Height, conversion);
    try {
        VImage frame = VImage::black(frameSize.Width, frameSize.Height, VImage::option()->set("bands", 3))
                           .linear({1, 1, 1}, ColourBands(conversion.BackColor))
                           .cast(VIPS_FORMAT_UCHAR);
        if (place.Width > 0) {
            const bool turned = source.Orientation >= 5 && source.Orientation <= 8;
            const int width = turned ? place.Height : place.Width;
            const int height = turned ? place.Width : place.Height;
            VImage picture = ToRgb(OpenSource(source, JpegShrink(source, width, height)), conversion.BackColor);
            picture = ResizeTo(picture, width, height, conversion.StretchFilter);
            // Turned once small: a sequential decoder cannot serve a rotation.
            if (source.Orientation > 1) {
                picture = picture.copy_memory();
                picture.set("orientation", source.Orientation);
                picture = picture.autorot();
            }
            frame = frame.insert(picture, place.X, place.Y);
        }
        TRgbPicture result = ToPicture(frame);
        ApplyAntiFlicker(result.Pixels, result.Width, result.Height, conversion.AntiFlickerRadius);
        return result;
    } catch (const vips::VError& failure) {
        error = VipsReason(failure);
        return std::nullopt;
    }
}

TRgbPicture SquarePixels(const TRgbPicture& frame, int stillType, int correction) {
    if (frame.Empty()) return frame;
    StartVips();
    const int width = std::max(
        1, static_cast<int>(std::nearbyint(static_cast<float>(frame.Width) / PixelAspect(stillType, correction))));
    if (width == frame.Width) return frame;
    return ToPicture(ResizeTo(FromPicture(frame), width, frame.Height, 3));
}

std::optional<std::string> EncodeStillJpeg(const TRgbPicture& picture, std::string& error) {
    StartVips();
    try {
        VipsBlob* blob = FromPicture(picture).jpegsave_buffer(VImage::option()
                                                                  ->set("Q", 100)
                                                                  ->set("subsample_mode", VIPS_FOREIGN_SUBSAMPLE_ON)
                                                                  ->set("interlace", false)
                                                                  ->set("strip", true));
        std::size_t size = 0;
        const auto* data = static_cast<const char*>(vips_blob_get(blob, &size));
        std::string bytes(data, size);
        vips_area_unref(VIPS_AREA(blob));
        return bytes;
    } catch (const vips::VError& failure) {
        error = VipsReason(failure);
        return std::nullopt;
    }
}

const std::vector<std::string>& PictureExtensions() {
    static const std::vector<std::string> extensions = [] {
        StartVips();
        std::vector<std::string> found;
        for (const char* loader :
             {"jpegload_buffer", "pngload_buffer", "gifload_buffer", "tiffload_buffer", "webpload_buffer",
              "heifload_buffer", "jp2kload_buffer", "jxlload_buffer", "magickload_buffer"}) {
            if (vips_type_find("VipsOperation", loader) == 0) continue;
            const std::string name(loader);
            if (name == "jpegload_buffer") found.insert(found.end(), {"jpg", "jpeg", "jpe", "jfif"});
            if (name == "pngload_buffer") found.push_back("png");
            if (name == "gifload_buffer") found.push_back("gif");
            if (name == "tiffload_buffer") found.insert(found.end(), {"tif", "tiff"});
            if (name == "webpload_buffer") found.push_back("webp");
            if (name == "heifload_buffer") found.insert(found.end(), {"heic", "heif", "avif"});
            if (name == "jp2kload_buffer") found.insert(found.end(), {"jp2", "j2k"});
            if (name == "jxlload_buffer") found.push_back("jxl");
            if (name == "magickload_buffer") found.insert(found.end(), {"bmp", "pcx", "tga"});
        }
        return found;
    }();
    return extensions;
}

bool HasPictureExtension(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension.size() < 2) return false;
    const std::string bare = LowerCase(extension.substr(1));
    const std::vector<std::string>& known = PictureExtensions();
    return std::find(known.begin(), known.end(), bare) != known.end();
}
