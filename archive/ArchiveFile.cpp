#include "archive/ArchiveFile.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <fstream>
#include <string_view>

#include "archive/GetArchiverType.h"
#include "archivecore/EArchiver.h"
#include "archivecore/FileList.h"
#include "archivecore/NoValue.h"
#include "backends/Archiver.h"
#include "backends/BackendRows.h"
#include "platform/TextConvert.h"

namespace pelsok {

namespace {

const char* kUnsupported = "現在のバージョンではこの形式の書庫をサポートしていません。";
const char* kUnknownFormat = "書庫の形式を判別できません。";

// The one-line list that hands a response file to a library; made on first
// use and kept for the life of the process.
platform::TStringList& SharedResponseList() {
  static platform::TStringList list = [] {
    platform::TStringList l;
    l.Add("");
    return l;
  }();
  return list;
}

}  // namespace

TArchiveFile::TArchiveFile(platform::TComponent* owner) : platform::TComponent(owner) {
  fileName_ = NoValue;
}

TArchiveFile::~TArchiveFile() = default;

void TArchiveFile::SetFileName(const std::string& value) {
  const TArchiverType t = GetArchiverType(value, true);
  SetArchiverType(t);
  fileName_ = value;
}

void TArchiveFile::SetArchiverType(TArchiverType t) {
  if (t == atNone) return;
  if (t == atAutoDetect) {
    archiverType_ = atAutoDetect;
    return;
  }
  const TBackendRow* row = FindBackendRow(t);
  if (row == nullptr) {
    if (Loading()) {
      archiverType_ = t;
      return;
    }
    throw EArchiver(kUnsupported);
  }
  std::unique_ptr<TArchiver> fresh = row->Create();  // loads the library, may fail
  archiver_ = std::move(fresh);
  archiverType_ = t;
}

const TBackendRow* TArchiveFile::FormatRow() const { return FindBackendRow(archiverType_); }

void TArchiveFile::SetOutputSize(int n) {
  if (n <= 0) {
    output_.clear();
    output_.shrink_to_fit();
    return;
  }
  output_.resize(static_cast<std::size_t>(n));
  output_[0] = '\0';
}

void TArchiveFile::AutoDetect() {
  if (archiverType_ == atAutoDetect) SetArchiverType(GetArchiverType(fileName_, false));
}

void TArchiveFile::CheckArchiver() {
  if (!archiver_) throw EArchiver(kUnknownFormat);
}

const platform::TStringList* TArchiveFile::MakeResponseFile(TResFileUse use,
                                                            const platform::TStringList* list) {
  if (!options_.ResFileUsage.Contains(use) || IsNoValue(options_.ResFileName) ||
      options_.ResFileName.empty() || list == nullptr) {
    return list;
  }
  std::string text;
  for (const auto& line : *list) {
    text += '"';
    text += line;
    text += "\"\r\n";
  }
  std::ofstream out(options_.ResFileName, std::ios::binary | std::ios::trunc);
  if (!out) {
    throw platform::EFileError("ファイル " + options_.ResFileName + " を作成できません。");
  }
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) {
    throw platform::EFileError("ファイル " + options_.ResFileName + " に書き込めません。");
  }
  platform::TStringList& shared = SharedResponseList();
  shared.Set(0, "@" + options_.ResFileName);
  return &shared;
}

std::int32_t TArchiveFile::CallPack(ArcWnd wnd, const TArchiverOptions& o,
                                    const std::string& baseDir, const platform::TStringList* list) {
  const platform::TStringList* forBackend = MakeResponseFile(ruOnPack, list);
  return archiver_->Pack(wnd, fileName_, o, baseDir, forBackend, output_);
}

std::int32_t TArchiveFile::Pack(ArcWnd wnd, const std::string& baseDir,
                                const platform::TStringList* fileList) {
  AutoDetect();
  CheckArchiver();
  std::int32_t result = 0;
  if (options_.PackFilter == pfComponent) {
    TArchiverOptions working;
    working.Assign(options_);
    platform::TStringList files;
    if (fileList != nullptr) files.Assign(*fileList);
    ExpandFileList(working, files);
    if (files.Empty()) {
      if (!output_.empty()) output_[0] = '\0';
      result = 0;
    } else {
      result = CallPack(wnd, working, baseDir, &files);
    }
  } else {
    result = CallPack(wnd, options_, baseDir, fileList);
  }
  Finished();
  return result;
}

std::int32_t TArchiveFile::Unpack(ArcWnd wnd, const std::string& baseDir,
                                  const platform::TStringList* fileList) {
  AutoDetect();
  CheckArchiver();
  const platform::TStringList* forBackend = MakeResponseFile(ruOnUnpack, fileList);
  const std::int32_t result =
      archiver_->Unpack(wnd, fileName_, options_, baseDir, forBackend, output_);
  Finished();
  return result;
}

std::int32_t TArchiveFile::Remove(ArcWnd wnd, const platform::TStringList* fileList) {
  AutoDetect();
  CheckArchiver();
  const platform::TStringList* forBackend = MakeResponseFile(ruOnRemoveItem, fileList);
  const std::int32_t result = archiver_->Remove(wnd, fileName_, options_, "", forBackend, output_);
  Finished();
  return result;
}

std::int32_t TArchiveFile::MakeSfx(ArcWnd wnd) {
  AutoDetect();
  CheckArchiver();
  const std::int32_t result = archiver_->MakeSfx(wnd, fileName_, options_, output_);
  Finished();
  return result;
}

std::int32_t TArchiveFile::Test(ArcWnd wnd) {
  AutoDetect();
  CheckArchiver();
  const std::int32_t result = archiver_->Test(wnd, fileName_, output_);
  Finished();
  return result;
}

namespace {

// Carries a read walk's chunks to the caller's function; names are turned
// into the ANSI code page once per entry.
struct TReadWalk {
  const TArchiveFile::TMemberData& Take;
  std::string Utf8Name;
  std::string AnsiName;
  std::exception_ptr Error;

  static std::int32_t Call(void* user, const char* name, const void* chunk, std::uint32_t length,
                           std::int32_t result) {
    auto* walk = static_cast<TReadWalk*>(user);
    try {
      if (walk->Utf8Name != name) {
        walk->Utf8Name = name;
        walk->AnsiName = platform::Utf8ToAnsi(walk->Utf8Name);
      }
      return walk->Take(walk->AnsiName, static_cast<const char*>(chunk), length, result);
    } catch (...) {
      walk->Error = std::current_exception();
      return -1;
    }
  }
};

}  // namespace

std::int32_t TArchiveFile::ReadMembers(const std::string& wildName, const TMemberData& take) {
  AutoDetect();
  CheckArchiver();
  TReadWalk walk{take, {}, {}, nullptr};
  const std::int32_t result = archiver_->ReadMembers(fileName_, platform::AnsiToUtf8(wildName),
                                                     &TReadWalk::Call, &walk, output_);
  Finished();
  if (walk.Error) std::rethrow_exception(walk.Error);
  return result;
}

std::optional<std::uint64_t> TArchiveFile::OriginalSize64() {
  if (!archiver_) return std::nullopt;
  return archiver_->OriginalSize64(archiveHandle_);
}

std::int32_t TArchiveFile::OpenArchive(ArcWnd wnd, std::uint32_t mode) {
  AutoDetect();
  CheckArchiver();
  archiveHandle_ = archiver_->OpenArchive(wnd, fileName_, mode);
  return archiveHandle_;
}

// The libraries hand back names and reports in UTF-8 (ArchiverApi.h); the
// callers of this component see them in the ANSI code page, as every other
// name. This is the one place they are converted.
void TArchiveFile::Finished() {
  commandLine_ = archiver_->CommandLine;
  const std::string report = platform::Utf8ToAnsi(output_.c_str());
  if (report.size() < output_.size())
    std::copy(report.c_str(), report.c_str() + report.size() + 1, output_.begin());
}

namespace {

std::int32_t EntryInAnsi(std::int32_t rc, TArchiveEntryInfo& info) {
  if (rc != 0) return rc;
  const std::string name = platform::Utf8ToAnsi(
      std::string_view(info.FileName, strnlen(info.FileName, sizeof info.FileName)));
  if (name.size() < sizeof info.FileName)
    std::copy(name.c_str(), name.c_str() + name.size() + 1, info.FileName);
  return rc;
}

}  // namespace

// Without a bound back end there is nothing to walk: report "no entry".
std::int32_t TArchiveFile::FindFirst(const std::string& wildName, TArchiveEntryInfo& info) {
  if (!archiver_) return -1;
  return EntryInAnsi(archiver_->FindFirst(archiveHandle_, info, platform::AnsiToUtf8(wildName)),
                     info);
}

std::int32_t TArchiveFile::FindNext(TArchiveEntryInfo& info) {
  if (!archiver_) return -1;
  return EntryInAnsi(archiver_->FindNext(archiveHandle_, info), info);
}

void TArchiveFile::CloseArchive() {
  if (archiver_) archiver_->CloseArchive(archiveHandle_);
  archiveHandle_ = 0;
}

}  // namespace pelsok
