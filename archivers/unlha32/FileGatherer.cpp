#include "FileGatherer.h"

#include <set>

#include "common/Messages.h"
#include "common/OperandGatherer.h"
#include "lzharc/EntryName.h"
#include "platform/TextConvert.h"

namespace unlha {

GatherResult GatherFiles(const UnlhaOptions& o, dev_t excludeDevice, ino_t excludeInode,
                         const std::string& excludePath) {
  GatherResult result;
  std::set<std::string> seen;  // stored names already taken
  const auto inDateRange = [&o](std::int64_t t) {
    return !(o.notBefore && t < *o.notBefore) && !(o.notAfter && t >= *o.notAfter);
  };
  arc::WalkRules rules;
  rules.includeHidden = o.includeHidden;
  rules.file = [&](arc::Found f) -> std::size_t {
    if (f.st.st_dev == excludeDevice && f.st.st_ino == excludeInode && excludeInode != 0) return 0;
    if (f.path == excludePath || !inDateRange(f.st.st_mtime)) return 0;
    const std::string key = lzh::EntryPath{f.parts}.Joined();
    if (!seen.insert(key).second) {
      result.notes.push_back(arc::msg::SameStoredName(key));
      return 0;
    }
    SourceFile s;
    s.diskPath = f.path;
    for (auto& part : f.parts) part = platform::AnsiToUtf8(part);  // stored names are UTF-8
    s.parts = std::move(f.parts);
    s.mtime = f.st.st_mtime;
    s.size = static_cast<std::uint64_t>(f.st.st_size);
    s.device = f.st.st_dev;
    s.inode = f.st.st_ino;
    result.files.push_back(std::move(s));
    return 1;
  };
  arc::FolderWalk walk(std::move(rules));
  for (const std::string& given : o.files) {
    arc::OperandPlace p = arc::PlaceOperand(given, o.baseDir);
    if (!o.keepFolders) p.storedFolders.clear();
    const bool recurse = o.recursion >= 1 || (p.isFolder && o.recursion >= 2);
    const std::size_t found = walk.Search(p.folder, p.mask, p.storedFolders, recurse);
    if (!o.keepFolders) {
      // Bare names: the folders found by recursion are dropped too.
      for (auto& f : result.files)
        if (f.parts.size() > 1) f.parts.erase(f.parts.begin(), f.parts.end() - 1);
    }
    if (found == 0) result.notes.push_back(arc::msg::NothingMatches(p.operand));
  }
  if (!o.keepFolders) {
    // Dropping folders may have made two names equal: keep the first.
    std::set<std::string> names;
    std::vector<SourceFile> kept;
    for (auto& f : result.files) {
      if (names.insert(f.parts.back()).second) {
        kept.push_back(std::move(f));
      } else {
        result.notes.push_back(arc::msg::SameStoredName(f.parts.back()));
      }
    }
    result.files = std::move(kept);
  }
  return result;
}

}  // namespace unlha
