#include "app/run/ArchiveSearch.h"

#include <cstdio>
#include <map>
#include <memory>
#include <set>

#include "app/run/ArchiveGrep.h"
#include "app/run/ArchiveListing.h"
#include "archive/ArchiveFile.h"
#include "platform/Exceptions.h"

namespace pelsok::app {
namespace {

std::string Hex(std::int32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(code));
  return text;
}

TMatchOptions MatchOf(const TSearchRequest& request) {
  return {request.Regex ? TPatternKind::Extended : TPatternKind::Fixed, request.IgnoreCase};
}

}  // namespace

void CheckSearchPattern(const TSearchRequest& request) {
  const TLineMatcher check(request.Pattern, MatchOf(request));
}

TSearchOutcome SearchMembers(const std::string& archive, const TSearchRequest& request) {
  TGrepRequest grep;
  grep.Pattern = request.Pattern;
  grep.Match = MatchOf(request);
  // Each member's prefix is its number: names may hold ':' themselves.
  std::vector<std::string> members;
  std::map<std::string, std::size_t> numbers;
  const TGrepPrefix prefix = [&](const std::string&, const std::string& member) {
    const auto [it, added] = numbers.emplace(member, members.size());
    if (added) members.push_back(member);
    return std::to_string(it->second);
  };
  TArchiveHits hits = GrepArchive(archive, grep, prefix);
  TSearchOutcome outcome;
  outcome.Errors = std::move(hits.Errors);
  outcome.Cancelled = hits.Stopped;
  for (std::size_t start = 0; start < hits.Out.size();) {
    std::size_t end = hits.Out.find('\n', start);
    if (end == std::string::npos) end = hits.Out.size();
    const std::string_view line(hits.Out.data() + start, end - start);
    start = end + 1;
    const auto first = line.find(':');
    const auto second = line.find(':', first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos) continue;
    if (outcome.Hits.size() == kMaxSearchHits) {
      outcome.Cut = true;
      break;
    }
    TSearchHit hit;
    hit.Member = members.at(std::stoul(std::string(line.substr(0, first))));
    hit.Line = std::stoull(std::string(line.substr(first + 1, second - first - 1)));
    hit.Text = std::string(line.substr(second + 1));
    outcome.Hits.push_back(std::move(hit));
  }
  return outcome;
}

std::string SearchSummary(const TSearchOutcome& outcome) {
  std::set<std::string> members;
  for (const auto& hit : outcome.Hits) members.insert(hit.Member);
  std::string text = outcome.Hits.empty()
                         ? std::string("一致する行はありませんでした。")
                         : platform::FormatText("%s 行が見つかりました (%s ファイル)。",
                                                {std::to_string(outcome.Hits.size()),
                                                 std::to_string(members.size())});
  if (outcome.Cut)
    text += platform::FormatText(" 表示は最初の %s 行までです。条件を絞ってください。",
                                 {std::to_string(kMaxSearchHits)});
  if (outcome.Cancelled) text += " 検索を中止しました (それまでの結果です)。";
  if (!outcome.Errors.empty())
    text += platform::FormatText(" 読み出せない部分がありました (%s 件)。",
                                 {std::to_string(outcome.Errors.size())});
  return text;
}

TMemberContext ReadMemberContext(const std::string& archive, const std::string& member,
                                 std::uint64_t line) {
  TArchiveFile file(nullptr);
  BindByContent(file, archive);
  file.SetOutputSize(1 << 16);
  TMemberContext context;
  context.FirstLine = line > kContextLines ? line - kContextLines : 1;
  const std::uint64_t last = line + kContextLines;
  std::uint64_t lineNo = 1;
  std::string current;  // the line being read, cut at kContextLineBytes
  bool cut = false, done = false, seen = false, more = false;
  auto endLine = [&] {
    if (lineNo >= context.FirstLine && lineNo <= last) {
      char number[32];
      std::snprintf(number, sizeof number, "%s%6llu  ", lineNo == line ? "> " : "  ",
                    static_cast<unsigned long long>(lineNo));
      context.Text += number + current + (cut ? " …(行の残りは省略)" : "") + "\n";
      if (lineNo == line) context.Found = true;
    }
    current.clear();
    cut = false;
    if (lineNo == last) done = true;
    ++lineNo;
  };
  const std::int32_t rc =
      file.ReadMembers("",
                       [&](const std::string& name, const char* chunk, std::uint32_t length,
                           std::int32_t) -> std::int32_t {
                         if (name != member) return kArcSkipMember;
                         seen = true;
                         if (chunk == nullptr) {
                           if (!done && !current.empty()) endLine();
                           return 2;  // the member is read: stop the walk
                         }
                         if (done) {
                           more = true;
                           return 2;
                         }
                         std::uint32_t i = 0;
                         for (; i < length && !done; ++i) {
                           if (chunk[i] == '\n') {
                             endLine();
                           } else if (lineNo >= context.FirstLine && lineNo <= last) {
                             if (current.size() < kContextLineBytes)
                               current += chunk[i];
                             else
                               cut = true;
                           }
                         }
                         if (done && i < length) more = true;
                         return 0;
                       });
  if (!seen && rc == arc::kCancelled)
    throw platform::Exception(platform::FormatText("%s の読み出しを中止しました。", {member}));
  if (!seen)
    throw platform::Exception(platform::FormatText("%s: メンバー '%s' を読み出せません (結果 %s)。",
                                                   {archive, member, Hex(rc)}));
  if (!context.Text.empty() && context.Text.back() == '\n') context.Text.pop_back();
  context.Note =
      context.Found
          ? platform::FormatText(
                "%s の %s 行目の前後 (%s〜%s 行目%s)",
                {member, std::to_string(line), std::to_string(context.FirstLine),
                 std::to_string(lineNo - 1), more ? "、以降は省略" : "、ファイルの終わりまで"})
          : platform::FormatText("%s に %s 行目はありません。", {member, std::to_string(line)});
  return context;
}

}  // namespace pelsok::app
