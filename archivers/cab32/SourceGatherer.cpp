#include "SourceGatherer.h"

#include <sys/stat.h>

#include <set>

#include "common/Messages.h"
#include "common/OperandGatherer.h"
#include "platform/StoredName.h"
#include "platform/TextConvert.h"

namespace cab {

GatherResult GatherSources(const CabOptions& o, const std::string& exclude) {
  GatherResult result;
  struct stat ex {};
  const bool haveExclude = ::stat(exclude.c_str(), &ex) == 0;
  std::set<std::string> seen;
  arc::WalkRules rules;
  rules.file = [&](arc::Found f) -> std::size_t {
    if (haveExclude && f.st.st_dev == ex.st_dev && f.st.st_ino == ex.st_ino) return 1;
    const std::string name = o.noFolders ? f.parts.back() : platform::JoinStoredName(f.parts);
    if (!seen.insert(name).second) {
      result.notes.push_back(arc::msg::SameStoredName(name));
      return 1;
    }
    result.files.push_back({f.path, platform::AnsiToUtf8(name),  // stored names are UTF-8
                            static_cast<std::int64_t>(f.st.st_mtime),
                            static_cast<std::uint64_t>(f.st.st_size), f.st.st_mode});
    return 1;
  };
  arc::FolderWalk walk(std::move(rules));
  for (const auto& operand : o.files) {
    if (operand.empty()) continue;
    const arc::OperandPlace p =
        arc::PlaceOperand(operand, o.baseDir, arc::OutsideBase::ownNameOnly);
    // A folder operand is taken whole.
    const std::size_t found =
        walk.Search(p.folder, p.mask, p.storedFolders, p.isFolder || o.recurse);
    if (found == 0) result.notes.push_back(arc::msg::NothingMatches(operand));
  }
  return result;
}

}  // namespace cab
