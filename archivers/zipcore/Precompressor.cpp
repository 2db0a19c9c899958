#include "Precompressor.h"

#include <fcntl.h>
#include <libdeflate.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stop_token>

#include "DeflateLevels.h"
#include "common/Messages.h"
#include "common/OrderedPool.h"

namespace zipcore {
namespace {

class Fd {
 public:
  explicit Fd(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// The whole file in memory, then one libdeflate call: the file is at most
// kPrecompressFileLimit, and a whole buffer deflates smaller and faster than
// a stream does.
Precompressed Deflate(const PrecompressJob& job, int level, const std::stop_token& stop) {
  Precompressed r;
  Fd fd(job.diskPath);
  if (fd.get() < 0) {
    r.error = arc::msg::CannotOpen("ファイル", std::strerror(errno));
    return r;
  }
  std::vector<unsigned char> in(static_cast<std::size_t>(job.size) + 1);
  std::size_t have = 0;
  for (;;) {
    if (stop.stop_requested()) {
      r.error = arc::msg::Cancelled();
      return r;
    }
    if (have == in.size()) in.resize(in.size() * 2);  // the file grew since it was gathered
    const ssize_t n = ::read(fd.get(), in.data() + have, in.size() - have);
    if (n < 0) {
      if (errno == EINTR) continue;
      r.error = arc::msg::CannotRead("ファイル", std::strerror(errno));
      return r;
    }
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> c(
      libdeflate_alloc_compressor(level), libdeflate_free_compressor);
  if (!c) {
    r.error = arc::msg::OutOfMemory();
    return r;
  }
  r.data.resize(libdeflate_deflate_compress_bound(c.get(), have));
  const std::size_t out =
      libdeflate_deflate_compress(c.get(), in.data(), have, r.data.data(), r.data.size());
  if (out == 0) {  // cannot happen with a buffer of the bound's size
    r.error = arc::msg::OutOfMemory();
    return r;
  }
  r.data.resize(out);
  r.data.shrink_to_fit();
  r.size = have;
  r.crc = libdeflate_crc32(0, in.data(), have);
  r.worthIt = r.data.size() < r.size;
  r.ok = true;
  return r;
}

struct Served {
  Precompressed result;
  std::size_t pos = 0;
  zip_error_t error;
};

zip_int64_t Serve(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
  auto* s = static_cast<Served*>(state);
  switch (cmd) {
    case ZIP_SOURCE_OPEN:
      s->pos = 0;
      return 0;
    case ZIP_SOURCE_READ: {
      const std::size_t n =
          static_cast<std::size_t>(std::min<zip_uint64_t>(len, s->result.data.size() - s->pos));
      std::memcpy(data, s->result.data.data() + s->pos, n);
      s->pos += n;
      return static_cast<zip_int64_t>(n);
    }
    case ZIP_SOURCE_CLOSE:
      return 0;
    case ZIP_SOURCE_STAT: {
      auto* st = static_cast<zip_stat_t*>(data);
      zip_stat_init(st);
      st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
      st->size = s->result.size;
      st->comp_size = s->result.data.size();
      st->comp_method = ZIP_CM_DEFLATE;
      st->crc = s->result.crc;
      return sizeof(*st);
    }
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&s->error, data, len);
    case ZIP_SOURCE_FREE:
      zip_error_fini(&s->error);
      delete s;
      return 0;
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                            ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
      zip_error_set(&s->error, ZIP_ER_OPNOTSUPP, 0);
      return -1;
  }
}

}  // namespace

std::vector<Precompressed> PrecompressAll(const std::vector<PrecompressJob>& jobs, int level,
                                          int threads,
                                          const std::function<bool(std::size_t)>& onDone) {
  std::vector<Precompressed> results(jobs.size());
  std::vector<std::uint64_t> sizes;
  sizes.reserve(jobs.size());
  for (const PrecompressJob& job : jobs) sizes.push_back(job.size);
  const std::vector<int> levels = DeflateLevels(sizes, level);
  // No window: the libzip sources hold every result until the archive is
  // written anyway, and kPrecompressTotalLimit bounds them all together.
  arc::OrderedPool pool(
      jobs.size(), arc::OrderedPool::ThreadsFor(threads, jobs.size()), jobs.size(),
      [&](std::size_t i, std::stop_token stop) { results[i] = Deflate(jobs[i], levels[i], stop); });
  std::size_t handed = 0;
  while (handed < jobs.size() && pool.Take(handed) && onDone(handed)) ++handed;
  if (handed < jobs.size()) {
    pool.Stop();
    for (std::size_t i = handed + 1; i < jobs.size(); ++i) {
      results[i] = Precompressed{};
      results[i].error = arc::msg::Cancelled();
    }
  }
  return results;
}

zip_source_t* PrecompressedSource(zip_t* z, Precompressed&& result) {
  auto* s = new Served{std::move(result), 0, {}};
  zip_error_init(&s->error);
  zip_source_t* source = zip_source_function(z, Serve, s);
  if (source == nullptr) {
    zip_error_fini(&s->error);
    delete s;
  }
  return source;
}

}  // namespace zipcore
