#include "SourceGatherer.h"

#include <set>

#include "common/ArchiverApi.h"
#include "common/Delimiters.h"
#include "common/Messages.h"
#include "common/OperandGatherer.h"
#include "common/SafeText.h"
#include "platform/StoredName.h"
#include "platform/TextConvert.h"
#include "platform/Wildcard.h"

namespace tar32 {
namespace {

class Gatherer {
 public:
  Gatherer(const TarOptions& o, const std::vector<struct stat>& skip, arc::Report& report)
      : o_(o), skip_(skip), report_(report) {}

  void Operand(const std::string& operand) {
    std::string op = arc::ToPlatformDelimiters(operand);
    while (op.size() > 1 && op.back() == '/') op.pop_back();
    const std::string full = op.front() == '/' || o_.baseDir.empty() ? op : o_.baseDir + op;
    const std::size_t slash = full.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : full.substr(0, slash + 1);
    const std::string last = slash == std::string::npos ? full : full.substr(slash + 1);
    if (platform::HasWildcard(last)) {
      for (const auto& name : arc::SortedFolderNames(folder))
        if (platform::MatchesMask(name, last) &&
            (o_.includeHidden || name[0] != '.' || last[0] == '.'))
          Add(folder + name, StoredFor(folder, name));
      return;
    }
    struct stat st {};
    if (::lstat(full.c_str(), &st) != 0)
      throw arc::Failure(arc::kCannotRead,
                         arc::msg::Quoted(arc::SafeText(operand)) + " が見つかりません");
    Add(full, StoredFor(full));
  }

  std::vector<Source> Take() { return std::move(out_); }

 private:
  // The member name of a path (platform::StoredName, relative to the base
  // folder when below it).
  std::string StoredFor(const std::string& path) const {
    return platform::JoinStoredName(platform::StoredFolderParts(path, o_.baseDir));
  }
  // The same for a name found in folder: the name is taken as it is on disk.
  std::string StoredFor(const std::string& folder, const std::string& name) const {
    std::vector<std::string> parts = platform::StoredFolderParts(folder, o_.baseDir);
    parts.push_back(name);
    return platform::JoinStoredName(parts);
  }

  bool Skipped(const struct stat& st) const {
    for (const auto& s : skip_)
      if (s.st_dev == st.st_dev && s.st_ino == st.st_ino) return true;
    return false;
  }

  void Add(const std::string& path, std::string stored) {
    Source s;
    s.path = path;
    if (::lstat(path.c_str(), &s.st) != 0 || Skipped(s.st)) return;
    if (S_ISCHR(s.st.st_mode) || S_ISBLK(s.st.st_mode) || S_ISFIFO(s.st.st_mode) ||
        S_ISSOCK(s.st.st_mode)) {
      report_.Line(arc::msg::Line(arc::msg::Verdict::skipped, arc::SafeText(path),
                                  "ファイル・フォルダ・リンクのどれでもありません"));
      return;
    }
    const bool folder = S_ISDIR(s.st.st_mode);
    if (!o_.useDirectory) {
      const std::size_t slash = stored.find_last_of('/');
      if (slash != std::string::npos) stored = stored.substr(slash + 1);
    }
    if (!stored.empty() && (!folder || o_.useDirectory)) {
      s.stored = platform::AnsiToUtf8(stored);  // stored names are UTF-8
      if (names_.insert(stored).second) {
        out_.push_back(s);
      } else {
        report_.Line(arc::msg::Line(arc::msg::Verdict::skipped, arc::SafeText(path),
                                    "同じ名前のファイルを格納済みです"));
      }
    }
    if (!folder) return;
    for (const auto& name : arc::SortedFolderNames(path)) {
      if (!o_.includeHidden && name[0] == '.') continue;
      Add(path == "/" ? "/" + name : path + "/" + name,
          stored.empty() ? name : stored + "/" + name);
    }
  }

  const TarOptions& o_;
  const std::vector<struct stat>& skip_;
  arc::Report& report_;
  std::vector<Source> out_;
  std::set<std::string> names_;
};

}  // namespace

std::vector<Source> GatherSources(const TarOptions& o, const std::vector<struct stat>& skip,
                                  arc::Report& report) {
  Gatherer g(o, skip, report);
  for (const auto& f : o.files)
    if (!f.empty()) g.Operand(f);
  return g.Take();
}

}  // namespace tar32
