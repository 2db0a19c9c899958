#include "platform/OrderedPool.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace platform {

int OrderedPool::ThreadsFor(int requested, std::size_t jobs) {
  int n = requested > 0 ? requested : static_cast<int>(std::thread::hardware_concurrency());
  n = std::clamp(n, 1, kMaxThreads);
  return static_cast<int>(std::max<std::size_t>(1, std::min<std::size_t>(n, jobs)));
}

OrderedPool::OrderedPool(std::size_t jobs, int threads, std::size_t window, Job job)
    : job_(std::move(job)), window_(std::max<std::size_t>(1, window)), slots_(jobs) {
  threads = std::clamp(threads, 1, kMaxThreads);
  try {
    for (int t = 0; t < threads; ++t) workers_.emplace_back([this] { Work(); });
  } catch (...) {
    Stop();
    throw;
  }
}

OrderedPool::~OrderedPool() { Stop(); }

void OrderedPool::Stop() {
  stopSource_.request_stop();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (auto& w : workers_)
    if (w.joinable()) w.join();
}

void OrderedPool::Work() {
  const std::stop_token stop = stopSource_.get_token();
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(
        lock, [this] { return stopping_ || next_ >= slots_.size() || next_ < taken_ + window_; });
    if (stopping_ || next_ >= slots_.size()) return;
    const std::size_t i = next_++;
    lock.unlock();
    std::exception_ptr error;
    try {
      job_(i, stop);
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    slots_[i].error = error;
    slots_[i].done = true;
    changed_.notify_all();
  }
}

bool OrderedPool::Take(std::size_t i, const Waiting& waiting) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (i != taken_ || i >= slots_.size())
    throw std::logic_error("ジョブ " + std::to_string(i) + " が順番どおりに取り出されていません");
  for (;;) {
    if (stopping_) return false;
    if (slots_[i].done) break;
    if (!waiting) {
      changed_.wait(lock, [&] { return slots_[i].done || stopping_; });
      continue;
    }
    if (changed_.wait_for(lock, kWaitingTick, [&] { return slots_[i].done || stopping_; }))
      continue;
    lock.unlock();
    if (!waiting()) {
      Stop();
      return false;
    }
    lock.lock();
  }
  taken_ = i + 1;
  changed_.notify_all();
  if (slots_[i].error) std::rethrow_exception(slots_[i].error);
  return true;
}

}  // namespace platform
