#include "app/settings/MountPoints.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

namespace pelsok::app {
namespace {

// File systems that hold files a person keeps, as opposed to kernel views.
bool IsStorage(const std::string& type) {
  static const std::set<std::string> kTypes = {
      "ext2", "ext3",  "ext4", "xfs",      "btrfs",   "zfs",     "f2fs",
      "vfat", "exfat", "ntfs", "ntfs3",    "fuseblk", "nfs",     "nfs4",
      "cifs", "smb3",  "9p",   "virtiofs", "overlay", "iso9660", "udf"};
  return kTypes.count(type) != 0;
}

// Mount tables escape blanks and the like as \ooo.
std::string Unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() &&
        std::all_of(s.begin() + i + 1, s.begin() + i + 4,
                    [](char c) { return c >= '0' && c <= '7'; })) {
      out += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
      i += 3;
    } else {
      out += s[i];
    }
  }
  return out;
}

}  // namespace

std::vector<std::string> ParseMountPoints(const std::string& text) {
  std::set<std::string> others;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string device, dir, type;
    if (!(fields >> device >> dir >> type)) continue;
    dir = Unescape(dir);
    if (dir.empty() || dir[0] != '/' || dir == "/") continue;
    if (dir.rfind("/proc", 0) == 0 || dir.rfind("/sys", 0) == 0 || dir.rfind("/dev", 0) == 0)
      continue;
    if (IsStorage(type)) others.insert(dir);
  }
  std::vector<std::string> points{"/"};
  points.insert(points.end(), others.begin(), others.end());
  return points;
}

std::vector<std::string> MountPoints() {
  std::ifstream in("/proc/self/mounts");
  if (!in) return {"/"};
  std::stringstream ss;
  ss << in.rdbuf();
  return ParseMountPoints(ss.str());
}

std::string MountPointOf(const std::string& folder, const std::vector<std::string>& points) {
  std::string best = "/";
  for (const auto& p : points) {
    const bool inside = folder == p || (folder.rfind(p, 0) == 0 && folder.size() > p.size() &&
                                        (p.back() == '/' || folder[p.size()] == '/'));
    if (inside && p.size() > best.size()) best = p;
  }
  return best;
}

}  // namespace pelsok::app
