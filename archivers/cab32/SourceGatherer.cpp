#include "SourceGatherer.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>

#include "platform/TextConvert.h"
#include "platform/Wildcard.h"

namespace cab {
namespace {

// The parts of a folder written in an operand, without root, "." and "..".
std::string CleanFolder(const std::string& folder) {
  std::string out;
  std::size_t start = 0;
  while (start <= folder.size()) {
    std::size_t end = folder.find('/', start);
    if (end == std::string::npos) end = folder.size();
    const std::string part = folder.substr(start, end - start);
    if (!part.empty() && part != "." && part != "..") out += part + "/";
    start = end + 1;
  }
  return out;
}

struct Walk {
  const CabOptions& o;
  dev_t exDev = 0;
  ino_t exIno = 0;
  bool haveExclude = false;
  GatherResult& result;
  std::set<std::string> seen;
  std::set<std::pair<dev_t, ino_t>> walking;  // link loops

  void AddFile(const std::string& path, const struct stat& st, const std::string& stored) {
    if (haveExclude && st.st_dev == exDev && st.st_ino == exIno) return;
    const std::string name =
        o.noFolders
            ? stored.substr(stored.rfind('/') == std::string::npos ? 0 : stored.rfind('/') + 1)
            : stored;
    if (!seen.insert(name).second) {
      result.notes.push_back("same stored name twice, kept the first: " + name);
      return;
    }
    result.files.push_back({path, platform::AnsiToUtf8(name),  // stored names are UTF-8
                            static_cast<std::int64_t>(st.st_mtime),
                            static_cast<std::uint64_t>(st.st_size), st.st_mode});
  }

  // Files of folder (disk path ending in '/') whose names match mask;
  // prefix is the stored folder of this folder.
  std::size_t Search(const std::string& folder, const std::string& mask, const std::string& prefix,
                     bool recurse) {
    struct stat fst {};
    const std::string here = folder.empty() ? "." : folder;
    if (::stat(here.c_str(), &fst) != 0 || !walking.insert({fst.st_dev, fst.st_ino}).second)
      return 0;
    std::vector<std::string> names;
    if (DIR* d = ::opendir(here.c_str())) {
      while (dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
      }
      ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    std::size_t found = 0;
    std::vector<std::string> below;
    for (const auto& n : names) {
      const std::string path = folder + n;
      struct stat st {};
      if (::stat(path.c_str(), &st) != 0) continue;
      if (S_ISDIR(st.st_mode)) {
        struct stat lst {};
        // Folders reached through a link are not walked.
        if (recurse && ::lstat(path.c_str(), &lst) == 0 && S_ISDIR(lst.st_mode)) below.push_back(n);
        continue;
      }
      if (!S_ISREG(st.st_mode) || !platform::MatchesMask(n, mask)) continue;
      AddFile(path, st, prefix + n);
      ++found;
    }
    for (const auto& n : below) found += Search(folder + n + "/", mask, prefix + n + "/", true);
    walking.erase({fst.st_dev, fst.st_ino});
    return found;
  }

  void Operand(const std::string& operand) {
    const bool absolute = !operand.empty() && operand[0] == '/';
    std::string disk = absolute || o.baseDir.empty() ? operand : o.baseDir + operand;
    std::string written = operand;  // the part whose folders are stored
    if (absolute && !o.baseDir.empty() && operand.compare(0, o.baseDir.size(), o.baseDir) == 0)
      written = operand.substr(o.baseDir.size());
    else if (absolute)
      written = operand.substr(operand.rfind('/') + 1);
    while (disk.size() > 1 && disk.back() == '/') disk.pop_back();
    while (!written.empty() && written.back() == '/') written.pop_back();
    struct stat st {};
    std::size_t found = 0;
    if (!platform::HasWildcard(operand) && ::stat(disk.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      found = Search(disk + "/", "*", CleanFolder(written), true);
    } else {
      const auto slash = disk.rfind('/');
      const std::string folder = slash == std::string::npos ? "" : disk.substr(0, slash + 1);
      const std::string mask = slash == std::string::npos ? disk : disk.substr(slash + 1);
      const auto wslash = written.rfind('/');
      const std::string prefix =
          wslash == std::string::npos ? "" : CleanFolder(written.substr(0, wslash));
      found = Search(folder, mask, prefix, o.recurse);
    }
    if (found == 0) result.notes.push_back("nothing matched " + operand);
  }
};

}  // namespace

GatherResult GatherSources(const CabOptions& o, const std::string& exclude) {
  GatherResult result;
  Walk walk{o, 0, 0, false, result, {}, {}};
  struct stat st {};
  if (::stat(exclude.c_str(), &st) == 0) {
    walk.exDev = st.st_dev;
    walk.exIno = st.st_ino;
    walk.haveExclude = true;
  }
  for (const auto& operand : o.files)
    if (!operand.empty()) walk.Operand(operand);
  return result;
}

}  // namespace cab
