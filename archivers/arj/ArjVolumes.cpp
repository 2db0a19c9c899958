#include "ArjVolumes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <limits>

namespace arj {
namespace {

constexpr std::size_t kMaxVolumes = 100;

Index ReadOne(const std::string& name) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    Index missing;
    missing.message = name + " is missing";
    return missing;
  }
  Index index = ReadIndex(fd, name);
  ::close(fd);
  return index;
}

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::uint32_t Sum(std::uint32_t a, std::uint32_t b) {
  return a > std::numeric_limits<std::uint32_t>::max() - b
             ? std::numeric_limits<std::uint32_t>::max()
             : a + b;
}

// Appends part (the first member of a later volume, which goes on from the
// previous one) to m; m's header becomes the whole member's.
void Join(Member& m, std::size_t volume, const Member& part) {
  if (m.parts.empty()) m.parts.push_back({m.volume, m.header, m.dataOffset});
  m.parts.push_back({volume, part.header, part.dataOffset});
  m.header.packedSize = Sum(m.header.packedSize, part.header.packedSize);
  m.header.originalSize = Sum(m.header.originalSize, part.header.originalSize);
  m.header.flags =
      static_cast<std::uint8_t>((m.header.flags & ~kVolume) | (part.header.flags & kVolume));
}

}  // namespace

std::string NextVolumeName(const std::string& name) {
  const auto dot = name.find_last_of('.');
  const auto slash = name.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  const std::string ext = name.substr(dot + 1);
  if (ext.size() != 3) return {};
  const char letter = ext[0];
  if (std::tolower(static_cast<unsigned char>(letter)) != 'a') return {};
  int number = 0;
  if (std::tolower(static_cast<unsigned char>(ext[1])) == 'r' &&
      std::tolower(static_cast<unsigned char>(ext[2])) == 'j') {
    number = 0;
  } else if (std::isdigit(static_cast<unsigned char>(ext[1])) &&
             std::isdigit(static_cast<unsigned char>(ext[2]))) {
    number = (ext[1] - '0') * 10 + (ext[2] - '0');
  } else {
    return {};
  }
  if (number >= 99) return {};
  ++number;
  return name.substr(0, dot + 1) + letter + static_cast<char>('0' + number / 10) +
         static_cast<char>('0' + number % 10);
}

Index ReadVolumeSet(const std::string& name) {
  Index set = ReadOne(name);
  if (!set.ok) return set;
  set.volumes.push_back(name);
  std::string current = name;
  bool more = set.multiVolume;
  while (more && set.volumes.size() < kMaxVolumes) {
    Member* open = !set.members.empty() && (set.members.back().header.flags & kVolume)
                       ? &set.members.back()
                       : nullptr;
    const std::string next = NextVolumeName(current);
    struct stat st {};
    if (next.empty() || ::stat(next.c_str(), &st) != 0) {
      if (open) open->missingVolume = next.empty() ? "?" : BaseName(next);
      break;
    }
    Index volume = ReadOne(next);
    if (!volume.ok) {
      if (open) open->missingVolume = BaseName(next) + " (" + volume.message + ")";
      break;
    }
    const std::size_t at = set.volumes.size();
    set.volumes.push_back(next);
    auto it = volume.members.begin();
    if (open && it != volume.members.end() && (it->header.flags & kExtFile) &&
        it->header.name == open->header.name) {
      Join(*open, at, *it);
      ++it;
    } else if (open) {
      open->missingVolume = BaseName(next);
    }
    for (; it != volume.members.end(); ++it) {
      it->volume = at;
      set.members.push_back(std::move(*it));
    }
    more = volume.multiVolume;
    current = next;
  }
  // A member that says it goes on, in a volume whose main header does not.
  for (Member& m : set.members)
    if ((m.header.flags & kVolume) && m.missingVolume.empty()) {
      const std::string next = NextVolumeName(set.volumes.at(m.volume));
      m.missingVolume = next.empty() ? "?" : BaseName(next);
    }
  return set;
}

std::string VolumeProblem(const Member& m) {
  if (m.header.flags & kExtFile)
    return "このメンバーは前の巻から続いています。組の最初の巻から開いてください";
  if (m.header.flags & kVolume)
    return "このメンバーの続きを収めた巻 " + (m.missingVolume.empty() ? "?" : m.missingVolume) +
           " がありません";
  return {};
}

}  // namespace arj
