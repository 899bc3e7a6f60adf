#include "workflow/chapters.h"

#include <cmath>

#include "model/entry_points.h"
#include "model/mpeg_file.h"
#include "services/services.h"
#include "settings/language.h"

namespace {

constexpr std::int64_t NoChapterNearTheEndMs = 2000;
constexpr int ChapterCountLimit = 100;

void ShowBox(const std::string& text, TMsgDlgType type) { Dialogs().MessageDlg("\r  " + text, type, mbOK); }

}  // namespace

std::optional<std::int64_t> ChapterDurationMs(const TMpegFile& file) {
    const std::string& text = file.PlayingTimeMs();
    if (text.empty() || text == "?") return std::nullopt;
    try {
        std::size_t used = 0;
        const long long value = std::stoll(text, &used);
        if (used != text.size()) return std::nullopt;
        return value;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool AddChapterAt(TMpegFile& file, std::int64_t ms, bool quiet) {
    const std::optional<std::int64_t> duration = ChapterDurationMs(file);
    const std::string timeText = MsToTimeText(ms);
    if (duration && *duration > 0 && *duration < ms) {
        ShowBox(timeText + " - " + Translate("Value bigger than the Mpeg duration") + "...    ", TMsgDlgType::Error);
        return false;
    }
    const bool added = file.AddEntryPoint(timeText, false) != nullptr;
    if (added && !file.Analysed() && !duration && !quiet)
        ShowBox(Translate("Be sure that this value is not bigger than the Mpeg duration") + "...    ",
                TMsgDlgType::Information);
    return added;
}

int AddChaptersEvery(TMpegFile& file, std::int64_t stepMs, int maxCount) {
    const std::optional<std::int64_t> duration = ChapterDurationMs(file);
    if (stepMs <= 0 || !duration) return 0;
    if (*duration < stepMs) {
        ShowBox(MsToTimeText(stepMs) + " - " + Translate("Value bigger than the Mpeg duration") + "...    ",
                TMsgDlgType::Error);
        return 0;
    }
    std::int64_t count = *duration / stepMs;
    if (maxCount > 0 && maxCount < count) count = maxCount;
    if (count >= ChapterCountLimit) {
        ShowBox(Translate("Too many chapters will be created") + "...", TMsgDlgType::Error);
        return 0;
    }
    int added = 0;
    for (std::int64_t i = 1; i <= count; ++i) {
        const std::int64_t at = i * stepMs;
        if (at + NoChapterNearTheEndMs > *duration) break;
        if (file.AddEntryPoint(MsToTimeText(at), false) != nullptr) ++added;
    }
    return added;
}

int AddEquidistantChapters(TMpegFile& file, int count) {
    const std::optional<std::int64_t> duration = ChapterDurationMs(file);
    if (!duration || count <= 0) return 0;
    return AddChaptersEvery(file, *duration / (count + 1), count);
}

std::int64_t FramesToMs(std::int64_t frames, double frameRate) {
    if (frameRate == 0) return 0;
    return static_cast<std::int64_t>(std::nearbyint(static_cast<double>(frames) * 1000.0 / frameRate));
}
