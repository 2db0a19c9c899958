#include "PackingPool.h"

#include <algorithm>
#include <chrono>

#include "CommandFailure.h"
#include "common/ArchiverApi.h"

namespace unlha {
namespace {

// Past this, a waiting member's bytes go to a temporary file.
constexpr std::size_t kMemoryPerMember = std::size_t{4} << 20;
constexpr int kMaxThreads = 64;

}  // namespace

int PackingPool::ThreadsFor(int requested, std::size_t jobs) {
  int n = requested > 0 ? requested : static_cast<int>(std::thread::hardware_concurrency());
  n = std::clamp(n, 1, kMaxThreads);
  return static_cast<int>(std::max<std::size_t>(1, std::min<std::size_t>(n, jobs)));
}

PackingPool::PackingPool(std::vector<const SourceFile*> files, PackSettings settings, int threads,
                         std::string spillDir)
    : files_(std::move(files)),
      settings_(std::move(settings)),
      spillDir_(std::move(spillDir)),
      window_(static_cast<std::size_t>(threads) + 2),
      slots_(files_.size()) {
  try {
    for (int t = 0; t < threads; ++t) workers_.emplace_back([this] { Work(); });
  } catch (...) {
    Stop();
    throw;
  }
}

PackingPool::~PackingPool() { Stop(); }

void PackingPool::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  signals_.stop.store(true, std::memory_order_relaxed);
  changed_.notify_all();
  for (auto& w : workers_)
    if (w.joinable()) w.join();
}

void PackingPool::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(
        lock, [this] { return stopping_ || next_ >= files_.size() || next_ < taken_ + window_; });
    if (stopping_ || next_ >= files_.size()) return;
    const std::size_t i = next_++;
    lock.unlock();
    PackedMember member;
    std::exception_ptr error;
    try {
      member.data = std::make_unique<MemberBuffer>(spillDir_, kMemoryPerMember);
      member.info = PackMember(*files_[i], settings_, *member.data, signals_);
    } catch (...) {
      member.data.reset();
      error = std::current_exception();
    }
    lock.lock();
    slots_[i].member = std::move(member);
    slots_[i].error = error;
    slots_[i].done = true;
    changed_.notify_all();
  }
}

PackedMember PackingPool::Take(std::size_t i, const std::function<bool(std::uint64_t)>& waiting) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!slots_[i].done) {
    changed_.wait_for(lock, std::chrono::milliseconds(100));
    if (slots_[i].done) break;
    lock.unlock();
    const bool goOn = waiting(signals_.bytesRead.load(std::memory_order_relaxed));
    if (!goOn) {
      Stop();
      throw CommandFailure(arc::kCancelled, "cancelled");
    }
    lock.lock();
  }
  Slot& slot = slots_[i];
  taken_ = i + 1;
  changed_.notify_all();
  if (slot.error) std::rethrow_exception(slot.error);
  return std::move(slot.member);
}

}  // namespace unlha
