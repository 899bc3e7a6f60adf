#include "cdrdao/cdrdao_lines.h"

#include <array>
#include <charconv>

#include "lib/text.h"
#include "settings/language.h"

namespace {

std::optional<int> ParseInt(std::string_view text) {
    const std::string trimmed = Trim(text);
    int value = 0;
    const char* end = trimmed.data() + trimmed.size();
    const auto [at, error] = std::from_chars(trimmed.data(), end, value);
    if (trimmed.empty() || error != std::errc() || at != end) return std::nullopt;
    return value;
}

// Sense dumps and banner lines: noise for the user.
constexpr std::array DroppedStarts{"?: I/O error",
                                   "CDB:",
                                   "status:",
                                   "Sense Bytes:",
                                   "Sense Key:",
                                   "Sense Code:",
                                   "Sense flags:",
                                   "resid:",
                                   "cmd finished after",
                                   "Cdrdao version",
                                   "SCSI interface",
                                   "L-EC encoding",
                                   "Paranoia DAE",
                                   "Check http",
                                   "Using lib",
                                   "Process can be aborted",
                                   "WARNING: Cannot read driver table",
                                   "WARNING: Environment"};
constexpr std::string_view BannerAuthor = "Andreas Mueller";

constexpr std::array TranslatedPhrases{"Unit not ready, still trying",
                                       "Unit not ready, giving up",
                                       "Cannot setup device",
                                       "Using driver:",
                                       "Blanking disk",
                                       "Blanking time",
                                       "Trying to unlock drive",
                                       "Starting write at speed",
                                       "Starting write simulation at speed",
                                       "Writing track",
                                       "Writing finished successfully",
                                       "Simulation finished successfully",
                                       "No driver found for"};

// "mm:ss:ff" without the frames.
std::optional<TCdTime> MinutesSeconds(const std::string& time) {
    if (time.size() < 8 || time[2] != ':' || time[5] != ':') return std::nullopt;
    TCdTime result;
    result.Text = time.substr(0, 5);
    result.Seconds = ParseInt(time.substr(0, 2)).value_or(0) * 60 + ParseInt(time.substr(3, 2)).value_or(0);
    return result;
}

}  // namespace

std::string CollapseBlanks(std::string text) {
    while (text.find("  ") != std::string::npos) text = ReplaceAll(text, "  ", " ");
    return text;
}

TCdrdaoLine FilterCdrdaoLine(std::string_view raw, TCdrdaoFilterState& state, bool isWrite) {
    TCdrdaoLine result;
    std::string line = CollapseBlanks(Trim(raw));
    line = ReplaceAll(line, "( ", "(");
    if (line.find(':') != std::string::npos) line = ReplaceAll(line, " :", ":");
    line = Trim(line);
    if (line.empty()) return result;

    if (ContainsText(line, BannerAuthor)) return result;
    for (const char* start : DroppedStarts)
        if (StartsText(line, start)) return result;

    if (ContainsText(line, "Unit not ready, still trying")) {
        result.DiscRequired = true;
        if (!isWrite) ++state.NotReadyCount;
    }
    if (ContainsText(line, "Unit not ready, giving up")) result.GaveUp = true;

    if (StartsText(line, "error") && ContainsText(line, "No driver found for") &&
        ContainsText(line, ", available drivers:")) {
        state.DriverErrorSeen = true;
        line = ReplaceFirstText(line, ", available drivers:", "");
        line += " (" +
                Translate("Use \"Force Driver\" in the \"CD Writer/Reader\" settings page to set a driver manually") +
                ")";
    }
    if (ContainsText(line, "could not find any host adapters"))
        line += " (" + Translate("You may have a SCSI access problem") + ")";
    if (StartsText(line, "Usage")) state.UsageSeen = true;

    const bool isError = StartsText(line, "error");
    // The usage text and the list of drivers never reach the log.
    if ((state.UsageSeen || state.DriverErrorSeen) && !isError) return result;
    if (isError) {
        std::string text = Trim(RemoveFirstText(line, "error"));
        if (StartsWith(text, ":")) text = Trim(text.substr(1));
        result.ErrorText = text;
    }
    result.Text = line;
    return result;
}

std::string TranslateCdrdaoLine(const std::string& line) {
    std::string result = line;
    for (const char* phrase : TranslatedPhrases)
        if (ContainsText(result, phrase)) result = ReplaceFirstText(result, phrase, Translate(phrase));
    if (ContainsText(result, "Turning BURN-Proof on"))
        result = ReplaceFirstText(result, "Turning BURN-Proof on", Format(Translate("Turning %s on"), "BURN-Proof"));
    else if (ContainsText(result, "Turning BURN-Proof off"))
        result = ReplaceFirstText(result, "Turning BURN-Proof off", Format(Translate("Turning %s off"), "BURN-Proof"));
    return Trim(result);
}

std::optional<TCdrdaoProgress> CdrdaoWriteProgress(const std::string& line) {
    if (!StartsText(line, "Wrote") || line.find(" of ") == std::string::npos) return std::nullopt;
    const std::string rest = line.size() > 6 ? line.substr(6) : "";
    const std::size_t buffer = FindText(rest, "(Buffer");
    // The lead-out line has no buffer part: "Wrote 15 of 15 MB."
    const std::string bufferText = buffer == std::string::npos ? "" : ReplaceAll(rest.substr(buffer), ".", "");
    const std::size_t of = rest.find("of");
    const std::string written = Trim(rest.substr(0, of));
    std::string afterOf = of + 3 <= rest.size() ? rest.substr(of + 3) : "";
    const std::string total = Trim(afterOf.substr(0, afterOf.find("MB")));

    const std::optional<int> w = ParseInt(written);
    const std::optional<int> t = ParseInt(total);
    int position = 0;
    if (w && t && *t > 0) position = static_cast<int>(static_cast<long long>(*w) * 100 / *t);
    position = position < 0 ? 0 : position > 100 ? 100 : position;

    std::string message = Format(Translate("Wrote %s MB of %s MB"), written, total);
    if (!bufferText.empty()) message += " - " + bufferText;
    return TCdrdaoProgress{ReplaceAll(message, "Wrote", "Written"), position};
}

std::optional<TCdTime> CdrdaoLeadoutLength(const std::string& line) {
    if (!StartsText(line, "Leadout ")) return std::nullopt;
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos || colon < 2) return TCdTime{};
    std::string time = line.substr(colon - 2);
    time = Trim(time.substr(0, time.find('(')));
    return MinutesSeconds(time).value_or(TCdTime{});
}

std::optional<TCdrdaoProgress> CdrdaoReadProgress(const std::string& line, const TCdTime& length) {
    if (line.size() != 8 || line.find(':') != 2) return std::nullopt;
    const std::optional<TCdTime> time = MinutesSeconds(Trim(line));
    if (!time) return std::nullopt;
    if (length.Seconds < 1) return TCdrdaoProgress{time->Text + "s", 0};
    int position = static_cast<int>(static_cast<long long>(time->Seconds) * 100 / length.Seconds);
    position = position < 0 ? 0 : position > 100 ? 100 : position;
    return TCdrdaoProgress{time->Text + " / " + length.Text, position};
}

bool IsCdrdaoDeviceLine(const std::string& line) {
    const std::string trimmed = Trim(line);
    if (StartsText(trimmed, "ERROR")) return false;
    const std::size_t colon = trimmed.find(": ");
    if (colon == std::string::npos) return false;
    if (trimmed.find(',') == 1 && colon == 5) return true;
    // A device node: "/dev/sr0: VENDOR, PRODUCT, REV".
    if (!StartsWith(trimmed, "/") || trimmed.find(' ') < colon) return false;
    const std::string rest = trimmed.substr(colon + 2);
    const std::size_t first = rest.find(',');
    return first != std::string::npos && rest.find(',', first + 1) != std::string::npos;
}

std::string CdrdaoDeviceOfEntry(const std::string& entry) {
    const std::string trimmed = Trim(entry);
    const std::size_t colon = trimmed.find(':');
    return Trim(colon == std::string::npos ? trimmed : trimmed.substr(0, colon));
}
