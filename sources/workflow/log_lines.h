// The lines of the log view with their icon kinds, at most `Cap` of them:
// the oldest lines go when more arrive, never the whole view. Appends are
// collected until the view takes them, so that a tool printing thousands of
// lines a second costs the window one repaint per batch.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "exec/status_router.h"
#include "workflow/log_file.h"

struct TLogLine {
    TIconType Icon = TIconType::iconNone;
    std::string Text;
};

inline constexpr std::size_t LogLinesCap = 500;

class TLogLines {
public:
    explicit TLogLines(std::size_t cap = LogLinesCap) : Cap(cap) {}

    // Adds a text; a text holding line breaks becomes one line per part, each with `icon`.
    // Each line also goes to the log file when it is open.
    void Add(const std::string& text, TIconType icon);
    void Clear();

    // What the view shows now and what it has not taken yet.
    const std::deque<TLogLine>& Lines() const { return Shown; }
    std::size_t Cap;

    // The lines added since the last call, oldest first, and how many shown
    // lines the view must drop from its top to stay under the cap. Moves the
    // pending lines into Lines().
    struct TBatch {
        std::vector<TLogLine> Added;
        std::size_t DroppedFromTop = 0;
        bool Cleared = false;
    };
    TBatch TakeBatch();
    bool HasPending() const { return !Pending.empty() || PendingClear; }

    TLogFile File;
    // Called when lines start waiting for the view (the first after a batch was taken).
    std::function<void()> OnPending;

private:
    std::deque<TLogLine> Shown;
    std::vector<TLogLine> Pending;
    bool PendingClear = false;
};
