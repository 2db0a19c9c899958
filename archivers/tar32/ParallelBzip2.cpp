#include "ParallelBzip2.h"

#include <bzlib.h>

#include <algorithm>
#include <new>
#include <stdexcept>

#include "BlockBatch.h"
#include "common/OrderedPool.h"

namespace tar32 {
namespace {

// Blocks compressed together per batch for each worker: a few, so a worker
// rarely waits at the end of a batch, while memory stays a few MB.
constexpr std::size_t kBlocksPerWorker = 3;
// libbz2's own effort before its fallback sort (what the bzip2 tool uses).
constexpr int kWorkFactor = 30;

void Compress(int level, const std::string& block, std::string& out) {
  // libbz2's bound: 1 % and 600 bytes more than the input.
  auto length = static_cast<unsigned>(block.size() + block.size() / 100 + 600);
  out.resize(length);
  const int r =
      BZ2_bzBuffToBuffCompress(out.data(), &length, const_cast<char*>(block.data()),
                               static_cast<unsigned>(block.size()), level, 0, kWorkFactor);
  if (r == BZ_MEM_ERROR) throw std::bad_alloc();
  if (r != BZ_OK) throw std::runtime_error("bzip2 の圧縮に失敗しました");
  out.resize(length);
}

}  // namespace

ParallelBzip2::ParallelBzip2(int fd, int level, int threads)
    : fd_(fd),
      level_(level),
      threads_(arc::OrderedPool::ThreadsFor(threads, SIZE_MAX)),
      // libbz2 ends a block once this much is in it (it keeps 19 bytes spare).
      limit_(static_cast<std::size_t>(level) * 100000 - 19),
      // Long runs shrink up to 51 times in the first stage; a block of them
      // is cut short, which costs nothing worth having.
      maxInput_(2 * limit_) {
  blocks_.resize(static_cast<std::size_t>(threads_) * kBlocksPerWorker);
  blocks_[0].reserve(limit_);
}

std::size_t ParallelBzip2::Fill(const char* p, std::size_t n, bool& full) {
  std::string& b = blocks_[filled_];
  n = std::min(n, maxInput_ - b.size());
  std::size_t take = 0;
  // Counts as libbz2 does: a run of one value is stored as it is up to three
  // bytes, as four bytes and a count from four to 255; the block is full
  // when what is committed reaches the limit before the next byte.
  for (; take < n && committed_ < limit_; ++take) {
    const auto c = static_cast<unsigned char>(p[take]);
    if (c == runByte_ && runLength_ < 255) {
      ++runLength_;
    } else {
      committed_ += runLength_ < 4 ? runLength_ : 5;
      runByte_ = c;
      runLength_ = 1;
    }
  }
  b.append(p, take);
  full = committed_ >= limit_ || b.size() == maxInput_;
  return take;
}

bool ParallelBzip2::Write(const void* data, std::size_t n) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    if (filled_ == blocks_.size() && !Flush()) return false;
    bool full = false;
    const std::size_t take = Fill(p, n, full);
    p += take;
    n -= take;
    if (full) {
      ++filled_;
      committed_ = 0;
      runByte_ = 256;
      runLength_ = 0;
    }
  }
  return true;
}

bool ParallelBzip2::Flush() {
  const std::size_t count = filled_ + (filled_ < blocks_.size() && !blocks_[filled_].empty());
  const int level = level_;
  if (!CompressInOrder(
          fd_, blocks_, count, threads_,
          [level](const std::string& block, std::string& out) { Compress(level, block, out); },
          error_))
    return false;
  wroteAny_ = wroteAny_ || count > 0;
  for (std::size_t i = 0; i < count; ++i) blocks_[i].clear();
  filled_ = 0;
  return true;
}

bool ParallelBzip2::Finish() {
  if (!Flush()) return false;
  if (wroteAny_) return true;
  // An empty stream is still one bzip2 stream.
  std::string out;
  Compress(level_, std::string(), out);
  return WriteAll(fd_, out, error_);
}

}  // namespace tar32
