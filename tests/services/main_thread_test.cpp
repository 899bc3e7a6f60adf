#include "services/main_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

TEST(LoopMainThread, BlockingCallsFromWorkersRunOnTheMainThreadInOrder) {
    TLoopMainThread loop;
    std::vector<int> seen;
    std::atomic<bool> workerDone = false;
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            loop.InvokeBlocking([&, i] {
                EXPECT_TRUE(loop.IsMainThread());
                seen.push_back(i);
            });
        workerDone = true;
    });
    EXPECT_TRUE(loop.RunUntil([&] { return workerDone.load(); }, std::chrono::seconds(10)));
    worker.join();
    ASSERT_EQ(seen.size(), 100u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], i);
}

TEST(LoopMainThread, ClosingReleasesAWaitingWorker) {
    TLoopMainThread loop;
    std::atomic<bool> ran = false;
    std::thread worker([&] { loop.InvokeBlocking([&] { ran = true; }); });
    // Let the worker queue its call, then close the loop without running it.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    loop.Close();
    worker.join();  // returns: the worker was released
    EXPECT_FALSE(ran);
    EXPECT_FALSE(loop.ProcessPending(std::chrono::milliseconds(0)));
}
