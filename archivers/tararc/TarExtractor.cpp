#include "TarExtractor.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "TarReader.h"
#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"
#include "common/Failure.h"
#include "common/MemberReading.h"
#include "common/Messages.h"
#include "common/SafeText.h"

namespace tararc {
namespace {

arc::EntryToExtract ToEntry(const Member& m) {
  arc::EntryToExtract e;
  e.name = m.name;
  e.kind = m.kind;
  e.mtime = m.mtime;
  e.unixMode = m.mode;
  e.linkTarget = m.linkTarget;
  return e;
}

// Whether a link target read from a link `depth` folders below the base
// stays inside the base folder.
bool StaysInside(const std::string& target, std::size_t depth) {
  const arc::SplitName split = arc::SplitEntryName(target, true);
  if (split.absolute || target.empty()) return false;
  long level = static_cast<long>(depth);
  std::string cur;
  for (std::size_t i = 0; i <= target.size(); ++i) {
    if (i == target.size() || target[i] == '/' || target[i] == '\\') {
      if (cur == "..") {
        if (--level < 0) return false;
      } else if (!cur.empty() && cur != ".") {
        ++level;
      }
      cur.clear();
    } else {
      cur += target[i];
    }
  }
  return true;
}

// Why a member would be refused or dropped; empty when it is safe.
std::string Unsafe(const Member& m, const arc::ExtractRules& rules) {
  const arc::SplitName split = arc::SplitEntryName(m.name, rules.backslashSeparates);
  if (split.hasParent) return arc::msg::NameHoldsParent();
  if (split.absolute && !rules.stripAbsolute) return arc::msg::AbsoluteName();
  if (m.kind == arc::EntryKind::special) return arc::msg::SpecialNotExtracted();
  if (m.kind == arc::EntryKind::symlink) {
    const std::size_t depth = split.parts.empty() ? 0 : split.parts.size() - 1;
    if (!StaysInside(m.linkTarget, rules.withFolders ? depth : 0)) return arc::msg::LinkOutside();
  }
  if (m.kind == arc::EntryKind::hardlink) {
    const arc::SplitName target = arc::SplitEntryName(m.linkTarget, rules.backslashSeparates);
    if (target.hasParent || target.absolute || target.parts.empty()) return arc::msg::LinkOutside();
  }
  return {};
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string path;
  for (const auto& p : parts) path += (path.empty() ? "" : "/") + p;
  return path;
}

// The links of the archive as the extractor will meet them: a link whose
// target passes through an earlier link, or one made where an earlier
// link's target passes, would resolve through a link (SafeExtractor.h).
class LinkChains {
 public:
  std::string Refusal(const Member& m, const arc::ExtractRules& rules) {
    if (m.kind != arc::EntryKind::symlink) return {};
    const arc::SplitName split = arc::SplitEntryName(m.name, rules.backslashSeparates);
    if (split.parts.empty()) return {};
    std::vector<std::string> at;
    if (rules.withFolders) at.assign(split.parts.begin(), split.parts.end() - 1);
    std::vector<std::string> self = at;
    self.push_back(split.parts.back());
    const std::string path = Joined(self);
    if (passed_.count(path) != 0) return "先に読んだリンクの指す先がこの名前を通ります";
    links_.insert(path);
    std::vector<std::string> parts;
    std::string cur;
    for (std::size_t i = 0; i <= m.linkTarget.size(); ++i) {
      if (i == m.linkTarget.size() || m.linkTarget[i] == '/') {
        if (!cur.empty() && cur != ".") parts.push_back(cur);
        cur.clear();
      } else {
        cur += m.linkTarget[i];
      }
    }
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
      if (parts[i] == "..") {
        if (!at.empty()) at.pop_back();
        continue;
      }
      at.push_back(parts[i]);
      const std::string prefix = Joined(at);
      if (links_.count(prefix) != 0) return "リンクの指す先が別のリンクを通ります";
      passed_.insert(prefix);
    }
    return {};
  }

 private:
  std::set<std::string> links_, passed_;
};

std::int32_t CheckAll(int fd, std::uint64_t offset, const std::string& displayName,
                      const ExtractSettings& settings, arc::Report& report) {
  TarReader reader(fd, offset, displayName);
  std::int32_t result = arc::kOk;
  LinkChains chains;
  for (Member m; reader.Next(m);) {
    if (!arc::MatchesAnyMask(m.name, settings.masks)) continue;
    std::string why = Unsafe(m, settings.rules);
    if (why.empty()) why = chains.Refusal(m, settings.rules);
    if (!why.empty()) {
      report.Line(arc::msg::Line(arc::msg::Verdict::refused, arc::SafeText(m.name), why));
      result = arc::kUnsafeName;
    }
  }
  return result;
}

}  // namespace

std::int32_t ExtractArchive(int fd, std::uint64_t offset, const std::string& displayName,
                            const ExtractSettings& settings, arc::Report& report,
                            arc::Progress& progress) {
  try {
    if (settings.checkAllFirst) {
      const std::int32_t check = CheckAll(fd, offset, displayName, settings, report);
      if (check != arc::kOk) {
        report.Line("書庫に安全でないファイルがあるので、何も展開しませんでした");
        return check;
      }
    }
    TarReader reader(fd, offset, displayName);
    reader.VerifyStream();
    // Made at the first member, so an archive we cannot read creates no folder.
    std::unique_ptr<arc::SafeExtractor> extractor;
    std::int32_t result = arc::kOk;
    std::size_t members = 0, matched = 0, written = 0;
    for (Member m; reader.Next(m);) {
      ++members;
      if (!arc::MatchesAnyMask(m.name, settings.masks)) continue;
      ++matched;
      if (!extractor) {
        try {
          extractor = std::make_unique<arc::SafeExtractor>(settings.baseDir, settings.rules);
        } catch (const std::exception& e) {
          report.Line(arc::SafeText(e.what()));
          return arc::kCannotWrite;
        }
      }
      const std::string shown = arc::SafeText(m.name);
      if (!progress.StartFile(m.name)) return arc::kCancelled;
      bool stopped = false;
      const arc::ExtractReport r = extractor->Extract(ToEntry(m), [&](int out) {
        try {
          if (reader.CopyData(out, [&](std::uint64_t n) { return progress.AddBytes(n); }) ==
              TarReader::Copy::stopped) {
            stopped = true;
            return arc::DataResult{false, false, arc::msg::Cancelled()};
          }
          return arc::DataResult{};
        } catch (const ReadError& e) {
          return arc::DataResult{false, true, e.what()};
        }
      });
      if (stopped) {
        report.Line(arc::msg::Line(arc::msg::Verdict::cancelled, shown));
        return arc::kCancelled;
      }
      switch (r.outcome) {
        case arc::ExtractOutcome::written:
          ++written;
          report.Line(arc::msg::Line(arc::msg::Verdict::extracted, shown,
                                     r.warning ? arc::SafeText(r.message) : ""));
          if (r.warning) arc::Worsen(result, arc::kWarning);
          break;
        case arc::ExtractOutcome::skippedNotNewer:
          report.Line(arc::msg::Line(arc::msg::Verdict::skipped, shown, arc::SafeText(r.message)));
          break;
        case arc::ExtractOutcome::skippedLink:
          report.Line(arc::msg::Line(arc::msg::Verdict::skipped, shown, arc::SafeText(r.message)));
          arc::Worsen(result, arc::kWarning);
          break;
        case arc::ExtractOutcome::refusedUnsafe:
          report.Line(arc::msg::Line(arc::msg::Verdict::refused, shown, arc::SafeText(r.message)));
          arc::Worsen(result, arc::kUnsafeName);
          break;
        case arc::ExtractOutcome::failed:
          report.Line(arc::msg::Line(arc::msg::Verdict::failed, shown, arc::SafeText(r.message)));
          arc::Worsen(result, r.damaged ? arc::kNotArchive : arc::kCannotWrite);
          // Damaged data ends the archive: nothing after it can be trusted.
          if (r.damaged) return result;
          break;
      }
      if (!progress.FinishFile()) return arc::kCancelled;
    }
    // An archive of end blocks only is sound, as GNU tar takes it; only a
    // member asked for by name and not found is an error.
    if (members == 0 && settings.masks.empty()) {
      report.Line("書庫にメンバーはありません");
      return arc::kOk;
    }
    if (matched == 0) {
      report.Line(arc::msg::NoMemberMatched());
      return arc::kNothingMatched;
    }
    report.Line(arc::msg::ExtractSummary(written, matched));
    return result;
  } catch (const ReadError& e) {
    report.Line(arc::SafeText(e.what()));
    return arc::kNotArchive;
  }
}

std::int32_t TestArchive(int fd, std::uint64_t offset, const std::string& displayName,
                         const std::vector<std::string>& masks, arc::Report& report,
                         arc::Progress& progress) {
  try {
    TarReader reader(fd, offset, displayName);
    reader.VerifyStream();
    std::int32_t result = arc::kOk;
    std::size_t matched = 0;
    for (Member m; reader.Next(m);) {
      if (!arc::MatchesAnyMask(m.name, masks)) continue;
      ++matched;
      if (m.kind != arc::EntryKind::file) continue;
      const std::string shown = arc::SafeText(m.name);
      if (!progress.StartFile(m.name)) return arc::kCancelled;
      arc::ReadingBegin(m.name);
      try {
        const TarReader::Copy copy =
            reader.ReadData([](const char* p, std::size_t n) { return arc::ReadingData(p, n); },
                            [&](std::uint64_t n) { return progress.AddBytes(n); });
        if (copy == TarReader::Copy::stopped) return arc::kCancelled;
      } catch (const ReadError& e) {
        report.Line(arc::msg::Line(arc::msg::Verdict::damaged, shown, arc::SafeText(e.what())));
        arc::ReadingEnd(arc::kNotArchive);
        // Damaged data ends the archive: nothing after it can be trusted.
        return arc::kNotArchive;
      }
      report.Line(arc::msg::Line(arc::msg::Verdict::tested, shown));
      arc::ReadingEnd(arc::kOk);
      if (!progress.FinishFile()) return arc::kCancelled;
    }
    if (matched == 0) {
      report.Line(arc::msg::NoMemberMatched());
      return arc::kNothingMatched;
    }
    report.Line(arc::msg::TestSummary(matched, 0));
    return result;
  } catch (const ReadError& e) {
    report.Line(arc::SafeText(e.what()));
    return arc::kNotArchive;
  }
}

}  // namespace tararc
