// The main thread as Qt's: tasks run in the GUI thread's event loop.
#pragma once

#include <atomic>

#include "services/main_thread.h"

class TQtMainThread final : public TMainThread {
public:
    void Post(TTask task) override;
    void InvokeBlocking(TTask task) override;
    bool ProcessPending(std::chrono::milliseconds wait = std::chrono::milliseconds(0)) override;
    bool IsMainThread() const override;

    // While pending events are processed from inside a handler, closing the
    // window and changing the project must wait.
    static bool InsideProcessPending() { return Depth > 0; }

private:
    std::atomic<unsigned> TasksRun{0};
    static inline int Depth = 0;
};
