#include "services/main_thread.h"

struct TLoopMainThread::TBlockingCall {
    TTask Task;
    std::mutex Mutex;
    std::condition_variable Done;
    bool Finished = false;

    void Finish() {
        std::lock_guard lock(Mutex);
        Finished = true;
        Done.notify_all();
    }
};

TLoopMainThread::TLoopMainThread() : Owner(std::this_thread::get_id()) {}

TLoopMainThread::~TLoopMainThread() { Close(); }

void TLoopMainThread::Close() {
    // A worker still waiting for its hand-off must not wait for ever.
    std::deque<std::shared_ptr<TBlockingCall>> waiting;
    {
        std::lock_guard lock(Mutex);
        Closed = true;
        waiting.swap(Waiting);
        Tasks.clear();
    }
    for (auto& call : waiting) call->Finish();
}

void TLoopMainThread::Post(TTask task) {
    {
        std::lock_guard lock(Mutex);
        if (Closed) return;
        Tasks.push_back(std::move(task));
        // Notified under the lock: once the task has run, the loop may be gone.
        Wake.notify_all();
    }
}

void TLoopMainThread::InvokeBlocking(TTask task) {
    if (IsMainThread()) {
        task();
        return;
    }
    auto call = std::make_shared<TBlockingCall>();
    call->Task = std::move(task);
    {
        std::lock_guard lock(Mutex);
        if (Closed) return;
        Waiting.push_back(call);
        Tasks.push_back([this, call] {
            {
                std::lock_guard guard(Mutex);
                std::erase(Waiting, call);
            }
            // The worker is released even when the task throws.
            struct TFinishing {
                TBlockingCall& Call;
                ~TFinishing() { Call.Finish(); }
            } finishing{*call};
            call->Task();
        });
        Wake.notify_all();
    }
    std::unique_lock lock(call->Mutex);
    call->Done.wait(lock, [&] { return call->Finished; });
}

bool TLoopMainThread::ProcessPending(std::chrono::milliseconds wait) {
    std::size_t count = 0;
    {
        std::unique_lock lock(Mutex);
        if (Tasks.empty() && wait.count() > 0) Wake.wait_for(lock, wait, [&] { return !Tasks.empty(); });
        count = Tasks.size();
    }
    // One task at a time, left in the queue until it runs: a task that waits
    // for the loop itself (a runner being destroyed) must find the others.
    // Only those queued now, so that a busy worker cannot keep the loop here.
    std::size_t ran = 0;
    for (; ran < count; ++ran) {
        TTask task;
        {
            std::lock_guard lock(Mutex);
            if (Tasks.empty()) break;
            task = std::move(Tasks.front());
            Tasks.pop_front();
        }
        task();
    }
    return ran > 0;
}

bool TLoopMainThread::IsMainThread() const { return std::this_thread::get_id() == Owner; }

bool TLoopMainThread::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return done();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        ProcessPending(std::min(left, std::chrono::milliseconds(10)));
    }
    return true;
}
