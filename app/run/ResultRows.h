// The result list of the last run (or every kind of a continuous run), as
// a person reads it: one row per kind with its archive, the logs packed,
// deleted and kept with why, a kind without logs, a failure with its reason.
#pragma once

#include <string>
#include <vector>

#include "app/run/ContinuousSummary.h"

namespace pelsok::app {

struct TResultRow {
  std::string Kind;
  std::string Outcome;      // "圧縮しました", "ログなし", "失敗", "中止", "未処理"
  std::string Archive;      // the archive's file name; "" when none was made
  std::string ArchivePath;  // its full name, to open it in the viewer
  std::string Packed;       // "30"; "" when nothing was packed
  std::string Deleted;      // "30"; "" when nothing was packed
  std::string Kept;         // the kept logs and why, one a line
  std::string Why;          // why the kind failed, or its note
  bool Problem = false;     // a failure or kept logs: the row wants attention
};

std::vector<TResultRow> ResultRows(const std::vector<TContinuousKind>& kinds);

}  // namespace pelsok::app
