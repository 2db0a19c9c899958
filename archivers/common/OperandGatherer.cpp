#include "OperandGatherer.h"

#include <dirent.h>

#include <algorithm>

#include "common/Delimiters.h"
#include "platform/StoredName.h"
#include "platform/Wildcard.h"

namespace arc {

std::vector<std::string> SortedFolderNames(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(folder.empty() ? "." : folder.c_str())) {
    while (dirent* e = ::readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") names.push_back(std::move(n));
    }
    ::closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

OperandPlace PlaceOperand(const std::string& given, const std::string& baseDir,
                          OutsideBase outside) {
  OperandPlace p;
  p.operand = ToPlatformDelimiters(given);
  const bool absolute = !p.operand.empty() && p.operand[0] == '/';
  std::string diskPath = p.operand;
  if (!baseDir.empty() && !absolute) diskPath = baseDir + diskPath;
  struct stat st {};
  p.isFolder = !diskPath.empty() && (diskPath.back() == '/' ||
                                     (!platform::HasWildcard(diskPath) &&
                                      ::stat(diskPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode)));
  if (p.isFolder) {
    p.folder = diskPath.back() == '/' ? diskPath : diskPath + "/";
    p.mask.assign(1, '*');
  } else {
    const auto slash = diskPath.rfind('/');
    p.folder = slash == std::string::npos ? std::string() : diskPath.substr(0, slash + 1);
    p.mask = slash == std::string::npos ? diskPath : diskPath.substr(slash + 1);
  }
  const bool outsideBase =
      absolute && (baseDir.empty() || p.operand.compare(0, baseDir.size(), baseDir) != 0);
  if (outsideBase && outside == OutsideBase::ownNameOnly) {
    // Only the folder the operand names itself ("/srv/LOG" stores "LOG/...").
    if (p.isFolder)
      p.storedFolders = platform::StoredNameParts(p.operand.substr(p.operand.rfind('/') + 1));
  } else {
    p.storedFolders = platform::StoredFolderParts(p.folder, baseDir);
  }
  return p;
}

std::size_t FolderWalk::Search(const std::string& folder, const std::string& mask,
                               const std::vector<std::string>& prefix, bool recurse) {
  struct stat fst {};
  if (::stat(folder.empty() ? "." : folder.c_str(), &fst) != 0) return 0;
  const std::pair<dev_t, ino_t> id{fst.st_dev, fst.st_ino};
  if (std::find(walking_.begin(), walking_.end(), id) != walking_.end()) return 0;
  walking_.push_back(id);
  std::size_t found = 0;
  std::vector<std::string> below;
  const auto walkBelow = [&](const std::string& n, const struct stat& st) {
    auto parts = prefix;
    parts.push_back(n);
    const std::string path = folder + n;
    if (rules_.folder) rules_.folder(Found{path, st, parts});
    found += Search(path + "/", mask, parts, true);
  };
  for (const auto& n : SortedFolderNames(folder)) {
    if (Hidden(n)) continue;
    const std::string path = folder + n;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) continue;  // dangling link
    if (S_ISDIR(st.st_mode)) {
      struct stat lst {};
      // Folders reached through a link are not walked.
      if (recurse && ::lstat(path.c_str(), &lst) == 0 && S_ISDIR(lst.st_mode)) {
        if (rules_.filesBeforeFolders) {
          below.push_back(n);
        } else {
          walkBelow(n, st);
        }
      }
      continue;
    }
    if (!S_ISREG(st.st_mode) || !platform::MatchesMask(n, mask)) continue;
    auto parts = prefix;
    parts.push_back(n);
    found += rules_.file(Found{path, st, std::move(parts)});
  }
  for (const auto& n : below) {
    struct stat st {};
    if (::stat((folder + n).c_str(), &st) == 0) walkBelow(n, st);
  }
  walking_.erase(std::find(walking_.begin(), walking_.end(), id));
  return found;
}

}  // namespace arc
