#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/ThreadSerialQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace brisklet {
namespace {

TEST(ManualMainQueueTest, RunsTasksInTimeOrderAndAdvancesTheClock) {
    ManualClock clock;
    ManualMainQueue queue(clock);
    std::vector<std::string> order;
    const double start = clock.monotonicSeconds();
    queue.postAfter(1.0, [&] { order.push_back("late"); });
    queue.post([&] { order.push_back("now"); });
    queue.postAfter(0.5, [&] {
        order.push_back("middle");
        queue.post([&] { order.push_back("posted by middle"); });
    });
    queue.runFor(0.75);
    EXPECT_EQ(order, (std::vector<std::string>{"now", "middle", "posted by middle"}));
    EXPECT_DOUBLE_EQ(clock.monotonicSeconds() - start, 0.75);
    queue.runFor(1.0);
    EXPECT_EQ(order.back(), "late");
    EXPECT_EQ(queue.pendingTaskCount(), 0u);
}

TEST(ThreadSerialQueueTest, KeepsSubmissionOrderAndSyncWaits) {
    std::vector<int> seen;
    {
        ThreadSerialQueue queue("com.brisklet.test-order");
        for (int i = 0; i < 1000; ++i) {
            queue.async([&seen, i] { seen.push_back(i); });
        }
        queue.sync([&] { EXPECT_EQ(seen.size(), 1000u); });
        queue.async([&] { queue.sync([&] { seen.push_back(-1); }); }); // syncing onto itself must not hang
        for (int i = 0; i < 10; ++i) {
            queue.async([&seen] { seen.push_back(1000); });
        }
    } // destruction runs what is still queued
    ASSERT_EQ(seen.size(), 1011u);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(seen[static_cast<std::size_t>(i)], i);
    }
    EXPECT_EQ(seen[1000], -1);
}

} // namespace
} // namespace brisklet
