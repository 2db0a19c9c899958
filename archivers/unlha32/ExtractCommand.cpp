// x: extract with folders; e: extract into the base folder alone; t: check
// every member's data and CRC. Extraction goes to the base folder (the
// current folder when none is given) and never outside it. A cancel through
// the progress callback stops before the next member: every file written
// so far is whole, nothing is half-written.
#include <cstdio>
#include <memory>

#include "Commands.h"
#include "OpenArchive.h"
#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"
#include "common/Failure.h"
#include "common/MemberReading.h"
#include "common/Messages.h"
#include "common/Progress.h"
#include "lzh/LzhCodec.h"
#include "lzharc/EntryName.h"
#include "lzharc/FileStreams.h"
#include "lzharc/SafeExtractor.h"

namespace unlha {
namespace {

// Totals of the members a command works on, told before the first one.
void TellTotals(const UnlhaOptions& o, const OpenArchive& archive, arc::Progress& progress) {
  std::uint64_t files = 0, bytes = 0;
  for (const auto& m : archive.index().members) {
    if (!arc::MatchesAnyMask(m.path.Joined(), o.files) || m.header.isDirectory()) continue;
    ++files;
    bytes += m.header.originalSize;
  }
  progress.SetTotals(files, bytes);
}

void CheckGoOn(bool goOn) {
  if (!goOn) throw arc::Failure(arc::kCancelled, arc::msg::Cancelled());
}

std::int32_t RunTest(const UnlhaOptions& o, OpenArchive& archive, arc::Report& report) {
  std::int32_t result = arc::kOk;
  std::size_t matched = 0, bad = 0;
  arc::Progress progress;
  TellTotals(o, archive, progress);
  for (const auto& m : archive.index().members) {
    if (!arc::MatchesAnyMask(m.path.Joined(), o.files)) continue;
    ++matched;
    const std::string name = lzh::PrintableName(m.path.Joined());
    if (m.header.isDirectory()) continue;
    CheckGoOn(progress.StartFile(m.path.Joined()));
    arc::ReadingBegin(m.path.Joined());
    if (!lzh::canDecode(m.header.method)) {
      report.Line(arc::msg::Line(arc::msg::Verdict::skipped, name,
                                 arc::msg::UnsupportedMethod(lzh::PrintableName(m.header.method))));
      arc::Worsen(result, arc::kWarning);
      arc::ReadingEnd(arc::kWarning);
      continue;
    }
    lzh::ReadingSink sink;
    lzh::MemberResult r;
    try {
      r = lzh::DecodeMember(archive.fd(), archive.path(), m, sink);
    } catch (const std::exception& e) {
      r = {lzh::Status::kFatal, e.what()};
    }
    CheckGoOn(!arc::ReadingStopped());
    if (r.status == lzh::Status::kOk || r.status == lzh::Status::kWarning) {
      report.Line(arc::msg::Line(arc::msg::Verdict::tested, name));
      arc::ReadingEnd(arc::kOk);
    } else {
      ++bad;
      report.Line(arc::msg::Line(arc::msg::Verdict::damaged, name, r.message));
      arc::Worsen(result, arc::kNotArchive);
      arc::ReadingEnd(arc::kNotArchive);
    }
    progress.AddBytes(m.header.originalSize);
    CheckGoOn(progress.FinishFile());
  }
  if (matched == 0) {
    report.Line(arc::msg::NoMemberMatched());
    return arc::kNothingMatched;
  }
  report.Line(arc::msg::TestSummary(matched, bad));
  return result;
}

}  // namespace

std::int32_t RunExtract(const UnlhaOptions& o, arc::Report& report) {
  OpenArchive archive(o.archive);
  if (o.command == 't') return RunTest(o, archive, report);
  lzh::ExtractOptions eo;
  eo.withFolders = o.command == 'x';
  eo.overwriteAlways = o.skipNewerTest;
  std::unique_ptr<lzh::SafeExtractor> extractor;
  try {
    extractor = std::make_unique<lzh::SafeExtractor>(o.baseDir, eo);
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  std::int32_t result = arc::kOk;
  std::size_t matched = 0, written = 0;
  arc::Progress progress;
  TellTotals(o, archive, progress);
  for (const auto& m : archive.index().members) {
    if (!arc::MatchesAnyMask(m.path.Joined(), o.files)) continue;
    ++matched;
    const std::string name = lzh::PrintableName(m.path.Joined());
    if (!m.header.isDirectory()) CheckGoOn(progress.StartFile(m.path.Joined()));
    if (!m.header.isDirectory() && !lzh::canDecode(m.header.method)) {
      report.Line(arc::msg::Line(arc::msg::Verdict::skipped, name,
                                 arc::msg::UnsupportedMethod(lzh::PrintableName(m.header.method))));
      arc::Worsen(result, arc::kWarning);
      continue;
    }
    lzh::ExtractReport r = extractor->Extract(archive.fd(), archive.path(), m);
    switch (r.outcome) {
      case lzh::ExtractOutcome::written:
        ++written;
        if (r.warning) {
          report.Line(
              arc::msg::Line(arc::msg::Verdict::extracted, name, lzh::PrintableName(r.message)));
          arc::Worsen(result, arc::kWarning);
        } else {
          report.Line(arc::msg::Line(arc::msg::Verdict::extracted, name));
        }
        break;
      case lzh::ExtractOutcome::skippedNotNewer:
        report.Line(
            arc::msg::Line(arc::msg::Verdict::skipped, name, lzh::PrintableName(r.message)));
        break;
      case lzh::ExtractOutcome::skippedLink:
        report.Line(
            arc::msg::Line(arc::msg::Verdict::skipped, name, lzh::PrintableName(r.message)));
        arc::Worsen(result, arc::kWarning);
        break;
      case lzh::ExtractOutcome::refusedUnsafe:
        report.Line(
            arc::msg::Line(arc::msg::Verdict::refused, name, lzh::PrintableName(r.message)));
        arc::Worsen(result, arc::kUnsafeName);
        break;
      case lzh::ExtractOutcome::failed:
        report.Line(arc::msg::Line(arc::msg::Verdict::failed, name, lzh::PrintableName(r.message)));
        arc::Worsen(result, r.damaged ? arc::kNotArchive : arc::kCannotWrite);
        break;
    }
    if (!m.header.isDirectory()) {
      progress.AddBytes(m.header.originalSize);
      CheckGoOn(progress.FinishFile());
    }
  }
  if (matched == 0) {
    report.Line(arc::msg::NoMemberMatched());
    return arc::kNothingMatched;
  }
  report.Line(arc::msg::ExtractSummary(written, matched));
  return result;
}

}  // namespace unlha
