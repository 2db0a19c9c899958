#include "app/run/ContinuousSummary.h"

namespace pelsok::app {
namespace {

using TOutcome = TContinuousKind::TOutcome;

std::string Names(const std::vector<TContinuousKind>& kinds, TOutcome outcome) {
  std::string names;
  for (const auto& k : kinds)
    if (k.Outcome == outcome) names += (names.empty() ? "" : ", ") + k.Kind;
  return names;
}

}  // namespace

std::string ContinuousSummary(const std::vector<TContinuousKind>& kinds) {
  std::size_t packed = 0, files = 0, deleted = 0;
  for (const auto& k : kinds) {
    if (k.Outcome != TOutcome::Packed) continue;
    ++packed;
    files += k.Files;
    deleted += k.Deleted;
  }
  std::string text = "連続圧縮: ";
  if (kinds.empty()) return text + "種類のリストが空です。";
  if (packed == 0) {
    text += "圧縮した種類はありません。";
  } else {
    text += Names(kinds, TOutcome::Packed) + " の " + std::to_string(packed) +
            " 種類を圧縮しました (" + std::to_string(files) + " ファイル";
    if (deleted > 0) text += ", " + std::to_string(deleted) + " ファイルを削除";
    text += ")。";
  }
  const struct {
    TOutcome Outcome;
    const char* Label;
  } parts[] = {{TOutcome::NoLogs, "ログなし"},
               {TOutcome::Failed, "失敗"},
               {TOutcome::Cancelled, "中止"},
               {TOutcome::NotRun, "未処理"}};
  for (const auto& p : parts) {
    const std::string names = Names(kinds, p.Outcome);
    if (!names.empty()) text += " " + std::string(p.Label) + ": " + names + "。";
  }
  return text;
}

}  // namespace pelsok::app
