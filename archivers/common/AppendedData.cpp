#include "common/AppendedData.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <vector>

namespace arc {

namespace {

// Reads exactly size bytes at offset; false on a short read or an error.
bool ReadAt(int fd, std::uint64_t offset, void* out, std::size_t size) {
  auto* p = static_cast<char*>(out);
  while (size > 0) {
    const ssize_t n = pread(fd, p, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    offset += static_cast<std::uint64_t>(n);
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Little-endian fields at fixed offsets of a record read from the file, so
// the host's byte order and the structs' padding play no part.
std::uint64_t Field(const std::uint8_t* record, std::size_t at, std::size_t width) {
  std::uint64_t v = 0;
  for (std::size_t i = width; i-- > 0;) v = (v << 8) | record[at + i];
  return v;
}

// Offsets and widths of the fields read, per ELF class.
struct Layout {
  std::size_t headerSize;
  std::size_t addrWidth;  // width of e_phoff, e_shoff, p_offset, p_filesz, sh_offset, sh_size
  std::size_t phoff, shoff, ehsize, phentsize, phnum, shentsize, shnum;
  std::size_t phdrSize, pOffset, pFilesz;
  std::size_t shdrSize, shType, shOffset, shSize, shInfo;
};

template <typename Ehdr, typename Phdr, typename Shdr>
constexpr Layout LayoutOf() {
  return {
      .headerSize = sizeof(Ehdr),
      .addrWidth = sizeof(Ehdr::e_phoff),
      .phoff = offsetof(Ehdr, e_phoff),
      .shoff = offsetof(Ehdr, e_shoff),
      .ehsize = offsetof(Ehdr, e_ehsize),
      .phentsize = offsetof(Ehdr, e_phentsize),
      .phnum = offsetof(Ehdr, e_phnum),
      .shentsize = offsetof(Ehdr, e_shentsize),
      .shnum = offsetof(Ehdr, e_shnum),
      .phdrSize = sizeof(Phdr),
      .pOffset = offsetof(Phdr, p_offset),
      .pFilesz = offsetof(Phdr, p_filesz),
      .shdrSize = sizeof(Shdr),
      .shType = offsetof(Shdr, sh_type),
      .shOffset = offsetof(Shdr, sh_offset),
      .shSize = offsetof(Shdr, sh_size),
      .shInfo = offsetof(Shdr, sh_info),
  };
}

constexpr Layout kElf32 = LayoutOf<Elf32_Ehdr, Elf32_Phdr, Elf32_Shdr>();
constexpr Layout kElf64 = LayoutOf<Elf64_Ehdr, Elf64_Phdr, Elf64_Shdr>();

// Tracks the furthest end of the extents seen; an extent past the end of
// the file (or overflowing) makes the whole image nonsense.
class ImageEnd {
 public:
  explicit ImageEnd(std::uint64_t fileSize) : fileSize_(fileSize) {}
  bool Add(std::uint64_t offset, std::uint64_t size) {
    if (offset > fileSize_ || size > fileSize_ - offset) return false;
    end_ = std::max(end_, offset + size);
    return true;
  }
  std::uint64_t End() const { return end_; }

 private:
  std::uint64_t fileSize_;
  std::uint64_t end_ = 0;
};

// No stub has header tables near this size; a header claiming one is nonsense.
constexpr std::uint64_t kMaxTableBytes = 16u << 20;

// A table of count entries of entrySize bytes at offset, read whole; false
// when it does not lie inside the file, is implausibly large, or its entries
// are too small for their records.
bool ReadTable(int fd, ImageEnd& end, std::uint64_t offset, std::uint64_t count,
               std::uint64_t entrySize, std::size_t recordSize, std::vector<std::uint8_t>& out) {
  out.clear();
  if (count == 0) return true;
  if (entrySize < recordSize) return false;
  if (count > UINT64_MAX / entrySize) return false;
  const std::uint64_t bytes = count * entrySize;
  if (bytes > kMaxTableBytes || !end.Add(offset, bytes)) return false;
  out.resize(static_cast<std::size_t>(bytes));
  return ReadAt(fd, offset, out.data(), out.size());
}

}  // namespace

std::optional<AppendedData> FindAppendedData(int fd) {
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  const auto fileSize = static_cast<std::uint64_t>(st.st_size);

  std::uint8_t header[sizeof(Elf64_Ehdr)] = {};
  if (fileSize < EI_NIDENT || !ReadAt(fd, 0, header, EI_NIDENT)) return std::nullopt;
  if (std::memcmp(header, ELFMAG, SELFMAG) != 0) return std::nullopt;
  if (header[EI_DATA] != ELFDATA2LSB || header[EI_VERSION] != EV_CURRENT) return std::nullopt;
  const Layout* layout = header[EI_CLASS] == ELFCLASS64   ? &kElf64
                         : header[EI_CLASS] == ELFCLASS32 ? &kElf32
                                                          : nullptr;
  if (layout == nullptr) return std::nullopt;
  const Layout& l = *layout;
  if (fileSize < l.headerSize || !ReadAt(fd, 0, header, l.headerSize)) return std::nullopt;

  const std::uint64_t ehsize = Field(header, l.ehsize, 2);
  std::uint64_t phnum = Field(header, l.phnum, 2);
  std::uint64_t shnum = Field(header, l.shnum, 2);
  const std::uint64_t phoff = Field(header, l.phoff, l.addrWidth);
  const std::uint64_t shoff = Field(header, l.shoff, l.addrWidth);
  const std::uint64_t phentsize = Field(header, l.phentsize, 2);
  const std::uint64_t shentsize = Field(header, l.shentsize, 2);

  ImageEnd end(fileSize);
  if (ehsize < l.headerSize || !end.Add(0, ehsize)) return std::nullopt;

  // With many sections or segments, the real counts sit in section 0.
  if (shoff != 0 && (shnum == 0 || phnum == PN_XNUM)) {
    std::vector<std::uint8_t> first;
    if (!ReadTable(fd, end, shoff, 1, shentsize, l.shdrSize, first)) return std::nullopt;
    if (shnum == 0) shnum = Field(first.data(), l.shSize, l.addrWidth);
    if (phnum == PN_XNUM) phnum = Field(first.data(), l.shInfo, 4);
  }
  if (shoff == 0) shnum = 0;
  if (phoff == 0) phnum = 0;

  std::vector<std::uint8_t> table;
  if (!ReadTable(fd, end, phoff, phnum, phentsize, l.phdrSize, table)) return std::nullopt;
  for (std::uint64_t i = 0; i < phnum; ++i) {
    const std::uint8_t* p = table.data() + i * phentsize;
    if (!end.Add(Field(p, l.pOffset, l.addrWidth), Field(p, l.pFilesz, l.addrWidth)))
      return std::nullopt;
  }
  if (!ReadTable(fd, end, shoff, shnum, shentsize, l.shdrSize, table)) return std::nullopt;
  for (std::uint64_t i = 0; i < shnum; ++i) {
    const std::uint8_t* s = table.data() + i * shentsize;
    const auto type = Field(s, l.shType, 4);
    if (type == SHT_NULL || type == SHT_NOBITS) continue;  // no file space
    if (!end.Add(Field(s, l.shOffset, l.addrWidth), Field(s, l.shSize, l.addrWidth)))
      return std::nullopt;
  }
  return AppendedData{end.End(), fileSize};
}

std::optional<AppendedData> FindOwnAppendedData() {
  const int fd = open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  auto found = FindAppendedData(fd);
  close(fd);
  return found;
}

}  // namespace arc
