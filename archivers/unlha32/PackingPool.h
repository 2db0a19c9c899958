// Packs a list of files on worker threads (arc::OrderedPool), a few members
// ahead of the one being written, and hands them back strictly in list
// order. Each member is packed on its own (its own encoder and buffer), so
// the bytes do not depend on the number of threads. Memory stays bounded: at
// most `threads + 2` members are packed or waiting at once, each kept in a
// MemberBuffer.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

#include "MemberPacker.h"
#include "common/OrderedPool.h"

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

  // Waits for member i (take them in order: 0, 1, 2, ...) and returns it, or
  // rethrows what packing it threw. While waiting, calls `waiting` every
  // tenth of a second with the source bytes read so far; when it answers
  // false, stops the workers (a member being packed gives up at its next
  // read) and throws arc::Failure(kCancelled).
  PackedMember Take(std::size_t i, const std::function<bool(std::uint64_t)>& waiting);

  // Source bytes read so far, every member together.
  std::uint64_t BytesRead() const { return bytesRead_.load(std::memory_order_relaxed); }

 private:
  void Pack(std::size_t i, std::stop_token stop);

  std::vector<const SourceFile*> files_;
  PackSettings settings_;
  std::string spillDir_;
  std::atomic<std::uint64_t> bytesRead_{0};
  std::vector<PackedMember> members_;  // member i is written by the job that packs it
  arc::OrderedPool pool_;              // last: its workers stop before the members go
};

}  // namespace unlha
