// -t: decodes the matching files (every file when none is named) and checks
// them, writing nothing: the data goes to the calling thread's read walk or
// nowhere. File rows that name the same bytes of one folder (a cabinet may
// list one block under many names) are decoded once when no walk needs
// each one's data, and files are decoded in folder order. A cabinet whose
// rows would cost far more decoding than the bytes they declare is refused
// before anything is decoded (DecodingPlan.h).
#include <map>
#include <memory>
#include <tuple>

#include "Cabinet.h"
#include "Commands.h"
#include "DecodingPlan.h"
#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"
#include "common/Failure.h"
#include "common/MemberReading.h"
#include "common/Messages.h"
#include "common/Progress.h"
#include "common/SafeText.h"

namespace cab {

std::int32_t RunTest(const CabOptions& o, arc::Report& report) {
  std::unique_ptr<Cabinet> cabinet;
  try {
    cabinet = OpenCabinetOrProgram(o.archive);
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kNotArchive, e.what());
  }
  std::vector<const CabEntry*> chosen;
  std::uint64_t bytes = 0;
  for (const auto& e : cabinet->Entries()) {
    if (!arc::MatchesAnyMask(e.name, o.files)) continue;
    chosen.push_back(&e);
    bytes += e.length;
  }
  if (chosen.empty()) {
    report.Line(arc::msg::NoFileMatched());
    return arc::kNothingMatched;
  }
  const bool walk = arc::MemberReading::Current() != nullptr;
  const DecodingPlan plan = PlanDecoding(cabinet->Entries(), chosen);
  if (!plan.WithinBudget()) {
    report.Line(arc::msg::WorkBeyondDeclared(plan.work, plan.declared));
    return arc::kNotArchive;
  }
  arc::Progress progress;
  progress.SetTotals(chosen.size(), bytes);
  using Span = std::tuple<const void*, std::uint32_t, std::uint32_t>;
  std::map<Span, ExtractResult> decoded;
  std::int32_t result = arc::kOk;
  std::size_t bad = 0;
  for (const CabEntry* e : plan.order) {
    if (!progress.StartFile(e->name)) return arc::kCancelled;
    arc::ReadingBegin(e->name);
    const Span span{e->file->folder, e->file->offset, e->length};
    ExtractResult r;
    if (auto seen = decoded.find(span); !walk && seen != decoded.end()) {
      r = seen->second;
    } else {
      r = cabinet->Decode(*e);
      if (!walk) decoded.emplace(span, r);
    }
    if (arc::ReadingStopped()) return arc::kCancelled;
    const std::string name = arc::SafeText(e->name);
    if (r.ok) {
      report.Line(arc::msg::Line(arc::msg::Verdict::tested, name));
      arc::ReadingEnd(arc::kOk);
    } else {
      ++bad;
      report.Line(arc::msg::Line(r.damaged ? arc::msg::Verdict::damaged : arc::msg::Verdict::failed,
                                 name, arc::SafeText(r.message)));
      arc::Worsen(result, r.damaged ? arc::kNotArchive : arc::kNoMemory);
      arc::ReadingEnd(r.damaged ? arc::kNotArchive : arc::kNoMemory);
    }
    if (!progress.AddBytes(e->length) || !progress.FinishFile()) return arc::kCancelled;
  }
  report.Line(arc::msg::TestSummary(chosen.size(), bad));
  return result;
}

}  // namespace cab
