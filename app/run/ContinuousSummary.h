// The status line of a finished continuous command: the whole series in one
// text, so the kinds that were packed, the kinds without logs and the kinds
// that failed are all told, not only what the last kind did.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pelsok::app {

struct TContinuousKind {
  enum class TOutcome {
    Packed,     // a new archive is in place
    NoLogs,     // nothing matched: skipped
    Failed,     // no archive was made, or an error ended the series here
    Cancelled,  // stopped by the user here
    NotRun,     // the series ended before this kind
  };
  std::string Kind;
  TOutcome Outcome = TOutcome::Packed;
  std::size_t Files = 0;    // packed
  std::size_t Deleted = 0;  // deleted after packing
  // For the result list: the archive the run made (full name), the logs it
  // kept and why ("name (reason)"), and why it failed.
  std::string Archive{};
  std::vector<std::string> Kept{};
  std::string Problem{};
};

// For example "連続圧縮: DR, DD の 2 種類を圧縮しました (5 ファイル, 5 ファイルを削除)。
// ログなし: NA。失敗: TR。"
std::string ContinuousSummary(const std::vector<TContinuousKind>& kinds);

}  // namespace pelsok::app
