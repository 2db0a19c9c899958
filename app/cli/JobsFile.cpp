#include "app/cli/JobsFile.h"

#include <ini.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "app/run/AfterCommand.h"
#include "app/text/FolderText.h"
#include "app/text/IntegerText.h"
#include "platform/FileSystem.h"

namespace pelsok::app {
namespace {

struct TFileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// What the parse has seen so far. inih calls back with no line number, so
// the reader counts lines as it hands them over: when a key comes back, the
// line just read is its line.
struct TParse {
  std::string Path;
  std::FILE* File = nullptr;
  int LineNo = 0;
  std::map<int, std::string> Errors;  // by line: the first one is told
  std::vector<TJob> Jobs;
  std::map<std::string, std::size_t> JobOf;  // section -> index in Jobs
  std::map<std::string, std::set<std::string>> KeysOf;
  std::vector<std::pair<std::string, int>> Headers;  // section names and lines, as read

  void Fail(int line, const std::string& where, const std::string& what) {
    Errors.emplace(line, Path + ":" + std::to_string(line) + ": " +
                             (where.empty() ? "" : where + ": ") + what);
  }
};

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

char* ReadLine(char* str, int num, void* stream) {
  auto& p = *static_cast<TParse*>(stream);
  if (std::fgets(str, num, p.File) == nullptr) return nullptr;
  ++p.LineNo;
  const std::size_t len = std::strlen(str);
  if (len + 1 == static_cast<std::size_t>(num) && str[len - 1] != '\n' && !std::feof(p.File)) {
    p.Fail(p.LineNo, "", "行が長すぎます (" + std::to_string(num - 2) + " バイトまで)");
    for (int c = std::fgetc(p.File); c != EOF && c != '\n'; c = std::fgetc(p.File)) {
    }
    str[0] = '\0';
    return str;
  }
  const std::string line = Trim(str);
  if (!line.empty() && line.front() == '[') {
    const auto close = line.find(']');
    p.Headers.emplace_back(Trim(line.substr(1, close == std::string::npos ? 0 : close - 1)),
                           p.LineNo);
  }
  return str;
}

std::optional<bool> YesNo(const std::string& v) {
  if (v == "yes") return true;
  if (v == "no") return false;
  return std::nullopt;
}

// An absolute folder that exists, with its trailing '/'; empty with why in
// *why otherwise.
std::string AbsoluteFolder(const std::string& v, std::string* why) {
  if (v.empty() || v.front() != '/') {
    *why = "フォルダは / で始まる絶対パスで指定してください: '" + v + "'";
    return {};
  }
  if (!platform::DirectoryExists(v)) {
    *why = "フォルダ '" + v + "' がありません";
    return {};
  }
  return FolderWithDelimiter(v);
}

int Handle(void* user, const char* section, const char* name, const char* value) {
  auto& p = *static_cast<TParse*>(user);
  const std::string job = section, key = name, v = value;
  const std::string where = "[" + job + "] " + key;
  if (job.empty()) {
    p.Fail(p.LineNo, key, "キーがどのジョブ ([名前]) にも属していません");
    return 0;
  }
  auto [it, added] = p.JobOf.emplace(job, p.Jobs.size());
  if (added) {
    p.Jobs.emplace_back();
    p.Jobs.back().Name = job;
  }
  TJob& j = p.Jobs[it->second];
  if (!p.KeysOf[job].insert(key).second) {
    p.Fail(p.LineNo, where, "キーが二度あります");
    return 0;
  }
  auto bad = [&](const std::string& why) {
    p.Fail(p.LineNo, where, why);
    return 0;
  };
  std::string why;
  if (key == "folder") {
    j.Folder = AbsoluteFolder(v, &why);
    if (j.Folder.empty()) return bad(why);
  } else if (key == "archive-folder") {
    j.ArchiveFolder = AbsoluteFolder(v, &why);
    if (j.ArchiveFolder.empty()) return bad(why);
  } else if (key == "kinds") {
    std::string cur;
    for (std::size_t i = 0; i <= v.size(); ++i) {
      if (i < v.size() && v[i] != ',') {
        cur += v[i];
        continue;
      }
      const std::string kind = Trim(cur);
      cur.clear();
      if (kind.empty() || kind.find_first_of("/*?[] \t") != std::string::npos)
        return bad("種類 '" + kind + "' は使えません (例: kinds = DR, DD)");
      j.Kinds.push_back(kind);
    }
  } else if (key == "format") {
    const auto format = FindArchiveFormat(v);
    if (!format)
      return bad("形式 '" + v + "' では書庫を作れません (使える形式: " + ArchiveFormatNames() +
                 ")");
    j.Format = *format;
  } else if (key == "six-digit" || key == "delete" || key == "shift-jis-names") {
    const auto yes = YesNo(v);
    if (!yes) return bad("値は yes か no です: '" + v + "'");
    (key == "delete" ? j.Delete : key == "six-digit" ? j.SixDigit : j.ShiftJisNames) = *yes;
  } else if (key == "keep") {
    int n = 0;
    if (!TryStrToInt(v, n) || n < 0 || v.find_first_not_of("0123456789") != std::string::npos)
      return bad("値は 0 以上の整数 (月数) です: '" + v + "'");
    j.Keep = n;
  } else if (key == "after") {
    try {
      SplitCommandWords(v);
    } catch (const std::exception& e) {
      return bad(e.what());
    }
    j.After = v;
  } else {
    return bad(
        "不明なキーです (使えるキー: folder, kinds, format, six-digit, delete, keep, "
        "archive-folder, after, shift-jis-names)");
  }
  return 1;
}

}  // namespace

std::vector<TJob> ReadJobsFile(const std::string& path) {
  TParse p;
  p.Path = path;
  std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "r"));
  if (!file) throw EJobsFile(path + ": ジョブファイルを開けません: " + std::strerror(errno));
  p.File = file.get();
  const int rc = ini_parse_stream(ReadLine, &p, Handle, &p);
  // The first error inih found: one of ours, or a line it could not read.
  if (rc > 0) p.Fail(rc, "", "INI の行として読めません (キー = 値 か [ジョブ名])");
  // Sections in the order read: each once, each with a folder and kinds.
  std::set<std::string> seen;
  for (const auto& [name, line] : p.Headers) {
    if (!seen.insert(name).second) p.Fail(line, "[" + name + "]", "同じ名前のジョブが二つあります");
    const auto it = p.JobOf.find(name);
    if (it == p.JobOf.end()) {
      p.Fail(line, "[" + name + "] folder", "folder がありません");
      continue;
    }
    TJob& job = p.Jobs[it->second];
    job.Line = line;
    // A key that was given with a bad value is reported at its own line.
    const auto& keys = p.KeysOf[name];
    if (keys.count("folder") == 0) p.Fail(line, "[" + name + "] folder", "folder がありません");
    if (keys.count("kinds") == 0) p.Fail(line, "[" + name + "] kinds", "kinds がありません");
  }
  if (!p.Errors.empty()) throw EJobsFile(p.Errors.begin()->second);
  return p.Jobs;
}

}  // namespace pelsok::app
