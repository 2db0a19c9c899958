#include "app/run/RunCheck.h"

#include "app/text/IntegerText.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace pelsok::app {

std::size_t CountMatchingFiles(const std::string& mask) {
  std::size_t n = 0;
  platform::DirectorySearch search;
  platform::FindData data;
  for (bool more = search.First(mask, data); more; more = search.Next(data)) {
    if ((data.Attributes & platform::faDirectory) == 0) ++n;
  }
  return n;
}

std::optional<TRunProblem> CheckMonthText(const std::string& month) {
  const int m = StrToInt(month);
  if (m >= 1 && m <= 12) return std::nullopt;
  return TRunProblem{platform::FormatText("月 '%s' は 1 から 12 の数ではありません。", {month}),
                     "月を 1 から 12 で指定してください。"};
}

std::string MonthNumberText(const std::string& month) {
  try {
    const int m = StrToInt(month);
    return m >= 1 && m <= 12 ? std::to_string(m) : month;
  } catch (const platform::EConvertError&) {
    return month;
  }
}

std::optional<TRunProblem> CheckYearText(const std::string& year) {
  bool digits = !year.empty();
  for (char c : year) digits = digits && c >= '0' && c <= '9';
  if (digits) return std::nullopt;
  return TRunProblem{platform::FormatText("年 '%s' は数字ではありません。", {year}),
                     "年を数字で指定してください (例: 26)。"};
}

std::optional<TRunProblem> CheckRunInput(const TRunInput& in, const TLogNames& names) {
  const std::string delim(1, platform::kPathDelim);
  if (!in.SixDigit) {
    if (in.Folder.empty() || in.Folder == kFolderPrompt)
      return TRunProblem{"ログのフォルダが指定されていません。",
                         "「参照」でログのあるフォルダを選ぶか、パスを入力してください。"};
    if (!platform::DirectoryExists(in.Folder))
      return TRunProblem{platform::FormatText("フォルダ '%s' がありません。", {in.Folder}),
                         "パスを確かめるか、「参照」でフォルダを選び直してください。"};
    if (in.Folder.back() != platform::kPathDelim)
      return TRunProblem{
          platform::FormatText("パス '%s' の最後に %s がありません。", {in.Folder, delim}),
          platform::FormatText("パスの最後に %s をつけてください (例: %s%s)。",
                               {delim, in.Folder, delim})};
  }
  if (names.Mask.empty()) return CheckMonthText(in.Month);
  if (CountMatchingFiles(names.Mask) == 0) {
    std::string folder = platform::ExtractFilePath(names.Mask);
    if (folder.empty()) folder = platform::IncludeTrailingPathDelimiter(platform::GetCurrentDir());
    return TRunProblem{platform::FormatText("フォルダ '%s' に %s に当たるファイルがありません。",
                                            {folder, platform::ExtractFileName(names.Mask)}),
                       "種類・年・月とフォルダを確かめてください。", true};
  }
  return std::nullopt;
}

}  // namespace pelsok::app
