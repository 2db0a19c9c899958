#include "app/run/ArchiveGrep.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "app/text/LineBreaks.h"
#include "archive/ArchiveFile.h"
#include "archive/GetArchiverType.h"
#include "platform/Exceptions.h"
#include "platform/OrderedPool.h"

namespace pelsok::app {
namespace {

namespace fs = std::filesystem;

std::string Hex(std::int32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(code));
  return text;
}

// The longest piece of one line kept while its end has not come: a longer
// line is searched a piece at a time (a match across two pieces is not
// seen), so memory stays bounded whatever the member holds.
constexpr std::size_t kLongLine = 1 << 20;

// One member's search: its lines arrive in chunks; a line cut by a chunk's
// end waits for the rest.
class TMemberSearch {
 public:
  TMemberSearch(const TGrepRequest& request, TLineMatcher& matcher, std::string prefix,
                TArchiveHits& hits)
      : request_(request), matcher_(matcher), prefix_(std::move(prefix)), hits_(hits) {}

  // False when the member needs no more data (-l after its first line).
  bool Add(const char* data, std::size_t n) {
    const void* nl = memrchr(data, '\n', n);
    if (nl == nullptr) {
      tail_.append(data, n);
      if (tail_.size() >= kLongLine) SearchPiece();
      return !done_;
    }
    const std::size_t whole = static_cast<std::size_t>(static_cast<const char*>(nl) - data) + 1;
    if (tail_.empty()) {
      Search(std::string_view(data, whole));
    } else {
      tail_.append(data, whole);
      Search(tail_);
      tail_.clear();
    }
    tail_.append(data + whole, n - whole);
    return !done_;
  }

  void Finish() {
    if (!tail_.empty() && !done_) Search(tail_);
    tail_.clear();
    if (request_.CountOnly && !request_.NamesOnly)
      hits_.Out += prefix_ + ":" + std::to_string(count_) + "\n";
  }

 private:
  void Search(std::string_view text) {
    std::size_t from = 0;
    while (!done_) {
      const auto line = matcher_.NextLine(text, from);
      if (!line) break;
      lineNo_ += CountLineBreaks(text.substr(from, line->Start - from));
      if (lineNo_ == matchedLine_) {  // its first piece matched already
        from = line->End + 1;
        ++lineNo_;
        if (from >= text.size()) return;
        continue;
      }
      Found(text.substr(line->Start, line->End - line->Start));
      from = line->End + 1;
      ++lineNo_;
      if (from >= text.size()) return;
    }
    if (from < text.size()) lineNo_ += CountLineBreaks(text.substr(from));
  }

  // A piece of a line too long to keep whole.
  void SearchPiece() {
    if (matchedLine_ != lineNo_ && matcher_.NextLine(tail_, 0)) {
      Found(tail_);
      matchedLine_ = lineNo_;
    }
    tail_.clear();
  }

  void Found(std::string_view line) {
    ++count_;
    hits_.Found = true;
    if (request_.NamesOnly) {
      hits_.Out += prefix_ + "\n";
      done_ = true;
    } else if (!request_.CountOnly) {
      hits_.Out += prefix_ + ":" + std::to_string(lineNo_ + 1) + ":";
      hits_.Out.append(line);
      hits_.Out += "\n";
    }
  }

  static constexpr std::uint64_t kNoLine = ~0ull;

  const TGrepRequest& request_;
  TLineMatcher& matcher_;
  std::string prefix_;
  TArchiveHits& hits_;
  std::string tail_;
  std::uint64_t lineNo_ = 0;  // lines before the text being searched
  std::uint64_t count_ = 0;
  std::uint64_t matchedLine_ = kNoLine;  // a long line one of whose pieces matched
  bool done_ = false;
};

void SearchArchive(TArchiveFile& archive, const std::string& shownName, const TGrepRequest& request,
                   const TGrepPrefix& prefix, TArchiveHits& hits) {
  TLineMatcher matcher(request.Pattern, request.Match);
  std::unique_ptr<TMemberSearch> member;
  std::string current;
  bool memberFailed = false;
  const std::int32_t rc = archive.ReadMembers(
      request.MemberMask,
      [&](const std::string& name, const char* chunk, std::uint32_t length,
          std::int32_t result) -> std::int32_t {
        if (!member || name != current) {
          current = name;
          member = std::make_unique<TMemberSearch>(request, matcher, prefix(shownName, name), hits);
        }
        if (chunk != nullptr) return member->Add(chunk, length) ? 0 : kArcSkipMember;
        if (result != 0) {
          hits.Errors.push_back(platform::FormatText(
              "%s:%s: 書庫のメンバーを読み出せません (結果 %s)。それ以降は検索しません。",
              {shownName, name, Hex(result)}));
          hits.Failed = memberFailed = true;
        }
        member->Finish();
        member.reset();
        return 0;
      });
  if (rc == arc::kCancelled) hits.Stopped = true;
  if (rc == 0 || rc == arc::kNothingMatched || (memberFailed && rc == arc::kNotArchive) ||
      hits.Stopped)
    return;
  hits.Failed = true;
  std::string report = archive.Output().c_str();
  hits.Errors.push_back(
      platform::FormatText("%s: 書庫を読み出せません (結果 %s)。", {shownName, Hex(rc)}));
  std::size_t start = 0;
  while (start < report.size()) {
    std::size_t end = report.find('\n', start);
    if (end == std::string::npos) end = report.size();
    if (end > start) hits.Errors.push_back(shownName + ": " + report.substr(start, end - start));
    start = end + 1;
  }
}

// The archive bound to the format its content (or extension) shows; null,
// with the reason in hits, when none does.
std::unique_ptr<TArchiveFile> BindArchive(const std::string& name, TArchiveHits& hits) {
  auto file = std::make_unique<TArchiveFile>(nullptr);
  try {
    TArchiverType type = GetArchiverType(name, false);
    if (type == atNone) type = GetArchiverType(name, true);
    if (type == atNone)
      throw platform::Exception(
          platform::FormatText("'%s' は書庫ではないか、壊れています。", {name}));
    file->SetFileName(name);
    file->SetArchiverType(type);
    file->SetOutputSize(1 << 16);
  } catch (const std::exception& e) {
    hits.Errors.push_back(e.what());
    hits.Failed = true;
    file.reset();
  }
  return file;
}

}  // namespace

TArchiveHits GrepArchive(const std::string& archive, const TGrepRequest& request,
                         const TGrepPrefix& prefix) {
  { TLineMatcher check(request.Pattern, request.Match); }
  TArchiveHits hits;
  const auto file = BindArchive(archive, hits);
  if (!file) return hits;
  try {
    SearchArchive(*file, archive, request, prefix, hits);
  } catch (const std::exception& e) {
    hits.Errors.push_back(archive + ": " + e.what());
    hits.Failed = true;
  }
  return hits;
}

std::vector<std::string> GrepArchivesOf(const std::string& path) {
  std::error_code ec;
  if (!fs::is_directory(path, ec)) {
    if (!fs::exists(path, ec))
      throw platform::Exception(platform::FormatText("'%s' がありません。", {path}));
    return {path};
  }
  std::vector<std::string> names;
  for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_regular_file(typeError)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  std::vector<std::string> archives;
  const std::string folder = path.empty() || path.back() == '/' ? path : path + "/";
  // A damaged archive still counts by its extension, so that it is reported.
  for (const auto& name : names)
    if (GetArchiverType(folder + name, false) != atNone ||
        GetArchiverType(folder + name, true) != atNone)
      archives.push_back(folder + name);
  return archives;
}

void GrepArchives(const std::vector<std::string>& archives, const TGrepRequest& request,
                  const TGrepPrefix& prefix, const std::function<void(TArchiveHits&)>& take) {
  { TLineMatcher check(request.Pattern, request.Match); }
  // Bound to their formats here: finding a format opens listings, which
  // the libraries keep in one table per process.
  std::vector<std::unique_ptr<TArchiveFile>> files;
  std::vector<TArchiveHits> hits(archives.size());
  for (std::size_t i = 0; i < archives.size(); ++i) {
    files.push_back(BindArchive(archives[i], hits[i]));
  }
  const int threads = platform::OrderedPool::ThreadsFor(request.Threads, archives.size());
  platform::OrderedPool pool(archives.size(), threads, static_cast<std::size_t>(threads) * 2,
                             [&](std::size_t i, std::stop_token) {
                               if (!files[i]) return;
                               try {
                                 SearchArchive(*files[i], archives[i], request, prefix, hits[i]);
                               } catch (const std::exception& e) {
                                 hits[i].Errors.push_back(archives[i] + ": " + e.what());
                                 hits[i].Failed = true;
                               }
                             });
  for (std::size_t i = 0; i < archives.size(); ++i) {
    if (!pool.Take(i)) break;
    take(hits[i]);
    hits[i] = TArchiveHits{};
  }
}

}  // namespace pelsok::app
