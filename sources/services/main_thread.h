// The thread that owns the windows (or the CLI's loop) and on which every
// handler of the program runs. Worker threads reach it only through here.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class TMainThread {
public:
    using TTask = std::function<void()>;

    virtual ~TMainThread() = default;

    // Queues the task for the main thread and returns at once.
    virtual void Post(TTask task) = 0;
    // Runs the task on the main thread and waits until it has run. Called on
    // the main thread itself, it runs the task directly.
    virtual void InvokeBlocking(TTask task) = 0;
    // Runs the tasks that are waiting; when none is waiting, waits up to
    // `wait` for one. Returns whether any task ran.
    virtual bool ProcessPending(std::chrono::milliseconds wait = std::chrono::milliseconds(0)) = 0;
    virtual bool IsMainThread() const = 0;
};

// A plain task queue for the command-line program and the tests: the thread
// that creates it is the main thread, and it runs tasks when it processes them.
class TLoopMainThread final : public TMainThread {
public:
    TLoopMainThread();
    ~TLoopMainThread() override;
    TLoopMainThread(const TLoopMainThread&) = delete;
    TLoopMainThread& operator=(const TLoopMainThread&) = delete;

    void Post(TTask task) override;
    void InvokeBlocking(TTask task) override;
    bool ProcessPending(std::chrono::milliseconds wait = std::chrono::milliseconds(0)) override;
    bool IsMainThread() const override;

    // Processes tasks until `done` holds or `timeout` has passed; returns `done()`.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    // Drops queued tasks, releases waiting workers and accepts nothing more;
    // the loop's end does it too.
    void Close();

private:
    struct TBlockingCall;

    std::thread::id Owner;
    std::mutex Mutex;
    std::condition_variable Wake;
    std::deque<TTask> Tasks;
    std::deque<std::shared_ptr<TBlockingCall>> Waiting;  // blocking calls not yet run
    bool Closed = false;
};
