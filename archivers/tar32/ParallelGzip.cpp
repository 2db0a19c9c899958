#include "ParallelGzip.h"

#include <libdeflate.h>

#include <algorithm>
#include <memory>
#include <new>

#include "BlockBatch.h"
#include "common/OrderedPool.h"

namespace tar32 {
namespace {

// Blocks compressed together per batch for each worker: enough to keep the
// workers busy while memory stays a few MiB.
constexpr std::size_t kBlocksPerWorker = 2;

void Deflate(int level, const std::string& block, std::string& out) {
  std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> c(
      libdeflate_alloc_compressor(level), libdeflate_free_compressor);
  if (!c) throw std::bad_alloc();
  out.resize(libdeflate_gzip_compress_bound(c.get(), block.size()));
  out.resize(libdeflate_gzip_compress(c.get(), block.data(), block.size(), out.data(), out.size()));
}

}  // namespace

ParallelGzip::ParallelGzip(int fd, int level, int threads)
    : fd_(fd),
      level_(level),
      threads_(arc::OrderedPool::ThreadsFor(threads, SIZE_MAX)),
      pipeline_(fd, threads_, [level](const std::string& block, std::string& out) {
        Deflate(level, block, out);
      }) {
  blocks_.resize(static_cast<std::size_t>(threads_) * kBlocksPerWorker);
  blocks_[0].reserve(kGzipBlock);
}

bool ParallelGzip::Write(const void* data, std::size_t n) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    if (filled_ == blocks_.size() && !Flush()) return false;
    std::string& b = blocks_[filled_];
    const std::size_t take = std::min(n, kGzipBlock - b.size());
    b.append(p, take);
    p += take;
    n -= take;
    if (b.size() == kGzipBlock) ++filled_;
  }
  return true;
}

bool ParallelGzip::Flush() {
  const std::size_t count = filled_ + (filled_ < blocks_.size() && !blocks_[filled_].empty());
  if (!pipeline_.Submit(blocks_, count, error_)) return false;
  wroteAny_ = wroteAny_ || count > 0;
  filled_ = 0;
  return true;
}

bool ParallelGzip::Finish() {
  if (!Flush() || !pipeline_.Wait(error_)) return false;
  if (wroteAny_) return true;
  // An empty stream is still one gzip member.
  std::string out;
  Deflate(level_, std::string(), out);
  return WriteAll(fd_, out, error_);
}

}  // namespace tar32
