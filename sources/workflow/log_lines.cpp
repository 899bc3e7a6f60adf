#include "workflow/log_lines.h"

#include "lib/text.h"

void TLogLines::Add(const std::string& text, TIconType icon) {
    const bool wasWaiting = HasPending();
    const bool several = text.find_first_of("\r\n") != std::string::npos;
    const TStringList parts = several ? SplitLines(text) : TStringList{text};
    for (const std::string& part : parts) {
        File.WriteLine(part);
        Pending.push_back({icon, part});
    }
    // A batch never needs more than a view's worth of lines.
    if (Pending.size() > 2 * Cap) Pending.erase(Pending.begin(), Pending.end() - static_cast<std::ptrdiff_t>(Cap));
    if (!wasWaiting && OnPending) OnPending();
}

void TLogLines::Clear() {
    Shown.clear();
    Pending.clear();
    const bool wasWaiting = HasPending();
    PendingClear = true;
    if (!wasWaiting && OnPending) OnPending();
}

TLogLines::TBatch TLogLines::TakeBatch() {
    TBatch batch;
    batch.Cleared = PendingClear;
    PendingClear = false;
    if (Pending.size() > Cap) Pending.erase(Pending.begin(), Pending.end() - static_cast<std::ptrdiff_t>(Cap));
    const std::size_t total = Shown.size() + Pending.size();
    batch.DroppedFromTop = total > Cap ? total - Cap : 0;
    for (std::size_t i = 0; i < batch.DroppedFromTop && !Shown.empty(); ++i) Shown.pop_front();
    for (const TLogLine& line : Pending) Shown.push_back(line);
    batch.Added = std::move(Pending);
    Pending.clear();
    return batch;
}
