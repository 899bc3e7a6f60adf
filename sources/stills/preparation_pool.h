// Prepares the pictures of a batch ahead of their commands on a few worker
// threads. Tasks are started in order and never more than `workers` ahead of
// the picture the queue reached, so a long batch holds only a few results.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "stills/picture_preparation.h"

class TPreparationPool {
public:
    explicit TPreparationPool(int workers);
    ~TPreparationPool();  // pending tasks are dropped; running ones finish
    TPreparationPool(const TPreparationPool&) = delete;
    TPreparationPool& operator=(const TPreparationPool&) = delete;

    // Registers a task; returns its index and the future of its result.
    TPreparedFuture Add(std::function<std::shared_ptr<const TPreparedPicture>()> task);
    // The queue reached task `index`: tasks up to index + workers may run.
    void Reach(int index);

private:
    struct TTask {
        std::function<std::shared_ptr<const TPreparedPicture>()> Work;
        std::promise<std::shared_ptr<const TPreparedPicture>> Result;
    };
    int WorkerCount;
    std::mutex Lock;
    std::condition_variable Wake;
    std::deque<TTask> Tasks;  // in order; the first `Started` were taken
    int Started = 0;
    int Allowed = 0;
    bool Stopping = false;
    std::vector<std::thread> Workers;

    void Work();
};
