#include "app/run/ResultRows.h"

#include "platform/Paths.h"

namespace pelsok::app {

std::vector<TResultRow> ResultRows(const std::vector<TContinuousKind>& kinds) {
  using TOutcome = TContinuousKind::TOutcome;
  std::vector<TResultRow> rows;
  for (const auto& k : kinds) {
    TResultRow r;
    r.Kind = k.Kind;
    r.Why = k.Problem;
    switch (k.Outcome) {
      case TOutcome::Packed:
        r.Outcome = "圧縮しました";
        r.Packed = std::to_string(k.Files);
        r.Deleted = std::to_string(k.Deleted);
        break;
      case TOutcome::NoLogs:
        r.Outcome = "ログなし";
        if (r.Why.empty()) r.Why = "この月のログがありません。";
        break;
      case TOutcome::Failed:
        r.Outcome = "失敗";
        r.Problem = true;
        break;
      case TOutcome::Cancelled:
        r.Outcome = "中止";
        if (r.Why.empty()) r.Why = "中止しました。書庫とログは元のままです。";
        break;
      case TOutcome::NotRun:
        r.Outcome = "未処理";
        if (r.Why.empty()) r.Why = "前の種類で止まったため実行していません。";
        break;
    }
    if (!k.Archive.empty()) {
      r.ArchivePath = k.Archive;
      r.Archive = platform::ExtractFileName(k.Archive);
    }
    for (const auto& line : k.Kept) r.Kept += (r.Kept.empty() ? "" : "\n") + line;
    if (!k.Kept.empty()) {
      r.Problem = true;
      r.Outcome += " (残したログあり)";
    }
    rows.push_back(std::move(r));
  }
  return rows;
}

}  // namespace pelsok::app
