#include "stills/preparation_pool.h"

#include <algorithm>

TPreparationPool::TPreparationPool(int workers) : WorkerCount(workers < 1 ? 1 : workers) {
    for (int i = 0; i < WorkerCount; ++i) Workers.emplace_back([this] { Work(); });
}

TPreparationPool::~TPreparationPool() {
    {
        std::lock_guard<std::mutex> guard(Lock);
        Stopping = true;
    }
    Wake.notify_all();
    for (std::thread& worker : Workers) worker.join();
}

TPreparedFuture TPreparationPool::Add(std::function<std::shared_ptr<const TPreparedPicture>()> task) {
    std::lock_guard<std::mutex> guard(Lock);
    Tasks.push_back({std::move(task), {}});
    return Tasks.back().Result.get_future().share();
}

void TPreparationPool::Reach(int index) {
    {
        std::lock_guard<std::mutex> guard(Lock);
        Allowed = std::max(Allowed, index + WorkerCount + 1);
    }
    Wake.notify_all();
}

void TPreparationPool::Work() {
    for (;;) {
        TTask* task = nullptr;
        {
            std::unique_lock<std::mutex> guard(Lock);
            Wake.wait(guard,
                      [this] { return Stopping || (Started < Allowed && Started < static_cast<int>(Tasks.size())); });
            if (Stopping) return;
            task = &Tasks[static_cast<std::size_t>(Started++)];
        }
        // A deque keeps its elements in place while others are added at the end.
        try {
            task->Result.set_value(task->Work());
        } catch (...) {
            task->Result.set_exception(std::current_exception());
        }
        // The result now lives only with its command, which drops it once used.
        std::lock_guard<std::mutex> guard(Lock);
        task->Work = nullptr;
        task->Result = {};
    }
}
