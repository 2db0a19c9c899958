#include "AppendedDataOffset.h"

#include <elf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace arc {
namespace {

bool ReadAt(int fd, void* buf, std::size_t size, std::uint64_t at) {
  return ::pread(fd, buf, size, static_cast<off_t>(at)) == static_cast<ssize_t>(size);
}

}  // namespace

std::optional<std::uint64_t> AppendedDataOffset(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return std::nullopt;
  const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
  Elf64_Ehdr eh{};
  if (!ReadAt(fd, &eh, sizeof eh, 0) || std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 ||
      eh.e_ident[EI_CLASS] != ELFCLASS64 || eh.e_ident[EI_DATA] != ELFDATA2LSB)
    return std::nullopt;
  if (eh.e_phnum > 0 && eh.e_phentsize < sizeof(Elf64_Phdr)) return std::nullopt;
  if (eh.e_shnum > 0 && eh.e_shentsize < sizeof(Elf64_Shdr)) return std::nullopt;
  std::uint64_t end = eh.e_ehsize;
  end = std::max<std::uint64_t>(end, eh.e_phoff + std::uint64_t{eh.e_phnum} * eh.e_phentsize);
  end = std::max<std::uint64_t>(end, eh.e_shoff + std::uint64_t{eh.e_shnum} * eh.e_shentsize);
  if (end > size) return std::nullopt;
  for (unsigned i = 0; i < eh.e_phnum; ++i) {
    Elf64_Phdr ph{};
    if (!ReadAt(fd, &ph, sizeof ph, eh.e_phoff + std::uint64_t{i} * eh.e_phentsize))
      return std::nullopt;
    if (ph.p_offset > size || ph.p_filesz > size - ph.p_offset) return std::nullopt;
    end = std::max<std::uint64_t>(end, ph.p_offset + ph.p_filesz);
  }
  for (unsigned i = 0; i < eh.e_shnum; ++i) {
    Elf64_Shdr sh{};
    if (!ReadAt(fd, &sh, sizeof sh, eh.e_shoff + std::uint64_t{i} * eh.e_shentsize))
      return std::nullopt;
    if (sh.sh_type == SHT_NOBITS) continue;
    if (sh.sh_offset > size || sh.sh_size > size - sh.sh_offset) return std::nullopt;
    end = std::max<std::uint64_t>(end, sh.sh_offset + sh.sh_size);
  }
  if (end >= size) return std::nullopt;
  return end;
}

}  // namespace arc
