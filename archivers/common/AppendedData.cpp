#include "AppendedData.h"

#include <elf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace arc {
namespace {

bool ReadExact(int fd, void* buf, std::size_t n, std::uint64_t at) {
  auto* p = static_cast<unsigned char*>(buf);
  while (n > 0) {
    const ssize_t got = ::pread(fd, p, n, static_cast<off_t>(at));
    if (got <= 0) return false;
    p += got;
    n -= static_cast<std::size_t>(got);
    at += static_cast<std::uint64_t>(got);
  }
  return true;
}

// Ehdr/Phdr/Shdr are the 64-bit or 32-bit header types; only the host's
// byte order is read (the stub is built for the machine it runs on).
template <class Ehdr, class Phdr, class Shdr>
std::optional<std::uint64_t> ImageEnd(int fd, std::uint64_t fileSize) {
  Ehdr eh{};
  if (!ReadExact(fd, &eh, sizeof eh, 0)) return std::nullopt;
  std::uint64_t end = sizeof eh;
  const auto extend = [&](std::uint64_t offset, std::uint64_t length) {
    if (offset > fileSize || length > fileSize - offset) return false;
    end = std::max(end, offset + length);
    return true;
  };
  if (eh.e_phnum > 0) {
    if (eh.e_phentsize != sizeof(Phdr)) return std::nullopt;
    if (!extend(eh.e_phoff, std::uint64_t{eh.e_phnum} * sizeof(Phdr))) return std::nullopt;
    for (unsigned i = 0; i < eh.e_phnum; ++i) {
      Phdr ph{};
      if (!ReadExact(fd, &ph, sizeof ph, eh.e_phoff + std::uint64_t{i} * sizeof ph))
        return std::nullopt;
      if (!extend(ph.p_offset, ph.p_filesz)) return std::nullopt;
    }
  }
  if (eh.e_shnum > 0) {
    if (eh.e_shentsize != sizeof(Shdr)) return std::nullopt;
    if (!extend(eh.e_shoff, std::uint64_t{eh.e_shnum} * sizeof(Shdr))) return std::nullopt;
    for (unsigned i = 0; i < eh.e_shnum; ++i) {
      Shdr sh{};
      if (!ReadExact(fd, &sh, sizeof sh, eh.e_shoff + std::uint64_t{i} * sizeof sh))
        return std::nullopt;
      if (sh.sh_type != SHT_NOBITS && !extend(sh.sh_offset, sh.sh_size)) return std::nullopt;
    }
  }
  return end;
}

}  // namespace

std::optional<std::uint64_t> AppendedDataOffset(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  const auto size = static_cast<std::uint64_t>(st.st_size);
  unsigned char ident[EI_NIDENT];
  if (size < sizeof ident || !ReadExact(fd, ident, sizeof ident, 0)) return std::nullopt;
  if (std::memcmp(ident, ELFMAG, SELFMAG) != 0) return std::nullopt;
  std::optional<std::uint64_t> end;
  if (ident[EI_CLASS] == ELFCLASS64)
    end = ImageEnd<Elf64_Ehdr, Elf64_Phdr, Elf64_Shdr>(fd, size);
  else if (ident[EI_CLASS] == ELFCLASS32)
    end = ImageEnd<Elf32_Ehdr, Elf32_Phdr, Elf32_Shdr>(fd, size);
  if (!end || *end >= size) return std::nullopt;
  return end;
}

}  // namespace arc
