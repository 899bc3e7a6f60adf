// Reading the version banners of the external tools: each reader is a pure
// function of the lines a version query printed, so the rules can be checked
// against recorded banners.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "lib/text.h"

// Which versions count as supported: the historical Windows builds only, or
// also the builds this platform ships (VCDImager 2.0.x, cdrdao 1.2.x, mplex 2.x).
enum class TVersionRules { Windows, Posix };

// "GNU VCDImager 2.0.1" from the output of "vcdxbuild -V" (exit code 0), or
// empty when no line names the program.
std::string VcdImagerVersionLine(const TStringList& lines, std::uint32_t exitCode);
bool IsSupportedVcdImager(const std::string& versionLine, TVersionRules rules);
// The versions named in the unsupported-version message.
std::string SupportedVcdImagerVersions(TVersionRules rules);

// The lines of cdrdao's banner (run without arguments, exit code 1, usage
// follows): non-empty, no warnings, up to the usage line.
TStringList CdrdaoBannerLines(const TStringList& lines, std::uint32_t exitCode);
// "Cdrdao version 1.2.4" from the banner lines, or empty.
std::string CdrdaoVersionLine(const TStringList& banner);

struct TCdrdaoVersionCheck {
    std::uint8_t Code = 0;  // 0 unsupported, 1 = 1.1.5, 2 = 1.1.7, 3 = 1.2.x
    bool TellUser = false;  // an unsupported 1.1 release: worth a message
};
TCdrdaoVersionCheck CheckCdrdaoVersion(const std::string& versionLine, TVersionRules rules);
// The two arguments of "supports only the versions %s and %s".
std::pair<std::string, std::string> SupportedCdrdaoVersions(TVersionRules rules);

// The lines of mplex's help banner ("mplex -?"), without its complaint about the option.
TStringList MplexBannerLines(const TStringList& lines);
// "1.6.2" or "2.1.0 (2.2.7)" from the banner lines, or empty.
std::string MplexVersionText(const TStringList& banner);
// 0 unsupported, 1 = 1.6.0-beta1, 2 any other supported version.
std::uint8_t MplexVersionCode(const std::string& versionText, TVersionRules rules);
std::string SupportedMplexVersions(TVersionRules rules);
