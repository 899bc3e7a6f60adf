#include "model/video_cd.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "services/services.h"
#include "settings/language.h"

namespace {

struct TVideoCdTypeInfo {
    const char* Text;
    const char* Class;
    const char* Version;
    const char* Label;
};

constexpr std::array<TVideoCdTypeInfo, 3> VideoCdTypes{{
    {"VCD 1.1", "vcd", "1.1", "VIDEOCD"},
    {"VCD 2.0", "vcd", "2.0", "VIDEOCD"},
    {"SVCD 1.0", "svcd", "1.0", "SUPER_VIDEOCD"},
}};

constexpr std::array<const char*, 4> CdImageNames{"Cue", "AdvCue", "Toc", "Toast"};
constexpr std::array<const char*, 4> CdImageCaptions{"BIN/CUE", "BIN/detailed CUE", "CDRDAO TOC", "TOAST (Mac)"};

const TVideoCdTypeInfo& Info(TVideoCdType value) {
    const auto i = static_cast<std::size_t>(value);
    return VideoCdTypes[i < VideoCdTypes.size() ? i : 0];
}

std::size_t ImageIndex(TCdImageType value) {
    const auto i = static_cast<std::size_t>(value);
    return i < CdImageNames.size() ? i : 0;
}

// One "0" for each threshold the number is below.
std::string PadBelow(int n, std::initializer_list<int> thresholds) {
    std::string zeros;
    for (int threshold : thresholds)
        if (n < threshold) zeros += '0';
    return zeros + std::to_string(n);
}

}  // namespace

std::string TvSystemName(TTvSystem value) { return value == TTvSystem::Ntsc ? "NTSC" : "PAL"; }

TTvSystem ParseTvSystem(std::string_view text) {
    const std::string value = UpperCase(Trim(text));
    if (value == "NTSC" || value == "FILM" || value == "NTSCFILM") return TTvSystem::Ntsc;
    return TTvSystem::Pal;
}

std::string StreamTvSystemName(TStreamTvSystem value) {
    switch (value) {
        case TStreamTvSystem::Pal:
            return "PAL";
        case TStreamTvSystem::Ntsc:
            return "NTSC";
        case TStreamTvSystem::Film:
            return "NTSC Film";
        case TStreamTvSystem::Unknown:
            break;
    }
    return "?";
}

std::string VideoCdTypeText(TVideoCdType value) { return Info(value).Text; }

const TStringList& VideoCdTypeTexts() {
    static const TStringList texts{VideoCdTypes[0].Text, VideoCdTypes[1].Text, VideoCdTypes[2].Text};
    return texts;
}

std::optional<TVideoCdType> ParseVideoCdTypeText(std::string_view text) {
    const std::string value = Trim(text);
    if (value.empty()) return TVideoCdType::Vcd11;
    for (std::size_t i = 0; i < VideoCdTypes.size(); ++i)
        if (value == VideoCdTypes[i].Text) return static_cast<TVideoCdType>(i);
    return std::nullopt;
}

TVideoCdType GetVideoCdTypeFromSelector(std::string_view text) {
    if (auto type = ParseVideoCdTypeText(text)) return *type;
    Dialogs().MessageDlg("\r" + Translate("Unknown GetVideoCdTypeFromCombo result") + "   ", TMsgDlgType::Error, mbOK);
    std::abort();
}

std::string VideoCdTypeClass(TVideoCdType value) { return Info(value).Class; }
std::string VideoCdTypeVersion(TVideoCdType value) { return Info(value).Version; }
std::string DefaultVolumeLabel(TVideoCdType value) { return Info(value).Label; }
bool HasPlaybackControl(TVideoCdType value) { return value != TVideoCdType::Vcd11; }
bool AllowsStills(TVideoCdType value) { return value != TVideoCdType::Vcd11; }

bool UsePbcAfterTypeChange(bool usePbc, TVideoCdType from, TVideoCdType to) {
    if (from == to) return usePbc;
    if (to == TVideoCdType::Vcd11) return false;
    if (from == TVideoCdType::Vcd11) return true;
    return usePbc;
}

bool HasSvcdOnlyOptions(TVideoCdType value) { return value == TVideoCdType::Svcd10; }
bool WritesRestrictionCategory(TVideoCdType value) { return value != TVideoCdType::Vcd11; }
bool HasPvdApplicationId(TVideoCdType value) { return value != TVideoCdType::Svcd10; }
bool HasCdiOptions(TVideoCdType value) { return value != TVideoCdType::Svcd10; }

std::string VolumeLabelAfterTypeChange(const std::string& label, TVideoCdType from, TVideoCdType to) {
    const bool fromSvcd = from == TVideoCdType::Svcd10;
    const bool toSvcd = to == TVideoCdType::Svcd10;
    if (fromSvcd != toSvcd && SameText(label, DefaultVolumeLabel(from))) return DefaultVolumeLabel(to);
    return label;
}

std::string CdImageTypeName(TCdImageType value) { return CdImageNames[ImageIndex(value)]; }

TCdImageType ParseCdImageType(std::string_view text) {
    const std::string value = UpperCase(Trim(text));
    for (std::size_t i = 0; i < CdImageNames.size(); ++i)
        if (value == UpperCase(CdImageNames[i])) return static_cast<TCdImageType>(i);
    return TCdImageType::Cue;
}

std::string CdImageTypeCaption(TCdImageType value) { return CdImageCaptions[ImageIndex(value)]; }

TCdImageType CdImageTypeFromCaption(std::string_view caption) {
    const std::string value = Trim(caption);
    for (std::size_t i = 0; i < CdImageCaptions.size(); ++i)
        if (value == CdImageCaptions[i]) return static_cast<TCdImageType>(i);
    return TCdImageType::Cue;
}

std::string OutputExtension(TCdImageType value, bool xmlOnly) { return xmlOnly ? "xml" : CdImageExtension(value); }

std::string CdImageExtension(TCdImageType value) {
    return value == TCdImageType::Cue || value == TCdImageType::AdvCue ? "bin" : "toc";
}

bool IsMpegFileName(std::string_view path) {
    const std::string extension = LowerCase(std::filesystem::path(path).extension().string());
    return extension == ".mpeg" || extension == ".mpg" || extension == ".m1p" || extension == ".m2p";
}

std::int32_t EstimateDiscSize(std::int64_t size, bool isMotionVideo) {
    constexpr double sector = 2048.0;
    const auto bytes = static_cast<double>(size);
    double sectors = 0;
    if (isMotionVideo) {
        double factor = 1.045;
        if (size > 314572800)
            factor = 1.0123;
        else if (size > 104857600)
            factor = 1.02;
        else if (size > 52428800)
            factor = 1.03;
        sectors = std::ceil(bytes * factor / sector);
    } else {
        sectors = std::floor(bytes * 1.0126 / sector) + 1;
    }
    const double result = sectors * sector;
    if (!(result <= std::numeric_limits<std::int32_t>::max() && result >= std::numeric_limits<std::int32_t>::min()))
        throw EDiscSizeOverflow();
    return static_cast<std::int32_t>(result);
}

std::string FormatNumber4(int n) { return PadBelow(n, {1000, 100, 10}); }
std::string FormatNumber3(int n) { return PadBelow(n, {100, 10}); }
std::string FormatNumber2(int n) { return PadBelow(n, {10}); }

void ShowLimitMessage(const std::string& message, int limit) {
    const std::string text = Format(Translate(message), std::to_string(limit));
    Dialogs().MessageDlg("\r  " + text + "...        \r", TMsgDlgType::Error, mbOK);
}
