#include "ParallelGzip.h"

#include <libdeflate.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>
#include <stop_token>

#include "common/OrderedPool.h"

namespace tar32 {
namespace {

// Blocks compressed together per batch for each worker: enough to keep the
// workers busy while memory stays a few MiB.
constexpr std::size_t kBlocksPerWorker = 2;

// False with the system's reason in error.
bool WriteAll(int fd, const std::string& s, int& error) {
  for (std::size_t done = 0; done < s.size();) {
    const ssize_t n = ::write(fd, s.data() + done, s.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : EIO;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

ParallelGzip::ParallelGzip(int fd, int level, int threads)
    : fd_(fd), level_(level), threads_(arc::OrderedPool::ThreadsFor(threads, SIZE_MAX)) {
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
  if (count == 0) return true;
  std::vector<std::string> packed(count);
  {
    arc::OrderedPool pool(
        count, arc::OrderedPool::ThreadsFor(threads_, count), count,
        [&](std::size_t i, std::stop_token) {
          std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> c(
              libdeflate_alloc_compressor(level_), libdeflate_free_compressor);
          if (!c) throw std::bad_alloc();
          std::string& out = packed[i];
          out.resize(libdeflate_gzip_compress_bound(c.get(), blocks_[i].size()));
          out.resize(libdeflate_gzip_compress(c.get(), blocks_[i].data(), blocks_[i].size(),
                                              out.data(), out.size()));
        });
    for (std::size_t i = 0; i < count; ++i) {
      if (!pool.Take(i)) return false;
      if (!WriteAll(fd_, packed[i], error_)) return false;
      wroteAny_ = true;
    }
  }
  for (std::size_t i = 0; i < count; ++i) blocks_[i].clear();
  filled_ = 0;
  return true;
}

bool ParallelGzip::Finish() {
  if (!Flush()) return false;
  if (wroteAny_) return true;
  // An empty stream is still one gzip member.
  blocks_[0].clear();
  filled_ = 0;
  std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> c(
      libdeflate_alloc_compressor(level_), libdeflate_free_compressor);
  if (!c) throw std::bad_alloc();
  std::string out(libdeflate_gzip_compress_bound(c.get(), 0), '\0');
  out.resize(libdeflate_gzip_compress(c.get(), "", 0, out.data(), out.size()));
  return WriteAll(fd_, out, error_);
}

}  // namespace tar32
