// Runs numbered jobs 0 .. n-1 on worker threads and hands them back strictly
// in number order. A job writes its result wherever its owner keeps it (say,
// slot i of a vector); Take(i) returns once job i has finished, and what
// the job wrote is then visible to the taker. A job that throws has its
// exception rethrown by Take for that job, on the taking thread.
//
// Memory stays bounded by the window: a worker starts job i only while
// i < taken + window, so at most `window` jobs are running or finished and
// not yet taken. Stopping (a cancel while waiting, or destruction) requests
// the stop token every job receives, starts no further job and joins the
// workers; a long job should check its token and give up.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

namespace platform {

class OrderedPool {
 public:
  using Job = std::function<void(std::size_t index, std::stop_token stop)>;
  // Answers whether to go on waiting; called while Take waits.
  using Waiting = std::function<bool()>;

  // How often Take calls its Waiting function.
  static constexpr std::chrono::milliseconds kWaitingTick{100};
  // The most workers a pool starts, whatever is asked for.
  static constexpr int kMaxThreads = 64;

  // Starts `threads` workers (at least one) over jobs 0 .. jobs-1, with at
  // most `window` (at least one) jobs started and not yet taken.
  OrderedPool(std::size_t jobs, int threads, std::size_t window, Job job);
  // Stops and joins the workers.
  ~OrderedPool();
  OrderedPool(const OrderedPool&) = delete;
  OrderedPool& operator=(const OrderedPool&) = delete;

  // Waits for job i, which must be the next one in order (0, 1, 2, ...), and
  // rethrows what it threw. While waiting, calls `waiting` (when given) every
  // kWaitingTick; when it answers false, stops the pool and returns false.
  // Once the pool is stopped, returns false without waiting.
  [[nodiscard]] bool Take(std::size_t i, const Waiting& waiting = {});

  // Requests the jobs' stop token, starts no further job and joins the
  // workers (never call it from a job). Nothing can be taken after it.
  void Stop();

  // A worker count for `requested` (0: one per core), between 1 and
  // kMaxThreads, never more than `jobs`.
  static int ThreadsFor(int requested, std::size_t jobs);

 private:
  struct Slot {
    bool done = false;
    std::exception_ptr error;
  };
  void Work();

  Job job_;
  std::size_t window_;
  std::stop_source stopSource_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Slot> slots_;  // guarded by mutex_
  std::size_t next_ = 0;     // the next job a worker starts; guarded by mutex_
  std::size_t taken_ = 0;    // jobs handed back so far; guarded by mutex_
  bool stopping_ = false;    // guarded by mutex_
  std::vector<std::thread> workers_;
};

}  // namespace platform
