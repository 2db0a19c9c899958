#include "ParallelBzip2.h"

#include <bzlib.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <new>
#include <stdexcept>

#include "BlockBatch.h"
#include "common/OrderedPool.h"

namespace tar32 {

// libbz2 asks for some 8 MB of tables for every block at level 9. Fresh
// pages from the system cost a twentieth of the compression's time in faults
// and zeroing, so the tables of a finished block are kept for the next one.
class Bzip2Tables {
 public:
  Bzip2Tables() = default;
  Bzip2Tables(const Bzip2Tables&) = delete;
  Bzip2Tables& operator=(const Bzip2Tables&) = delete;
  ~Bzip2Tables() {
    for (void* p : free_) std::free(p);
  }
  static void* Alloc(void* self, int items, int size) {
    auto* c = static_cast<Bzip2Tables*>(self);
    const std::size_t n = static_cast<std::size_t>(items) * static_cast<std::size_t>(size);
    {
      std::lock_guard<std::mutex> lock(c->mutex_);
      for (auto it = c->free_.begin(); it != c->free_.end(); ++it)
        if (SizeOf(*it) == n) {
          void* p = *it;
          c->free_.erase(it);
          return static_cast<char*>(p) + kHeader;
        }
    }
    void* p = std::malloc(n + kHeader);
    if (p == nullptr) return nullptr;
    *static_cast<std::size_t*>(p) = n;
    return static_cast<char*>(p) + kHeader;
  }
  static void Free(void* self, void* table) {
    if (table == nullptr) return;
    auto* c = static_cast<Bzip2Tables*>(self);
    std::lock_guard<std::mutex> lock(c->mutex_);
    c->free_.push_back(static_cast<char*>(table) - kHeader);
  }

 private:
  // The table's size sits in front of it.
  static constexpr std::size_t kHeader = alignof(std::max_align_t);
  static std::size_t SizeOf(void* p) { return *static_cast<std::size_t*>(p); }

  std::mutex mutex_;
  std::vector<void*> free_;
};

namespace {

// Blocks compressed together per batch for each worker: a few, so a worker
// rarely waits at the end of a batch, while memory stays a few MB.
constexpr std::size_t kBlocksPerWorker = 3;
// libbz2's own effort before its fallback sort (what the bzip2 tool uses).
constexpr int kWorkFactor = 30;

void Compress(Bzip2Tables& tables, int level, const std::string& block, std::string& out) {
  bz_stream s{};
  s.bzalloc = &Bzip2Tables::Alloc;
  s.bzfree = &Bzip2Tables::Free;
  s.opaque = &tables;
  int r = BZ2_bzCompressInit(&s, level, 0, kWorkFactor);
  if (r == BZ_MEM_ERROR) throw std::bad_alloc();
  if (r != BZ_OK) throw std::runtime_error("bzip2 の圧縮を始められません");
  // libbz2's bound: 1 % and 600 bytes more than the input.
  out.resize(block.size() + block.size() / 100 + 600);
  s.next_in = const_cast<char*>(block.data());
  s.avail_in = static_cast<unsigned>(block.size());
  s.next_out = out.data();
  s.avail_out = static_cast<unsigned>(out.size());
  r = BZ2_bzCompress(&s, BZ_FINISH);
  const std::size_t length = out.size() - s.avail_out;
  BZ2_bzCompressEnd(&s);
  if (r != BZ_STREAM_END) throw std::runtime_error("bzip2 の圧縮に失敗しました");
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
      maxInput_(2 * limit_),
      tables_(std::make_unique<Bzip2Tables>()),
      pipeline_(fd, threads_,
                [level, tables = tables_.get()](const std::string& block, std::string& out) {
                  Compress(*tables, level, block, out);
                }) {
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

ParallelBzip2::~ParallelBzip2() = default;

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
  if (!pipeline_.Submit(blocks_, count, error_)) return false;
  wroteAny_ = wroteAny_ || count > 0;
  filled_ = 0;
  return true;
}

bool ParallelBzip2::Finish() {
  if (!Flush() || !pipeline_.Wait(error_)) return false;
  if (wroteAny_) return true;
  // An empty stream is still one bzip2 stream.
  std::string out;
  Compress(*tables_, level_, std::string(), out);
  return WriteAll(fd_, out, error_);
}

}  // namespace tar32
