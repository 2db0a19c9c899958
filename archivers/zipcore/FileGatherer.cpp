#include "FileGatherer.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>

#include "common/Delimiters.h"
#include "platform/TextConvert.h"
#include "platform/Wildcard.h"

namespace zipcore {
namespace {

std::string Join(const std::vector<std::string>& parts) {
  std::string s;
  for (const auto& p : parts) s += (s.empty() ? "" : "/") + p;
  return s;
}

// Lexical parts of a folder path without its root, "." and "..".
std::vector<std::string> FolderParts(const std::string& folder) {
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i < folder.size()) {
    std::size_t j = folder.find('/', i);
    if (j == std::string::npos) j = folder.size();
    const std::string p = folder.substr(i, j - i);
    if (!p.empty() && p != "." && p != "..") parts.push_back(p);
    i = j + 1;
  }
  return parts;
}

struct Walk {
  const ZipOptions& o;
  struct stat archive {};
  bool haveArchive = false;
  GatherResult& result;
  std::set<std::string> seen;
  std::set<std::pair<dev_t, ino_t>> walking;  // link loops

  bool Hidden(const std::string& name) const {
    return !o.includeHidden && !name.empty() && name[0] == '.';
  }

  std::size_t Add(const std::string& path, const struct stat& st, std::vector<std::string> parts,
                  bool folder) {
    if (folder && (o.noFolderEntries || o.junkPaths || parts.empty())) return 0;
    if (!folder && haveArchive && st.st_dev == archive.st_dev && st.st_ino == archive.st_ino)
      return 0;
    if (o.junkPaths && parts.size() > 1) parts.erase(parts.begin(), parts.end() - 1);
    std::string stored = Join(parts) + (folder ? "/" : "");
    if (!seen.insert(stored).second) {
      if (!folder) result.notes.push_back("same stored name twice, kept the first: " + stored);
      return 0;
    }
    SourceFile f;
    f.diskPath = path;
    f.storedName = platform::AnsiToUtf8(stored);  // stored names are UTF-8
    f.folder = folder;
    f.mtime = st.st_mtime;
    f.size = folder ? 0 : static_cast<std::uint64_t>(st.st_size);
    f.mode = st.st_mode;
    result.files.push_back(std::move(f));
    return 1;
  }

  // Searches folder (with its trailing '/', or empty for the current one).
  std::size_t Search(const std::string& folder, const std::string& mask,
                     const std::vector<std::string>& prefix, bool recurse) {
    struct stat fst {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &fst) != 0) return 0;
    if (!walking.insert({fst.st_dev, fst.st_ino}).second) return 0;
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.empty() ? "." : folder.c_str())) {
      while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(std::move(n));
      }
      ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    std::size_t found = 0;
    for (const auto& n : names) {
      if (Hidden(n)) continue;
      const std::string path = folder + n;
      struct stat st {};
      if (::stat(path.c_str(), &st) != 0) continue;  // dangling link
      auto parts = prefix;
      parts.push_back(n);
      if (S_ISDIR(st.st_mode)) {
        struct stat lst {};
        // Folders reached through a link are not walked.
        if (recurse && ::lstat(path.c_str(), &lst) == 0 && S_ISDIR(lst.st_mode)) {
          // Folder entries come with whole folders, not with mask searches.
          if (mask == "*" || mask == "*.*") Add(path, st, parts, true);
          found += Search(path + "/", mask, parts, true);
        }
        continue;
      }
      if (!S_ISREG(st.st_mode) || !platform::MatchesMask(n, mask)) continue;
      found += Add(path, st, std::move(parts), false);
    }
    walking.erase({fst.st_dev, fst.st_ino});
    return found;
  }
};

}  // namespace

GatherResult GatherFiles(const ZipOptions& o, const std::string& excludePath) {
  GatherResult result;
  Walk walk{o, {}, false, result, {}, {}};
  walk.haveArchive = ::stat(excludePath.c_str(), &walk.archive) == 0;
  for (const std::string& given : o.files) {
    const std::string operand = arc::ToPlatformDelimiters(given);
    std::string diskPath = operand;
    if (!o.baseDir.empty() && (diskPath.empty() || diskPath[0] != '/'))
      diskPath = o.baseDir + diskPath;
    struct stat st {};
    const bool isFolder =
        !diskPath.empty() &&
        (diskPath.back() == '/' || (!platform::HasWildcard(diskPath) &&
                                    ::stat(diskPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode)));
    std::string folder, mask;
    if (isFolder) {
      folder = diskPath.back() == '/' ? diskPath : diskPath + "/";
      mask.assign(1, '*');
    } else {
      const auto slash = diskPath.rfind('/');
      folder = slash == std::string::npos ? std::string() : diskPath.substr(0, slash + 1);
      mask = slash == std::string::npos ? diskPath : diskPath.substr(slash + 1);
    }
    std::vector<std::string> prefix;
    if (!o.baseDir.empty() && folder.compare(0, o.baseDir.size(), o.baseDir) == 0) {
      prefix = FolderParts(folder.substr(o.baseDir.size()));
    } else {
      prefix = FolderParts(folder);
    }
    std::size_t found = 0;
    if (isFolder) {
      struct stat fst {};
      if (::stat(folder.c_str(), &fst) == 0) found += walk.Add(folder, fst, prefix, true) + 1;
      if (o.recurse) found += walk.Search(folder, mask, prefix, true);
    } else {
      found = walk.Search(folder, mask, prefix, o.recurse);
    }
    if (found == 0) result.notes.push_back("nothing matches " + operand);
  }
  return result;
}

}  // namespace zipcore
