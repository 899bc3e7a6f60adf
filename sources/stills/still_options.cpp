#include "stills/still_options.h"

#include <algorithm>

#include "lib/text.h"

std::uint8_t StillFilterOf(const std::string& name) {
    const std::string lower = LowerCase(Trim(name));
    if (lower == "nearest") return 0;
    if (lower == "linear" || lower == "linear2") return 1;
    if (lower == "lanczos") return 3;
    return 2;
}

const char* StillFilterName(std::uint8_t filter) {
    switch (filter) {
        case 0:
            return "Nearest";
        case 1:
            return "Linear";
        case 3:
            return "Lanczos";
        default:
            return "Spline";
    }
}

std::uint8_t StillTypeOf(const TStillOptions& options) { return StillTypeOf(options.Vcd, options.Pal, options.High); }

TStillOptions ReadStillOptions(const TSettings& settings) {
    TStillOptions options;
    options.Vcd = settings.GetString("StillType", "StillVcd") != "StillSvcd";
    options.Pal = settings.GetBool("StillPal", true);
    options.High = settings.GetBool("StillHigh", true);
    options.Dual = options.Vcd && options.High;
    options.SvcdHack = !options.Vcd && settings.GetBool("StillSvcdHacked", false);
    options.Quality = 5 * std::clamp(settings.GetInteger("StillMpegQuality", 20), 0, 20);
    TStillConversion& conversion = options.Conversion;
    conversion.StillType = StillTypeOf(options);
    conversion.TvCropping = std::clamp(settings.GetInteger("StillTvCropping", 0), 0, 20);
    conversion.BackColor = static_cast<std::uint32_t>(settings.GetFloat("StillBackColor", 0)) & 0xFFFFFF;
    conversion.StretchFilter = StillFilterOf(settings.GetString("StillResizeFilter", "Spline"));
    // SVCD stills always need the correction: their pixels are never square.
    const bool correct = !options.Vcd || settings.GetBool("StillApplyARCorrection", true);
    conversion.AspectCorrection =
        correct ? static_cast<std::uint8_t>(settings.GetBool("StillTvAspectRatio", true) ? 1 : 2) : 0;
    conversion.AllowEnlarging = !settings.GetBool("StillNoMaximize", true);
    conversion.AntiFlickerRadius = std::clamp(settings.GetInteger("AntiFlickering", 0), 0, 10) / 10.0;
    options.DeleteTempFiles = settings.GetBool("StillDeleteTempFiles", true);
    options.ContinueOnErrors = settings.GetBool("StillContinueOnErrors", false);
    options.Recursive = settings.GetBool("StillRecursiveDrop", false);
    options.OutputFolder = Trim(settings.GetString("StillOutFolder", ""));
    return options;
}
