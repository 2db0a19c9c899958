#include "app/run/RunSummary.h"

#include <cstdio>

#include "archive/EntryTypes.h"
#include "platform/DynamicLibrary.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"

namespace pelsok::app {

std::string SizeText(std::uint64_t bytes) {
  static const char* const kUnits[] = {"KB", "MB", "GB", "TB"};
  if (bytes < 1024) return std::to_string(bytes) + " B";
  double v = static_cast<double>(bytes) / 1024.0;
  std::size_t unit = 0;
  while (v >= 1024.0 && unit + 1 < std::size(kUnits)) {
    v /= 1024.0;
    ++unit;
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f %s", v, kUnits[unit]);
  return buf;
}

std::string SuccessLine(const TRunResult& result, std::uint64_t archiveBytes) {
  std::uint64_t original = 0;
  for (const auto& e : result.Entries) original += e.OriginalSize;
  return platform::ExtractFileName(result.Names.ArchiveName) + ": " +
         std::to_string(result.Entries.size()) + " ファイル, " + SizeText(original) + " → " +
         SizeText(archiveBytes);
}

std::string ProgressCounts(std::uint64_t filesDone, std::uint64_t filesTotal,
                           std::uint64_t bytesDone, std::uint64_t bytesTotal) {
  return std::to_string(filesDone) + " / " + std::to_string(filesTotal) + " ファイル, " +
         SizeText(bytesDone) + " / " + SizeText(bytesTotal);
}

std::string DeletionLine(const TRunResult& result) {
  if (result.DeletionCancelled) return kDeletionCancelledText;
  if (!result.Confirmed) return {};
  return std::to_string(result.Deletion.Deleted.size()) + " ファイルを削除しました。";
}

bool WasCancelled(const TRunResult& result) { return result.PackResult == arc::kCancelled; }

TFailureText FailureText(const TRunResult& result, const std::string& report) {
  const std::string archive = result.Names.ArchiveName;
  const std::string code = TCompressRun::ResultText(result.PackResult);
  TFailureText t;
  if (result.PackResult == arc::kNothingMatched) {
    t.Why = platform::FormatText("%s に当たるファイルがありません。書庫は作りませんでした。",
                                 {platform::ExtractFileName(result.Names.Mask)});
    t.WhatToDo = "種類・年・月とフォルダを確かめてください。";
  } else if (result.DiskFullFree) {
    t.Why = platform::FormatText(
        "ディスクがいっぱいのため、書庫 '%s' を作れませんでした (結果 %s)。フォルダ '%s' "
        "のディスクの空きは %s です。",
        {archive, code, platform::ExtractFilePath(archive), SizeText(*result.DiskFullFree)});
    t.WhatToDo =
        "ディスクの空きを増やすか、別のディスクのフォルダを選んでから、もう一度圧縮してください。";
  } else {
    t.Why = platform::FormatText("書庫 '%s' を作れませんでした (結果 %s)。", {archive, code});
    t.WhatToDo =
        "書庫のフォルダに書き込めるか、ディスクに空きがあるか、ログが読めるかを確かめてください。";
  }
  if (!report.empty()) t.Why += "\n\n" + report;
  if (result.OldArchiveRestored) t.WhatToDo += "\n以前の書庫は元のまま残っています。";
  return t;
}

std::string LibraryWarningLine(const TRunResult& result) {
  return platform::FormatText("%s: 書庫ライブラリの結果 %s (警告)",
                              {platform::ExtractFileName(result.Names.ArchiveName),
                               TCompressRun::ResultText(result.PackResult)});
}

std::vector<std::string> OutcomeLines(const TRunResult& result) {
  std::vector<std::string> lines;
  const auto addLines = [&lines](const std::string& text) {
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      if (end > start) lines.push_back(text.substr(start, end - start));
      start = end + 1;
    }
  };
  if (!result.NewArchiveKept) {
    const TFailureText t = FailureText(result, result.PackReport);
    addLines(t.Why);
    addLines(t.WhatToDo);
    return lines;
  }
  if (result.PackResult != 0) lines.push_back(LibraryWarningLine(result));
  if (result.DeletionCancelled) lines.push_back(kDeletionCancelledText);
  // One kept file a line: a name is never split, whatever it holds.
  if (!result.Deletion.Kept.empty()) {
    lines.push_back(kKeptHeading);
    lines.insert(lines.end(), result.Deletion.Kept.begin(), result.Deletion.Kept.end());
  }
  if (!result.OldArchiveKeptAs.empty())
    lines.push_back(TCompressRun::OldArchiveKeptMessage(result));
  return lines;
}

std::string ErrorAdvice(const std::string& message) {
  if (message.find(".DLL") != std::string::npos || message.find(".dll") != std::string::npos)
    return "アーカイバ ライブラリを次のどちらかのフォルダに置くか、"
           "[ｵﾌﾟｼｮﾝ] の [書庫の形式] で別の形式を選んでから、"
           "もう一度「圧縮」を押してください。\n"
           "・プログラムと同じフォルダ\n"
           "・" +
           platform::InstalledLibraryFolder();
  return "入力を確かめて、もう一度「圧縮」を押してください。";
}

}  // namespace pelsok::app
