#include "FileGatherer.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>

#include "common/Delimiters.h"
#include "lzharc/EntryName.h"
#include "platform/TextConvert.h"
#include "platform/Wildcard.h"

namespace unlha {
namespace {

struct Walk {
  const UnlhaOptions& o;
  dev_t exDev;
  ino_t exIno;
  std::string exPath;
  GatherResult& result;
  std::set<std::string> seen;                 // stored names already taken
  std::set<std::pair<dev_t, ino_t>> folders;  // folders being walked (link loops)

  bool Hidden(const std::string& name) const {
    return !o.includeHidden && !name.empty() && name[0] == '.';
  }

  bool InDateRange(std::int64_t t) const {
    if (o.notBefore && t < *o.notBefore) return false;
    if (o.notAfter && t >= *o.notAfter) return false;
    return true;
  }

  void AddFile(const std::string& path, const struct stat& st, std::vector<std::string> parts) {
    if (st.st_dev == exDev && st.st_ino == exIno && exIno != 0) return;
    if (path == exPath) return;
    if (!InDateRange(st.st_mtime)) return;
    const std::string key = lzh::EntryPath{parts}.Joined();
    if (!seen.insert(key).second) {
      result.notes.push_back("same stored name twice, kept the first: " + key);
      return;
    }
    SourceFile f;
    f.diskPath = path;
    for (auto& part : parts) part = platform::AnsiToUtf8(part);  // stored names are UTF-8
    f.parts = std::move(parts);
    f.mtime = st.st_mtime;
    f.size = static_cast<std::uint64_t>(st.st_size);
    f.device = st.st_dev;
    f.inode = st.st_ino;
    result.files.push_back(std::move(f));
  }

  // Searches folder (disk path with trailing '/') for names matching mask;
  // prefix holds the stored folders of this folder.
  std::size_t Search(const std::string& folder, const std::string& mask,
                     const std::vector<std::string>& prefix, bool recurse) {
    std::size_t found = 0;
    struct stat fst {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &fst) != 0) return 0;
    if (!folders.insert({fst.st_dev, fst.st_ino}).second) return 0;
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.empty() ? "." : folder.c_str())) {
      while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
      }
      ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> subfolders;
    for (const auto& n : names) {
      const std::string path = folder + n;
      struct stat st {};
      if (::stat(path.c_str(), &st) != 0) continue;  // dangling link
      if (S_ISDIR(st.st_mode)) {
        struct stat lst {};
        // Folders reached through a link are not walked.
        if (recurse && !Hidden(n) && ::lstat(path.c_str(), &lst) == 0 && S_ISDIR(lst.st_mode))
          subfolders.push_back(n);
        continue;
      }
      if (!S_ISREG(st.st_mode) || Hidden(n) || !platform::MatchesMask(n, mask)) continue;
      auto parts = prefix;
      parts.push_back(n);
      const std::size_t before = result.files.size();
      AddFile(path, st, std::move(parts));
      found += result.files.size() - before;
    }
    for (const auto& s : subfolders) {
      auto sub = prefix;
      sub.push_back(s);
      found += Search(folder + s + "/", mask, sub, true);
    }
    folders.erase({fst.st_dev, fst.st_ino});
    return found;
  }
};

// Lexical parts of a folder path without root, "." and "..".
std::vector<std::string> FolderParts(const std::string& folder) {
  std::vector<std::string> parts;
  for (auto& p : lzh::SplitPath(folder))
    if (p != "..") parts.push_back(p);
  return parts;
}

}  // namespace

GatherResult GatherFiles(const UnlhaOptions& o, dev_t excludeDevice, ino_t excludeInode,
                         const std::string& excludePath) {
  GatherResult result;
  Walk walk{o, excludeDevice, excludeInode, excludePath, result, {}, {}};
  for (const std::string& given : o.files) {
    const std::string operand = arc::ToPlatformDelimiters(given);
    std::string diskPath = operand;
    if (!o.baseDir.empty() && (diskPath.empty() || diskPath[0] != '/'))
      diskPath = o.baseDir + diskPath;
    std::string folder, mask;
    struct stat st {};
    const bool isFolder =
        !diskPath.empty() &&
        (diskPath.back() == '/' || (!platform::HasWildcard(diskPath) &&
                                    ::stat(diskPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode)));
    if (isFolder) {
      folder = diskPath.back() == '/' ? diskPath : diskPath + "/";
      mask.assign(1, '*');
    } else {
      auto slash = diskPath.rfind('/');
      folder = slash == std::string::npos ? std::string() : diskPath.substr(0, slash + 1);
      mask = slash == std::string::npos ? diskPath : diskPath.substr(slash + 1);
    }
    // The stored folder of what this operand finds.
    std::vector<std::string> prefix;
    if (o.keepFolders) {
      if (!o.baseDir.empty() && folder.compare(0, o.baseDir.size(), o.baseDir) == 0) {
        prefix = FolderParts(folder.substr(o.baseDir.size()));
      } else {
        prefix = FolderParts(folder);
      }
    }
    const bool recurse = o.recursion >= 1 || (isFolder && o.recursion >= 2);
    std::size_t found = walk.Search(folder, mask, prefix, recurse);
    if (!o.keepFolders) {
      // Bare names: the folders found by recursion are dropped too.
      for (auto& f : result.files)
        if (f.parts.size() > 1) f.parts.erase(f.parts.begin(), f.parts.end() - 1);
    }
    if (found == 0) result.notes.push_back("nothing matches " + operand);
  }
  if (!o.keepFolders) {
    // Dropping folders may have made two names equal: keep the first.
    std::set<std::string> names;
    std::vector<SourceFile> kept;
    for (auto& f : result.files) {
      if (names.insert(f.parts.back()).second) {
        kept.push_back(std::move(f));
      } else {
        result.notes.push_back("same stored name twice, kept the first: " + f.parts.back());
      }
    }
    result.files = std::move(kept);
  }
  return result;
}

}  // namespace unlha
