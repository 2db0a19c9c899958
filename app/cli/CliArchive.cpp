#include "app/cli/CliArchive.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <ostream>

#include "app/cli/CliJob.h"
#include "app/cli/CliOutput.h"
#include "app/run/DeletionCheck.h"
#include "app/run/RunGrade.h"
#include "archive/ArchiveFile.h"
#include "archive/GetArchiverType.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace pelsok::app {
namespace {

int ExitOf(std::int32_t result) {
  switch (GradeOfResult(result)) {
    case TRunGrade::Ok:
      return kExitOk;
    case TRunGrade::Warning:
      return kExitWarning;
    default:
      return kExitFailed;
  }
}

// Binds the back end the content shows, the name's when the content shows none.
void Bind(TArchiveFile& archive, const std::string& name) {
  if (!platform::FileExists(name))
    throw platform::Exception(platform::FormatText("書庫 '%s' がありません。", {name}));
  const TArchiverType byContent = GetArchiverType(name, false);
  archive.SetFileName(name);  // binds by extension, when the name has a known one
  if (byContent != atNone && byContent != archive.ArchiverType())
    archive.SetArchiverType(byContent);
}

std::string DosStamp(std::uint16_t date, std::uint16_t time) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u", 1980u + (date >> 9), (date >> 5) & 15u,
                date & 31u, time >> 11, (time >> 5) & 63u);
  return buf;
}

int List(const std::string& name, TCliOutput& out) {
  TArchiveFile archive(nullptr);
  Bind(archive, name);
  if (archive.OpenArchive(nullptr, 0) == 0)
    throw platform::Exception(
        platform::FormatText("書庫 '%s' を開けません (壊れているか、形式が違います)。", {name}));
  TArchiveEntryInfo info{};
  std::uint64_t files = 0, original = 0, packed = 0;
  for (int rc = archive.FindFirst("*.*", info); rc == 0; rc = archive.FindNext(info)) {
    char line[64];
    std::snprintf(line, sizeof line, "%12lu %12lu %s  ",
                  static_cast<unsigned long>(info.OriginalSize),
                  static_cast<unsigned long>(info.CompressedSize),
                  DosStamp(info.DosDate, info.DosTime).c_str());
    out.Line(line + std::string(info.FileName, strnlen(info.FileName, sizeof info.FileName)));
    ++files;
    original += info.OriginalSize;
    packed += info.CompressedSize;
    info = TArchiveEntryInfo{};
  }
  archive.CloseArchive();
  out.Line(std::to_string(files) + " ファイル, " + std::to_string(original) + " → " +
           std::to_string(packed) + " バイト");
  return kExitOk;
}

// Extracts into dir (which ends with the delimiter); prints the library's report.
int Extract(const std::string& name, const std::string& dir, const std::vector<std::string>& masks,
            TCliOutput& out, TCliOutput& err, bool quiet) {
  TArchiveFile archive(nullptr);
  Bind(archive, name);
  archive.SetOutputSize(1 << 16);
  platform::TStringList list;
  for (const auto& m : masks) list.Add(m);
  const std::int32_t result = archive.Unpack(nullptr, dir, masks.empty() ? nullptr : &list);
  const std::string report(archive.Output().c_str());
  if (!quiet || result != 0) (result == 0 ? out : err).Lines(report);
  if (GradeOfResult(result) == TRunGrade::Failed) {
    char code[16];
    std::snprintf(code, sizeof code, "%X", static_cast<unsigned>(result));
    err.Error(std::string("書庫ライブラリの結果 ") + code);
  }
  return ExitOf(result);
}

// Every member decodes and matches its CRC, checked as before deletion.
int Test(const std::string& name, TCliOutput& out, TCliOutput& err) {
  TArchiveFile archive(nullptr);
  Bind(archive, name);
  archive.SetOutputSize(1 << 16);
  const TDeletionCheck check = CheckBeforeDeletion(archive, nullptr, nullptr);
  const std::int32_t result = check.Result;
  const std::string& report = check.Report;
  if (result != 0) err.Lines(report);
  out.Line((GradeOfResult(result) == TRunGrade::Failed ? "NG " : "OK ") + name);
  return ExitOf(result);
}

}  // namespace

bool IsArchiveCommand(const std::vector<std::string>& args) {
  return !args.empty() && (args[0] == "list" || args[0] == "test" || args[0] == "extract");
}

int RunArchiveCommand(const std::vector<std::string>& args, std::ostream& outStream,
                      std::ostream& errStream) {
  TCliOutput out(outStream);
  TCliOutput err(errStream);
  try {
    const std::string& command = args.at(0);
    if (args.size() < 2) throw platform::Exception(command + ": 書庫の名前がありません。");
    const std::string& name = args[1];
    if (command == "list") {
      if (args.size() > 2) throw platform::Exception("list: 余分な引数 '" + args[2] + "'");
      return List(name, out);
    }
    if (command == "test") {
      if (args.size() > 2) throw platform::Exception("test: 余分な引数 '" + args[2] + "'");
      return Test(name, out, err);
    }
    // extract ARCHIVE [DIR] [MASK...]: DIR is an existing folder, or a name
    // ending with the delimiter, made when missing; without one the current
    // folder is used.
    std::size_t next = 2;
    std::string dir = platform::GetCurrentDir();
    if (args.size() > 2 &&
        (platform::DirectoryExists(args[2]) ||
         (!args[2].empty() && platform::IsPathDelimiter(args[2], args[2].size() - 1)))) {
      dir = args[next++];
      std::error_code ec;
      std::filesystem::create_directories(dir, ec);
      if (!platform::DirectoryExists(dir))
        throw platform::Exception(
            platform::FormatText("フォルダ '%s' を作れません: %s", {dir, ec.message()}));
    }
    std::vector<std::string> masks(args.begin() + static_cast<std::ptrdiff_t>(next), args.end());
    return Extract(name, platform::IncludeTrailingPathDelimiter(platform::ExpandFileName(dir)),
                   masks, out, err, false);
  } catch (const std::exception& e) {
    err.Error(e.what());
    return kExitError;
  }
}

}  // namespace pelsok::app
