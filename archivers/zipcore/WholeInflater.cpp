#include "WholeInflater.h"

#include <fcntl.h>
#include <libdeflate.h>
#include <unistd.h>

#include <memory>

namespace zipcore {
namespace {

constexpr std::uint16_t kDeflate = 8;

bool ReadAt(int fd, std::uint8_t* p, std::size_t n, std::int64_t offset) {
  std::size_t got = 0;
  while (got < n) {
    const ssize_t r = ::pread(fd, p + got, n - got, static_cast<off_t>(offset + got));
    if (r <= 0) return false;
    got += static_cast<std::size_t>(r);
  }
  return true;
}

}  // namespace

WholeInflater::WholeInflater(const std::string& archive, const OpenedZip& directory)
    : fd_(::open(archive.c_str(), O_RDONLY | O_CLOEXEC)), directory_(directory) {
  std::unordered_map<std::string, std::size_t> seen;
  for (std::size_t i = 0; i < directory_.entries.size(); ++i)
    if (!seen.emplace(directory_.entries[i].name, i).second)
      seen[directory_.entries[i].name] = SIZE_MAX;
  for (const auto& [name, i] : seen)
    if (i != SIZE_MAX) byName_.emplace(name, i);
}

WholeInflater::~WholeInflater() {
  if (fd_ >= 0) ::close(fd_);
}

const std::vector<std::uint8_t>* WholeInflater::Inflate(const std::string& name, std::int64_t size,
                                                        std::int64_t dataOffset) {
  const auto it = byName_.find(name);
  if (fd_ < 0 || dataOffset < 0 || it == byName_.end()) return nullptr;
  const ZipEntry& e = directory_.entries[it->second];
  if (e.method != kDeflate || e.encrypted || e.folder || e.symlink ||
      e.originalSize > kWholeInflateLimit || e.compressedSize > kWholeInflateLimit ||
      static_cast<std::uint64_t>(size) != e.originalSize)
    return nullptr;
  packed_.resize(static_cast<std::size_t>(e.compressedSize));
  unpacked_.resize(static_cast<std::size_t>(e.originalSize));
  if (!ReadAt(fd_, packed_.data(), packed_.size(), dataOffset)) return nullptr;
  thread_local std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> d(
      libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
  if (!d) return nullptr;
  std::size_t out = 0;
  if (libdeflate_deflate_decompress(d.get(), packed_.data(), packed_.size(), unpacked_.data(),
                                    unpacked_.size(), &out) != LIBDEFLATE_SUCCESS ||
      out != unpacked_.size() || libdeflate_crc32(0, unpacked_.data(), out) != e.crc)
    return nullptr;
  return &unpacked_;
}

}  // namespace zipcore
