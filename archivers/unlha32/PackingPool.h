// Packs a list of files on worker threads, a few members ahead of the one
// being written, and hands them back strictly in list order. Each member is
// packed on its own (its own encoder and buffer), so the bytes do not depend
// on the number of threads. Memory stays bounded: at most `threads + 2`
// members are packed or waiting at once, each kept in a MemberBuffer.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "MemberPacker.h"

namespace unlha {

struct PackedMember {
  PackedFile info;
  std::unique_ptr<MemberBuffer> data;
};

class PackingPool {
 public:
  // threads >= 1; buffers spill into spillDir beyond their memory share.
  PackingPool(std::vector<const SourceFile*> files, PackSettings settings, int threads,
              std::string spillDir);
  // Stops the workers (a member being packed gives up at its next read) and joins them.
  ~PackingPool();
  PackingPool(const PackingPool&) = delete;
  PackingPool& operator=(const PackingPool&) = delete;

  // Waits for member i (take them in order: 0, 1, 2, ...) and returns it, or
  // rethrows what packing it threw. While waiting, calls `waiting` every
  // tenth of a second with the source bytes read so far; when it answers
  // false, stops the workers and throws CommandFailure(kCancelled).
  PackedMember Take(std::size_t i, const std::function<bool(std::uint64_t)>& waiting);

  // Source bytes read so far, every member together.
  std::uint64_t BytesRead() const { return signals_.bytesRead.load(std::memory_order_relaxed); }

  // A worker count for `requested` (0: one per core), never more than `jobs`.
  static int ThreadsFor(int requested, std::size_t jobs);

 private:
  struct Slot {
    bool done = false;
    PackedMember member;
    std::exception_ptr error;
  };
  void Work();
  void Stop();

  std::vector<const SourceFile*> files_;
  PackSettings settings_;
  std::string spillDir_;
  std::size_t window_;
  PackSignals signals_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Slot> slots_;  // guarded by mutex_
  std::size_t next_ = 0;     // the next file a worker starts; guarded by mutex_
  std::size_t taken_ = 0;    // members handed back so far; guarded by mutex_
  bool stopping_ = false;    // guarded by mutex_
  std::vector<std::thread> workers_;
};

}  // namespace unlha
