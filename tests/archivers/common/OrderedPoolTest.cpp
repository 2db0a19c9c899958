// The worker pool both packing libraries run on: results come back in job
// order whatever order the jobs finish in, a job's exception reaches the
// taker of that job only, a cancel while waiting stops a job that is still
// running, and no worker runs ahead of the taker by more than the window.
#include "common/OrderedPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using arc::OrderedPool;
using namespace std::chrono_literals;

TEST(OrderedPoolTest, HandsBackInJobOrderWhateverOrderTheyFinish) {
  constexpr std::size_t kJobs = 24;
  for (int threads : {1, 3, 8}) {
    SCOPED_TRACE(threads);
    std::vector<std::size_t> results(kJobs, kJobs);
    std::mutex mutex;
    std::vector<std::size_t> finished;
    {
      // Early jobs take longest, so later ones finish first on several threads.
      OrderedPool pool(kJobs, threads, kJobs, [&](std::size_t i, std::stop_token) {
        std::this_thread::sleep_for(std::chrono::milliseconds((kJobs - i) % 7));
        results[i] = i * i;
        std::lock_guard<std::mutex> lock(mutex);
        finished.push_back(i);
      });
      for (std::size_t i = 0; i < kJobs; ++i) {
        ASSERT_TRUE(pool.Take(i));
        EXPECT_EQ(results[i], i * i);
      }
      EXPECT_THROW((void)pool.Take(0), std::logic_error);
    }
    EXPECT_EQ(finished.size(), kJobs);
  }
}

TEST(OrderedPoolTest, AJobsExceptionReachesItsOwnTakeOnly) {
  std::vector<int> results(6, 0);
  OrderedPool pool(results.size(), 4, results.size(), [&](std::size_t i, std::stop_token) {
    if (i == 3) throw std::runtime_error("job three failed");
    results[i] = static_cast<int>(i) + 1;
  });
  for (std::size_t i = 0; i < results.size(); ++i) {
    if (i == 3) {
      try {
        (void)pool.Take(i);
        ADD_FAILURE() << "job 3 did not throw";
      } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "job three failed");
      }
      continue;
    }
    ASSERT_TRUE(pool.Take(i));
    EXPECT_EQ(results[i], static_cast<int>(i) + 1);
  }
}

TEST(OrderedPoolTest, CancelWhileWaitingStopsTheRunningJobsAndTheRest) {
  std::atomic<int> started{0};
  std::atomic<int> stopped{0};
  OrderedPool pool(10, 2, 10, [&](std::size_t, std::stop_token stop) {
    ++started;
    // Runs until stopped: only the stop token ends it.
    while (!stop.stop_requested()) std::this_thread::sleep_for(1ms);
    ++stopped;
  });
  int asked = 0;
  // Cancels on the third call once both workers are inside a job.
  EXPECT_FALSE(pool.Take(0, [&] { return started < 2 || ++asked < 3; }));
  EXPECT_EQ(asked, 3);
  EXPECT_EQ(stopped, 2);
  EXPECT_EQ(started, 2);  // nothing started after the cancel
  EXPECT_FALSE(pool.Take(0));
}

TEST(OrderedPoolTest, WorkersRunNoFurtherAheadThanTheWindow) {
  constexpr std::size_t kJobs = 20;
  constexpr long long kWindow = 3;
  std::atomic<long long> asking{0};  // Take calls begun
  std::atomic<long long> mostAhead{0};
  OrderedPool pool(kJobs, 8, kWindow, [&](std::size_t i, std::stop_token) {
    const long long ahead = static_cast<long long>(i) + 1 - asking;
    for (long long m = mostAhead; ahead > m && !mostAhead.compare_exchange_weak(m, ahead);) {
    }
  });
  for (std::size_t i = 0; i < kJobs; ++i) {
    std::this_thread::sleep_for(2ms);  // a slow taker: the workers wait for it
    asking = static_cast<long long>(i) + 1;
    ASSERT_TRUE(pool.Take(i));
  }
  EXPECT_LE(mostAhead, kWindow);
}

TEST(OrderedPoolTest, ThreadCountRule) {
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  struct Row {
    int requested;
    std::size_t jobs;
    int expected;
  } rows[] = {
      {0, 1000, std::min(cores, OrderedPool::kMaxThreads)},  // one per core
      {1, 1000, 1},
      {8, 3, 3},  // never more than jobs
      {8, 0, 1},  // at least one
      {500, 1000, OrderedPool::kMaxThreads},
      {-4, 1000, std::min(cores, OrderedPool::kMaxThreads)},
  };
  for (const Row& r : rows)
    EXPECT_EQ(OrderedPool::ThreadsFor(r.requested, r.jobs), r.expected)
        << r.requested << " for " << r.jobs << " jobs";
}

}  // namespace
