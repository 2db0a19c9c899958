// -x: extract with folders; -e: every file into the base folder itself;
// -t: decode every matching member without writing it. Members are read in
// archive order, once, so solid archives decode as they were packed.
#include <sys/stat.h>

#include <memory>

#include "RarArchive.h"
#include "RarCommands.h"
#include "RarListing.h"
#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"
#include "common/MemberReading.h"
#include "common/Messages.h"
#include "common/Progress.h"
#include "common/SafeText.h"

namespace unrar {
namespace {

// Where a member would land, to keep existing files without -u or -y.
bool TargetExists(const RarOptions& o, const std::string& name) {
  const arc::SplitName split = arc::SplitEntryName(name, true);
  if (split.parts.empty() || split.hasParent || split.absolute) return false;
  std::string target = o.baseDir.empty() ? "./" : o.baseDir;
  if (o.command == 'x') {
    for (std::size_t i = 0; i < split.parts.size(); ++i) target += (i ? "/" : "") + split.parts[i];
  } else {
    target += split.parts.back();
  }
  struct stat st;
  return ::lstat(target.c_str(), &st) == 0;
}

class ExtractRun {
 public:
  ExtractRun(const RarOptions& o, arc::Report& report) : o_(o), report_(report) {}

  std::int32_t Run() {
    RarArchive archive = Open();
    if (o_.command != 't') {
      arc::ExtractRules rules;
      rules.withFolders = o_.command == 'x';
      rules.overwriteAlways = !o_.onlyNewer && o_.assumeYes;
      try {
        extractor_ = std::make_unique<arc::SafeExtractor>(o_.baseDir, rules);
      } catch (const std::exception& e) {
        throw arc::Failure(arc::kCannotWrite, e.what());
      }
    }
    RarMember m;
    for (;;) {
      const NextResult next = archive.Next(m);
      if (next == NextResult::end) break;
      if (next == NextResult::failed) {
        report_.Line(arc::msg::Line(arc::msg::Verdict::failed, arc::SafeText(archive.Error())));
        arc::Worsen(result_, archive.Unsupported() ? kUnsupported : arc::kNotArchive);
        break;
      }
      if (!arc::MatchesAnyMask(m.name, o_.files, o_.wholePath)) continue;
      ++matched_;
      if (!One(archive, m)) break;
    }
    if (cancelled_) {
      report_.Line(arc::msg::Cancelled());
      return arc::kCancelled;
    }
    if (matched_ == 0 && result_ == arc::kOk) {
      report_.Line(arc::msg::NoMemberMatched());
      return arc::kNothingMatched;
    }
    report_.Line(o_.command == 't' ? arc::msg::TestedSound(done_, matched_)
                                   : arc::msg::ExtractSummary(done_, matched_));
    return result_;
  }

 private:
  RarArchive Open() {
    try {
      return RarArchive(o_.archive);
    } catch (const ArchiveError& e) {
      throw arc::Failure(arc::kNotArchive, e.what());
    }
  }

  // False when the run must stop (cancelled, -q after a failure, or the
  // archive cannot be read on).
  bool One(RarArchive& archive, const RarMember& m) {
    const std::string shown = arc::SafeText(m.name.empty() ? "(名前なし)" : ListedName(m));
    if (m.name.empty()) {
      report_.Line(arc::msg::Line(arc::msg::Verdict::refused, shown, arc::msg::EmptyName()));
      arc::Worsen(result_, arc::kNotArchive);
      return !o_.stopAtFirst;
    }
    if (const std::string why = m.Unreadable(); !why.empty()) {
      report_.Line(arc::msg::Line(arc::msg::Verdict::refused, shown, why));
      arc::Worsen(result_, kUnsupported);
      return !o_.stopAtFirst;
    }
    if (!progress_.StartFile(m.name)) return Cancel();
    if (o_.command == 't') return Test(archive, shown, m);
    if (m.kind == arc::EntryKind::file && !o_.onlyNewer && !o_.assumeYes &&
        TargetExists(o_, m.name)) {
      report_.Line(arc::msg::Line(arc::msg::Verdict::skipped, shown, arc::msg::ExistsUseY("-y")));
      return progress_.FinishFile() || Cancel();
    }
    arc::EntryToExtract entry;
    entry.name = m.name;
    entry.kind = m.kind;
    entry.mtime = m.mtime;
    entry.unixMode = m.mode;
    entry.linkTarget = m.linkTarget;
    bool cancelled = false;
    const arc::ExtractReport r = extractor_->Extract(entry, [&](int fd) {
      const std::string why = archive.ReadData(
          fd, [&](std::uint64_t n) { return progress_.AddBytes(n); }, cancelled);
      return arc::DataResult{why.empty(), !cancelled, why};
    });
    if (cancelled) return Cancel();
    switch (r.outcome) {
      case arc::ExtractOutcome::written:
        ++done_;
        report_.Line(arc::msg::Line(arc::msg::Verdict::extracted, shown));
        if (r.warning) arc::Worsen(result_, arc::kWarning);
        break;
      case arc::ExtractOutcome::skippedNotNewer:
        report_.Line(arc::msg::Line(arc::msg::Verdict::skipped, shown, arc::SafeText(r.message)));
        break;
      case arc::ExtractOutcome::skippedLink:
        report_.Line(arc::msg::Line(arc::msg::Verdict::skipped, shown, arc::SafeText(r.message)));
        arc::Worsen(result_, arc::kWarning);
        break;
      case arc::ExtractOutcome::refusedUnsafe:
        report_.Line(arc::msg::Line(arc::msg::Verdict::refused, shown, arc::SafeText(r.message)));
        arc::Worsen(result_, arc::kUnsafeName);
        break;
      case arc::ExtractOutcome::failed:
        report_.Line(arc::msg::Line(arc::msg::Verdict::failed, shown, arc::SafeText(r.message)));
        arc::Worsen(result_, !r.damaged              ? arc::kCannotWrite
                             : archive.Undecodable() ? kUnsupported
                                                     : arc::kNotArchive);
        if (o_.stopAtFirst) return false;
        break;
    }
    return progress_.FinishFile() || Cancel();
  }

  bool Test(RarArchive& archive, const std::string& shown, const RarMember& m) {
    arc::ReadingBegin(ListedName(m));
    bool cancelled = false;
    const std::string why = archive.ReadData(
        -1, [&](std::uint64_t n) { return progress_.AddBytes(n); }, cancelled);
    if (cancelled) return Cancel();
    if (why.empty()) {
      ++done_;
      report_.Line(arc::msg::Line(arc::msg::Verdict::tested, shown));
      arc::ReadingEnd(arc::kOk);
    } else {
      report_.Line(arc::msg::Line(
          archive.Undecodable() ? arc::msg::Verdict::failed : arc::msg::Verdict::damaged, shown,
          arc::SafeText(why)));
      arc::Worsen(result_, archive.Undecodable() ? kUnsupported : arc::kNotArchive);
      arc::ReadingEnd(archive.Undecodable() ? kUnsupported : arc::kNotArchive);
      if (o_.stopAtFirst) return false;
    }
    return progress_.FinishFile() || Cancel();
  }

  bool Cancel() {
    cancelled_ = true;
    return false;
  }

  const RarOptions& o_;
  arc::Report& report_;
  std::unique_ptr<arc::SafeExtractor> extractor_;
  arc::Progress progress_;
  std::int32_t result_ = arc::kOk;
  std::size_t matched_ = 0, done_ = 0;
  bool cancelled_ = false;
};

}  // namespace

std::int32_t RunExtract(const RarOptions& o, arc::Report& report) {
  return ExtractRun(o, report).Run();
}

}  // namespace unrar
