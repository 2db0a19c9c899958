// x: extract with folders; e: every file into the base folder itself; t:
// decode every matching member and check its length and CRC-32. Extraction
// goes below the base folder (the current folder when none) and never
// outside it; a member's file appears only when its CRC was right.
#include <memory>

#include "ArjCommands.h"
#include "OpenArjArchive.h"
#include "arj/ArjDecoder.h"
#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"
#include "common/Failure.h"
#include "common/MemberReading.h"
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

  arj::DecodeOutcome Decode(const arj::Member& m, lzh::Sink& sink) {
    lzh::FileRangeSource in(archive.fd(), m.dataOffset, m.header.packedSize, archive.path());
    return arj::DecodeData(m.header, in, sink,
                           [this](std::uint64_t n) { return progress.AddBytes(n); });
  }

  void Line(const char* what, const std::string& name, const std::string& why = {}) {
    report.Line(what + name + (why.empty() ? "" : ": " + arc::SafeText(why)));
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
      run.Line("OK       ", name);
      arc::ReadingEnd(arc::kOk);
    } else {
      ++bad;
      run.Line("Damaged  ", name, r.message);
      arc::Worsen(run.result, arc::kNotArchive);
      arc::ReadingEnd(arc::kNotArchive);
    }
    if (!run.progress.FinishFile()) return arc::kCancelled;
  }
  if (run.matched == 0) {
    run.report.Line("no member matched");
    return arc::kNothingMatched;
  }
  run.report.Line(std::to_string(run.matched) + " member(s) tested, " + std::to_string(bad) +
                  " damaged");
  return run.result;
}

// Extracts one member; false when the caller asked to stop.
bool ExtractOne(Run& run, arc::SafeExtractor& extractor, const arj::Member& m) {
  const std::string name = arc::SafeText(ListedName(m));
  if (!run.progress.StartFile(name)) return false;
  if (std::string why = arj::Unsupported(m.header); !why.empty()) {
    run.Line("Refused  ", name, why);
    arc::Worsen(run.result, arc::kNotArchive);
    return run.progress.FinishFile();
  }
  if (!m.path.IsSafe()) {
    run.Line("Refused  ", name, "unsafe name refused");
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
      run.Line("Melted   ", name);
      break;
    case arc::ExtractOutcome::skippedNotNewer:
      run.Line("Skipped  ", name, r.message);
      break;
    case arc::ExtractOutcome::skippedLink:
      run.Line("Skipped  ", name, r.message);
      arc::Worsen(run.result, arc::kWarning);
      break;
    case arc::ExtractOutcome::refusedUnsafe:
      run.Line("Refused  ", name, r.message);
      arc::Worsen(run.result, arc::kUnsafeName);
      break;
    case arc::ExtractOutcome::failed:
      run.Line("Failed   ", name, r.message);
      arc::Worsen(run.result, r.damaged ? arc::kNotArchive : arc::kCannotWrite);
      break;
  }
  return run.progress.FinishFile();
}

}  // namespace

std::int32_t RunExtract(const UnarjOptions& o, arc::Report& report) {
  OpenArjArchive archive(o.archive);
  Run run{o, archive, report, {}};
  if (archive.index().multiVolume)
    report.Line("this archive is one volume of a set; members split across volumes are refused");
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
      report.Line("cancelled; " + std::to_string(run.done) + " member(s) extracted before");
      return arc::kCancelled;
    }
  }
  if (run.matched == 0) {
    report.Line("no member matched");
    return arc::kNothingMatched;
  }
  report.Line(std::to_string(run.done) + " of " + std::to_string(run.matched) +
              " member(s) extracted");
  return run.result;
}

}  // namespace unarj
