// Deflates the files of an add command with libdeflate on every core before libzip writes
// the archive: libzip compresses one entry after another, so its own path
// leaves all but one core idle. Each finished file becomes a libzip source
// that hands over the deflated bytes with their CRC, which libzip copies
// into the archive as they are. Files too large to hold in memory are left
// to libzip's own (streaming) path.
#pragma once

#include <zip.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zipcore {

struct PrecompressJob {
  std::string diskPath;
  std::uint64_t size = 0;  // as gathered; the file may have changed since
};

struct Precompressed {
  bool ok = false;
  bool worthIt = false;  // deflating made the data smaller
  std::string error;     // why the file could not be read
  std::string data;      // deflated bytes (raw deflate)
  std::uint64_t size = 0;
  std::uint32_t crc = 0;
};

// The most a file may have to be deflated here, and the most all of them
// together may have.
constexpr std::uint64_t kPrecompressFileLimit = 64ull << 20;
constexpr std::uint64_t kPrecompressTotalLimit = 512ull << 20;

// Deflates every job at the given level (1-9; DeflateLevels says what each
// level means for each job) on `threads` worker threads
// (0: one per core; arc::OrderedPool::ThreadsFor). onDone(index) runs on the
// calling thread as results come in, in job order; returning false stops the
// remaining work (the results after that index are not ok, with the error
// "cancelled"). Running out of memory on a worker throws std::bad_alloc here.
std::vector<Precompressed> PrecompressAll(const std::vector<PrecompressJob>& jobs, int level,
                                          int threads,
                                          const std::function<bool(std::size_t)>& onDone);

// A libzip source that hands over result's deflated bytes (taking them);
// null when libzip cannot make one.
zip_source_t* PrecompressedSource(zip_t* z, Precompressed&& result);

}  // namespace zipcore
