#include "FileGatherer.h"

#include <set>

#include "common/Messages.h"
#include "common/OperandGatherer.h"
#include "platform/StoredName.h"
#include "platform/TextConvert.h"

namespace zipcore {

GatherResult GatherFiles(const ZipOptions& o, const std::string& excludePath) {
  GatherResult result;
  struct stat archive {};
  const bool haveArchive = ::stat(excludePath.c_str(), &archive) == 0;
  std::set<std::string> seen;
  const auto add = [&](const arc::Found& f, bool folder) -> std::size_t {
    std::vector<std::string> parts = f.parts;
    if (folder && (o.noFolderEntries || o.junkPaths || parts.empty())) return 0;
    if (!folder && haveArchive && f.st.st_dev == archive.st_dev && f.st.st_ino == archive.st_ino)
      return 0;
    if (o.junkPaths && parts.size() > 1) parts.erase(parts.begin(), parts.end() - 1);
    std::string stored = platform::JoinStoredName(parts) + (folder ? "/" : "");
    if (!seen.insert(stored).second) {
      if (!folder) result.notes.push_back(arc::msg::SameStoredName(stored));
      return 0;
    }
    SourceFile s;
    s.diskPath = f.path;
    s.storedName = platform::AnsiToUtf8(stored);  // stored names are UTF-8
    s.folder = folder;
    s.mtime = f.st.st_mtime;
    s.size = folder ? 0 : static_cast<std::uint64_t>(f.st.st_size);
    s.mode = f.st.st_mode;
    result.files.push_back(std::move(s));
    return 1;
  };
  std::string mask;  // of the operand being searched
  arc::WalkRules rules;
  rules.includeHidden = o.includeHidden;
  rules.filesBeforeFolders = false;
  rules.file = [&](arc::Found f) { return add(f, false); };
  // Folder entries come with whole folders, not with mask searches.
  rules.folder = [&](arc::Found f) -> std::size_t {
    return mask == "*" || mask == "*.*" ? add(f, true) : 0;
  };
  arc::FolderWalk walk(std::move(rules));
  for (const std::string& given : o.files) {
    const arc::OperandPlace p = arc::PlaceOperand(given, o.baseDir);
    mask = p.mask;
    std::size_t found = 0;
    if (p.isFolder) {
      struct stat fst {};
      if (::stat(p.folder.c_str(), &fst) == 0)
        found += add(arc::Found{p.folder, fst, p.storedFolders}, true) + 1;
      if (o.recurse) found += walk.Search(p.folder, p.mask, p.storedFolders, true);
    } else {
      found = walk.Search(p.folder, p.mask, p.storedFolders, o.recurse);
    }
    if (found == 0) result.notes.push_back(arc::msg::NothingMatches(p.operand));
  }
  return result;
}

}  // namespace zipcore
