#include "environment/tool_versions.h"

std::string VcdImagerVersionLine(const TStringList& lines, std::uint32_t exitCode) {
    if (exitCode != 0) return {};
    std::string found;
    for (const std::string& line : lines)
        if (StartsText(line, "vcd")) found = line;
    if (found.empty()) return {};
    found = ReplaceAll(ReplaceAll(found, "(", ""), ")", "");
    const std::size_t gnu = found.find("GNU");
    if (gnu != std::string::npos) found.erase(0, gnu);
    return Trim(found);
}

bool IsSupportedVcdImager(const std::string& versionLine, TVersionRules rules) {
    if (versionLine.find(" 0.7.12") != std::string::npos) return true;
    return rules == TVersionRules::Posix && versionLine.find(" 2.0.") != std::string::npos;
}

std::string SupportedVcdImagerVersions(TVersionRules rules) {
    return rules == TVersionRules::Posix ? "0.7.12, 2.0.x" : "0.7.12";
}

TStringList CdrdaoBannerLines(const TStringList& lines, std::uint32_t exitCode) {
    TStringList banner;
    if (exitCode != 1 || lines.size() < 3) return banner;
    for (const std::string& line : lines) {
        if (StartsText(line, "Usage")) break;
        if (Trim(line).empty() || StartsText(line, "WARNING")) continue;
        banner.push_back(line);
    }
    return banner;
}

std::string CdrdaoVersionLine(const TStringList& banner) {
    std::string found;
    for (const std::string& line : banner)
        if (StartsText(line, "CdrDao")) found = line;
    const std::size_t dash = found.find(" - ");
    if (dash != std::string::npos) found.erase(dash);
    return Trim(found);
}

TCdrdaoVersionCheck CheckCdrdaoVersion(const std::string& versionLine, TVersionRules rules) {
    const auto has = [&](const char* text) { return versionLine.find(text) != std::string::npos; };
    if (has(" 1.1.5")) return {1, false};
    if (has(" 1.1.7")) return {2, false};
    if (rules == TVersionRules::Posix && has(" 1.2.")) return {3, false};
    return {0, has(" 1.1.")};
}

std::pair<std::string, std::string> SupportedCdrdaoVersions(TVersionRules rules) {
    if (rules == TVersionRules::Posix) return {"1.1.5, 1.1.7", "1.2.x"};
    return {"1.1.5", "1.1.7"};
}

TStringList MplexBannerLines(const TStringList& lines) {
    TStringList banner;
    for (const std::string& line : lines) {
        if (Trim(line).empty() || ContainsText(line, "unknown option")) continue;
        // getopt's own complaint on this platform ("mplex: invalid option -- '?'").
        if (ContainsText(line, "invalid option")) continue;
        banner.push_back(line);
    }
    return banner;
}

std::string MplexVersionText(const TStringList& banner) {
    static constexpr const char* phrases[] = {"mjpegtools mplex version", "mjpegtools mplex-2 version"};
    std::string found;
    for (const std::string& line : banner)
        for (const char* phrase : phrases)
            if (StartsText(line, phrase)) found = Trim(line.substr(std::string_view(phrase).size()));
    return found;
}

std::uint8_t MplexVersionCode(const std::string& versionText, TVersionRules rules) {
    if (versionText.find("1.6") != std::string::npos)
        return versionText.find("1.6.0-beta1") != std::string::npos ? 1 : 2;
    if (rules == TVersionRules::Posix && StartsWith(versionText, "2.")) return 2;
    return 0;
}

std::string SupportedMplexVersions(TVersionRules rules) {
    return rules == TVersionRules::Posix ? "1.6.x, 2.x" : "1.6.x";
}
