#include "environment/tool_versions.h"

#include <gtest/gtest.h>

#include "tool_banners.h"

namespace {

struct TVcdImagerCase {
    const char* Name;
    TStringList Lines;
    std::uint32_t ExitCode;
    const char* Line;
    bool OnWindows;
    bool OnPosix;
};

}  // namespace

TEST(ToolVersions, VcdImagerVersionLineAndSupport) {
    const TVcdImagerCase cases[] = {
        {"0.7.11", banners::VcdxBuild0711, 0, "GNU VCDImager 0.7.11 [i686-pc-cygwin]", false, false},
        {"0.7.12", banners::VcdxBuild0712, 0, "GNU VCDImager 0.7.12", true, true},
        {"2.0.1", banners::VcdxBuild201, 0, "GNU VCDImager 2.0.1", false, true},
        {"failed query", banners::VcdxBuild201, 1, "", false, false},
        {"last vcd line counts",
         {"vcdxbuild (GNU VCDImager) 0.7.12", "VCDIMAGER (GNU VCDImager) 0.7.11"},
         0,
         "GNU VCDImager 0.7.11",
         false,
         false},
        {"no GNU word", {"vcdxbuild 2.0.1 (patched)"}, 0, "vcdxbuild 2.0.1 patched", false, true},
        {"no banner", {"usage: vcdxbuild [OPTION...]"}, 0, "", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string line = VcdImagerVersionLine(c.Lines, c.ExitCode);
        EXPECT_EQ(line, c.Line);
        EXPECT_EQ(IsSupportedVcdImager(line, TVersionRules::Windows), c.OnWindows);
        EXPECT_EQ(IsSupportedVcdImager(line, TVersionRules::Posix), c.OnPosix);
    }
}

namespace {

struct TCdrdaoCase {
    const char* Name;
    TStringList Lines;
    std::uint32_t ExitCode;
    const char* Line;
    TCdrdaoVersionCheck Windows;
    TCdrdaoVersionCheck Posix;
};

}  // namespace

TEST(ToolVersions, CdrdaoBannerVersionLineAndCode) {
    const TCdrdaoCase cases[] = {
        {"1.1.5", banners::Cdrdao("1.1.5", false), 1, "Cdrdao version 1.1.5", {1, false}, {1, false}},
        {"1.1.6", banners::Cdrdao("1.1.6", true), 1, "Cdrdao version 1.1.6", {0, true}, {0, true}},
        {"1.1.7", banners::Cdrdao("1.1.7", true), 1, "Cdrdao version 1.1.7", {2, false}, {2, false}},
        {"1.2.4", banners::Cdrdao124, 1, "Cdrdao version 1.2.4", {0, false}, {3, false}},
        {"1.3.0", banners::Cdrdao("1.3.0", false), 1, "Cdrdao version 1.3.0", {0, false}, {0, false}},
        {"exit code 0", banners::Cdrdao124, 0, "", {0, false}, {0, false}},
        {"too few lines",
         {"Cdrdao version 1.2.4 - (C) Andreas Mueller", "Usage: cdrdao"},
         1,
         "",
         {0, false},
         {0, false}},
        {"a warning is not the version",
         {"WARNING: Cdrdao version 1.1.5 expected", "Cdrdao version 1.1.7", "", "Usage"},
         1,
         "Cdrdao version 1.1.7",
         {2, false},
         {2, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TStringList banner = CdrdaoBannerLines(c.Lines, c.ExitCode);
        for (const std::string& line : banner) {
            EXPECT_FALSE(Trim(line).empty());
            EXPECT_FALSE(StartsText(line, "WARNING")) << line;
            EXPECT_FALSE(StartsText(line, "Usage")) << line;
        }
        const std::string line = CdrdaoVersionLine(banner);
        EXPECT_EQ(line, c.Line);
        const TCdrdaoVersionCheck windows = CheckCdrdaoVersion(line, TVersionRules::Windows);
        EXPECT_EQ(windows.Code, c.Windows.Code);
        EXPECT_EQ(windows.TellUser, c.Windows.TellUser);
        const TCdrdaoVersionCheck posix = CheckCdrdaoVersion(line, TVersionRules::Posix);
        EXPECT_EQ(posix.Code, c.Posix.Code);
        EXPECT_EQ(posix.TellUser, c.Posix.TellUser);
    }
    EXPECT_EQ(CdrdaoBannerLines(banners::Cdrdao("1.1.5", true), 1),
              (TStringList{"Cdrdao version 1.1.5 - (C) Andreas Mueller <andreas@daneb.de>",
                           "  SCSI interface library - (C) Joerg Schilling", "  Paranoia DAE library - (C) Monty"}));
}

namespace {

struct TMplexCase {
    const char* Name;
    TStringList Lines;
    const char* Version;
    std::uint8_t Windows;
    std::uint8_t Posix;
};

}  // namespace

TEST(ToolVersions, MplexVersionTextAndCode) {
    const TMplexCase cases[] = {
        {"1.6.0-beta1", banners::Mplex160Beta1, "1.6.0-beta1", 1, 1},
        {"1.6.2", banners::Mplex162, "1.6.2 (2.2.3)", 2, 2},
        {"2.1.0", banners::Mplex210, "2.1.0 (2.2.7)", 0, 2},
        {"1.4.1", {"mjpegtools mplex version 1.4.1"}, "1.4.1", 0, 0},
        {"no banner", {"mplex: command not found"}, "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TStringList banner = MplexBannerLines(c.Lines);
        for (const std::string& line : banner) EXPECT_FALSE(ContainsText(line, "option --")) << line;
        const std::string version = MplexVersionText(banner);
        EXPECT_EQ(version, c.Version);
        EXPECT_EQ(MplexVersionCode(version, TVersionRules::Windows), c.Windows);
        EXPECT_EQ(MplexVersionCode(version, TVersionRules::Posix), c.Posix);
    }
}
