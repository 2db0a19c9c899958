// Feeds any bytes to the read entry of every library we ship: the first
// byte picks the library, the rest is the archive file. Every member's
// data goes to a callback that checks the chunk limit and stops the walk
// now and then; nothing may crash, hang, exceed the limit or write a file.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "archivers/common/ArchiverApi.h"

extern "C" {
std::int32_t UnlhaReadMembers(const char*, const char*, ArcMemberDataCallback, void*, char*,
                              std::uint32_t);
std::int32_t UnZipReadMembers(const char*, const char*, ArcMemberDataCallback, void*, char*,
                              std::uint32_t);
std::int32_t TarReadMembers(const char*, const char*, ArcMemberDataCallback, void*, char*,
                            std::uint32_t);
std::int32_t CabReadMembers(const char*, const char*, ArcMemberDataCallback, void*, char*,
                            std::uint32_t);
std::int32_t UnarjReadMembers(const char*, const char*, ArcMemberDataCallback, void*, char*,
                              std::uint32_t);
std::int32_t UnrarReadMembers(const char*, const char*, ArcMemberDataCallback, void*, char*,
                              std::uint32_t);
}

namespace {

const ArcReadMembersProc kEntries[] = {&UnlhaReadMembers, &UnZipReadMembers, &TarReadMembers,
                                       &CabReadMembers,   &UnarjReadMembers, &UnrarReadMembers};
const char* const kNames[] = {"in.lzh", "in.zip", "in.tgz", "in.cab", "in.arj", "in.rar"};

struct Walk {
  std::uint64_t calls = 0;
  std::uint8_t stopAt = 0;  // 0: never
};

std::int32_t Take(void* user, const char* name, const void* chunk, std::uint32_t length,
                  std::int32_t) {
  auto* walk = static_cast<Walk*>(user);
  if (name == nullptr || length > kArcReadChunk || (chunk == nullptr && length != 0)) std::abort();
  ++walk->calls;
  if (walk->stopAt != 0 && walk->calls % walk->stopAt == 0)
    return walk->calls & 1 ? 2 : kArcSkipMember;
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t which = data[0] % 6;
  static const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("memberread-fuzz-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string archive = (dir / kNames[which]).string();
  {
    std::ofstream out(archive, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data + 2), static_cast<std::streamsize>(size - 2));
  }
  Walk walk{0, static_cast<std::uint8_t>(data[1] & 0x0F)};
  char report[4096];
  kEntries[which](archive.c_str(), (data[1] & 0x80) ? "*.log" : "", &Take, &walk, report,
                  sizeof report);
  std::filesystem::remove(archive);
  if (std::distance(std::filesystem::directory_iterator(dir), {}) != 0) std::abort();
  return 0;
}
