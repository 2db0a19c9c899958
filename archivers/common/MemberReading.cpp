#include "MemberReading.h"

#include <algorithm>

namespace arc {
namespace {

thread_local MemberReading* tWalk = nullptr;

// Whether a name survives double quotes on the command line: a quote inside
// one ends it only before a blank or at its end, so only those cannot be told
// from the closing quote ("/log/a"b/x.LZH" is one name).
bool Quotable(const std::string& name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] != '"') continue;
    const char next = i + 1 < name.size() ? name[i + 1] : ' ';
    if (next == ' ' || next == '\t' || next == '\r' || next == '\n') return false;
  }
  return true;
}

}  // namespace

MemberReading::MemberReading(ArcMemberDataCallback callback, void* user)
    : callback_(callback), user_(user), outer_(tWalk) {
  tWalk = this;
}

MemberReading::~MemberReading() { tWalk = outer_; }

MemberReading* MemberReading::Current() { return tWalk; }

void MemberReading::Begin(const std::string& name) {
  if (inMember_) End(kOk);
  name_ = name;
  inMember_ = true;
  skipping_ = false;
}

bool MemberReading::Data(const void* data, std::size_t n) {
  if (stopped_) return false;
  if (!inMember_ || skipping_) return true;
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    const std::size_t piece = std::min<std::size_t>(n, kArcReadChunk);
    const std::int32_t answer =
        callback_(user_, name_.c_str(), p, static_cast<std::uint32_t>(piece), kOk);
    if (answer == kArcSkipMember) {
      skipping_ = true;
      return true;
    }
    if (answer != 0) {
      stopped_ = true;
      return false;
    }
    p += piece;
    n -= piece;
  }
  return true;
}

void MemberReading::End(std::int32_t result) {
  if (!inMember_ || stopped_) return;
  inMember_ = false;
  const std::int32_t answer = callback_(user_, name_.c_str(), nullptr, 0, result);
  if (answer != 0 && answer != kArcSkipMember) stopped_ = true;
}

void ReadingBegin(const std::string& name) {
  if (tWalk != nullptr) tWalk->Begin(name);
}

bool ReadingData(const void* data, std::size_t n) {
  return tWalk == nullptr || tWalk->Data(data, n);
}

void ReadingEnd(std::int32_t result) {
  if (tWalk != nullptr) tWalk->End(result);
}

std::optional<std::string> ReadingCommandLine(const std::string& command, const char* archiveName,
                                              const char* wildName) {
  std::string archive = archiveName;
  const std::string mask = wildName != nullptr ? wildName : "";
  if (!Quotable(archive) || !Quotable(mask)) return std::nullopt;
  if (!archive.empty() && (archive[0] == '-' || archive[0] == '@')) archive = "./" + archive;
  std::string line = command + " \"" + archive + "\"";
  if (!mask.empty()) line += " \"" + mask + "\"";
  return line;
}

std::int32_t ReadMembersEntry(const char* archiveName, const char* wildName,
                              ArcMemberDataCallback callback, void* user, char* output,
                              std::uint32_t size, const char* command, ArcCommandProc entry) {
  std::optional<std::string> line;
  if (archiveName != nullptr && *archiveName != '\0' && callback != nullptr)
    line = ReadingCommandLine(command, archiveName, wildName);
  if (!line) {
    Report report;
    report.Line("書庫名、メンバー名または受け取り関数が正しくありません");
    report.CopyTo(output, size);
    return kBadCommand;
  }
  MemberReading walk(callback, user);
  const std::int32_t result = entry(nullptr, line->c_str(), output, size);
  walk.End(result);
  return walk.Stopped() ? static_cast<std::int32_t>(kCancelled) : result;
}

bool ReadingStopped() { return tWalk != nullptr && tWalk->Stopped(); }

}  // namespace arc
