// The choices of a still batch: the page's settings as stored, and the
// conversion values derived from them.
#pragma once

#include <cstdint>
#include <string>

#include "lib/settings.h"
#include "stills/still_geometry.h"

struct TStillOptions {
    bool Vcd = true;
    bool Pal = true;
    bool High = true;
    // A VCD high-resolution still also carries a normal-resolution stream.
    bool Dual = true;
    bool SvcdHack = false;        // counted only for SVCD stills
    std::int32_t Quality = 100;   // 0..100
    TStillConversion Conversion;  // its StillType follows Vcd, Pal and High
    bool DeleteTempFiles = true;
    bool ContinueOnErrors = false;
    bool Recursive = false;
    std::string OutputFolder;  // empty: beside each picture
    int Jobs = 1;              // pictures prepared at once
    std::string NameSuffix;    // added to each output's base name
    // A still newer than its picture is kept instead of made again.
    bool ReuseUpToDate = false;
};

// The stretch filter read from its stored name: "Nearest", "Linear" (also
// "linear2"), "Lanczos", "Spline"; anything else is Spline.
std::uint8_t StillFilterOf(const std::string& name);
const char* StillFilterName(std::uint8_t filter);

// The options the stills page's settings give (quality = 5 x the track bar,
// anti-flicker radius = the track bar / 10, VCD high resolution is dual).
TStillOptions ReadStillOptions(const TSettings& settings);
// The still type of the options (VCD NTSC low 0 ... SVCD PAL high 7).
std::uint8_t StillTypeOf(const TStillOptions& options);
