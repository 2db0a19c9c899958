// The viewer's test: the archive's own test first, as the check before
// deletion does it; when that finds damage, each member is extracted on its
// own into a throw-away folder so that every damaged member is named.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/run/ArchiveListing.h"
#include "archive/EntryTypes.h"

namespace pelsok::app {

struct TMemberVerdict {
  std::string Name;
  bool Sound = true;
};

struct TTestOutcome {
  std::int32_t Result = 0;  // the whole test's result
  std::string Report;       // the library's report of the whole test
  bool Cancelled = false;
  // One per file entry when the whole test failed; empty when it passed.
  std::vector<TMemberVerdict> Members;
  std::size_t Damaged() const;
};

// Runs the library on the calling thread (progress and cancel through the
// caller's TProgressScope).
TTestOutcome TestMembers(const TArchiveListing& listing, ArcWnd wnd = nullptr);

// "DR2611.LZH: 30 ファイルとも正常です。" or the damaged names, one a line.
std::string TestSummary(const TArchiveListing& listing, const TTestOutcome& outcome);

}  // namespace pelsok::app
