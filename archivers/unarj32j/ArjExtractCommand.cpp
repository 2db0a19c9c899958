// x: extract with folders; e: every file into the base folder itself; t:
// decode every matching member and check its length and CRC-32. Extraction
// goes below the base folder (the current folder when none) and never
// outside it; a member's file appears only when its CRC was right.
#include <memory>

#include "ArjCommands.h"
#include "OpenArjArchive.h"
#include "arj/ArjDecoder.h"
#include "arj/ArjVolumes.h"
#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"
#include "common/Failure.h"
#include "common/MemberReading.h"
#include "common/Messages.h"
#include "common/Progress.h"
#include "common/SafeExtractor.h"
#include "common/SafeText.h"
#include "lzharc/FileStreams.h"

namespace unarj {
namespace {

// Volume and chapter labels and comment headers carry no file.
bool IsLabel(const arj::Header& h) {
  return h.type != arj::FileType::binary && h.type != arj::FileType::text &&
         h.type != arj::FileType::directory;
}

struct Run {
  const UnarjOptions& o;
  OpenArjArchive& archive;
  arc::Report& report;
  arc::Progress progress;
  std::int32_t result = arc::kOk;
  std::size_t matched = 0, done = 0;

  std::vector<const arj::Member*> Selected() {
    std::vector<const arj::Member*> out;
    std::uint64_t bytes = 0;
    for (const auto& m : archive.index().members) {
      if (IsLabel(m.header) || !arc::MatchesAnyMask(m.path.Joined(), o.files)) continue;
      out.push_back(&m);
      bytes += m.header.originalSize;
    }
    progress.SetTotals(out.size(), bytes);
    return out;
  }

  // A member split across volumes decodes part after part into one sink.
  arj::DecodeOutcome Decode(const arj::Member& m, lzh::Sink& sink) {
    if (std::string why = arj::VolumeProblem(m); !why.empty()) return {false, false, why};
    const std::vector<arj::Part> whole{{m.volume, m.header, m.dataOffset}};
    for (const arj::Part& p : m.parts.empty() ? whole : m.parts) {
      lzh::FileRangeSource in(archive.fd(p.volume), p.dataOffset, p.header.packedSize,
                              archive.index().volumes.at(p.volume));
      arj::DecodeOutcome r = arj::DecodeData(
          p.header, in, sink, [this](std::uint64_t n) { return progress.AddBytes(n); });
      if (!r.ok) return r;
    }
    return {true, false, {}};
  }

  void Line(arc::msg::Verdict what, const std::string& name, const std::string& why = {}) {
    report.Line(arc::msg::Line(what, name, why.empty() ? std::string() : arc::SafeText(why)));
  }
};

std::int32_t RunTest(Run& run) {
  std::size_t bad = 0;
  for (const arj::Member* m : run.Selected()) {
    ++run.matched;
    const std::string name = arc::SafeText(ListedName(*m));
    if (!run.progress.StartFile(name)) return arc::kCancelled;
    if (m->header.IsDirectory()) {
      if (!run.progress.FinishFile()) return arc::kCancelled;
      continue;
    }
    arc::ReadingBegin(ListedName(*m));
    lzh::ReadingSink sink;
    arj::DecodeOutcome r = run.Decode(*m, sink);
    if (r.cancelled || arc::ReadingStopped()) return arc::kCancelled;
    if (r.ok) {
      run.Line(arc::msg::Verdict::tested, name);
      arc::ReadingEnd(arc::kOk);
    } else {
      ++bad;
      run.Line(arc::msg::Verdict::damaged, name, r.message);
      arc::Worsen(run.result, arc::kNotArchive);
      arc::ReadingEnd(arc::kNotArchive);
    }
    if (!run.progress.FinishFile()) return arc::kCancelled;
  }
  if (run.matched == 0) {
    run.report.Line(arc::msg::NoMemberMatched());
    return arc::kNothingMatched;
  }
  run.report.Line(arc::msg::TestSummary(run.matched, bad));
  return run.result;
}

// Extracts one member; false when the caller asked to stop.
bool ExtractOne(Run& run, arc::SafeExtractor& extractor, const arj::Member& m) {
  const std::string name = arc::SafeText(ListedName(m));
  if (!run.progress.StartFile(name)) return false;
  if (std::string why = arj::Unsupported(m.header) + arj::VolumeProblem(m); !why.empty()) {
    run.Line(arc::msg::Verdict::refused, name, why);
    arc::Worsen(run.result, arc::kNotArchive);
    return run.progress.FinishFile();
  }
  if (!m.path.IsSafe()) {
    run.Line(arc::msg::Verdict::refused, name, "安全でない名前なので展開しません");
    arc::Worsen(run.result, arc::kUnsafeName);
    return run.progress.FinishFile();
  }
  arc::EntryToExtract entry;
  entry.name = m.path.Joined('/');
  entry.kind = m.header.IsDirectory() ? arc::EntryKind::folder : arc::EntryKind::file;
  entry.mtime = m.Mtime();
  if (m.HasUnixMode())
    entry.unixMode = m.header.fileMode & 07777u;
  else
    entry.readOnly = (m.header.fileMode & 0x01) != 0;
  bool cancelled = false;
  arc::ExtractReport r = extractor.Extract(entry, [&](int fd) {
    lzh::FileSink sink(fd, m.path.Name());
    arj::DecodeOutcome d = run.Decode(m, sink);
    cancelled = d.cancelled;
    return arc::DataResult{d.ok, !d.ok && !d.cancelled, d.message};
  });
  if (cancelled) return false;
  switch (r.outcome) {
    case arc::ExtractOutcome::written:
      ++run.done;
      run.Line(arc::msg::Verdict::extracted, name);
      break;
    case arc::ExtractOutcome::skippedNotNewer:
      run.Line(arc::msg::Verdict::skipped, name, r.message);
      break;
    case arc::ExtractOutcome::skippedLink:
      run.Line(arc::msg::Verdict::skipped, name, r.message);
      arc::Worsen(run.result, arc::kWarning);
      break;
    case arc::ExtractOutcome::refusedUnsafe:
      run.Line(arc::msg::Verdict::refused, name, r.message);
      arc::Worsen(run.result, arc::kUnsafeName);
      break;
    case arc::ExtractOutcome::failed:
      run.Line(arc::msg::Verdict::failed, name, r.message);
      arc::Worsen(run.result, r.damaged ? arc::kNotArchive : arc::kCannotWrite);
      break;
  }
  return run.progress.FinishFile();
}

}  // namespace

std::int32_t RunExtract(const UnarjOptions& o, arc::Report& report) {
  OpenArjArchive archive(o.archive);
  Run run{o, archive, report, {}};
  if (o.command == 't') return RunTest(run);
  arc::ExtractRules rules;
  rules.withFolders = o.KeepFolders();
  rules.overwriteAlways = o.overwriteAlways;
  rules.backslashSeparates = false;  // the parts are split already
  std::unique_ptr<arc::SafeExtractor> extractor;
  try {
    extractor = std::make_unique<arc::SafeExtractor>(o.baseDir.empty() ? "." : o.baseDir, rules);
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  for (const arj::Member* m : run.Selected()) {
    ++run.matched;
    if (!ExtractOne(run, *extractor, *m)) {
      report.Line(
          arc::msg::Cancelled("それまでに " + std::to_string(run.done) + " 件を展開しました"));
      return arc::kCancelled;
    }
  }
  if (run.matched == 0) {
    report.Line(arc::msg::NoMemberMatched());
    return arc::kNothingMatched;
  }
  report.Line(arc::msg::ExtractSummary(run.done, run.matched));
  return run.result;
}

}  // namespace unarj
