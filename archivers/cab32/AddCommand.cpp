// -a: writes a new cabinet from the matching files with libgcab (MSZIP, or
// stored with -m0), into a temporary file renamed over the target only when
// it is complete and within the format's limits. libgcab cannot add to a
// cabinet it did not write in this run, so -a always writes the cabinet
// anew: an existing file of that name is replaced.
#include <libgcab.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "CabLimits.h"
#include "Commands.h"
#include "SourceGatherer.h"
#include "common/ArchiverApi.h"
#include "common/Failure.h"
#include "common/Messages.h"
#include "common/Progress.h"
#include "common/ReplacementFile.h"
#include "common/SafeText.h"
#include "platform/TextConvert.h"

namespace cab {
namespace {

template <class T>
struct GUnref {
  void operator()(T* p) const {
    if (p) g_object_unref(p);
  }
};
template <class T>
using GPtr = std::unique_ptr<T, GUnref<T>>;

struct GErrorPtr {
  GError* error = nullptr;
  ~GErrorPtr() {
    if (error) g_error_free(error);
  }
  std::string Text() const { return error ? error->message : "不明なエラー"; }
};

bool IsAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

std::uint32_t Attributes(const SourceFile& f) {
  std::uint32_t a = GCAB_FILE_ATTRIBUTE_ARCH;
  if ((f.mode & S_IWUSR) == 0) a |= GCAB_FILE_ATTRIBUTE_RDONLY;
  if (!IsAscii(f.storedName) && platform::IsValidUtf8(f.storedName))
    a |= GCAB_FILE_ATTRIBUTE_NAME_IS_UTF;
  return a;
}

// The DOS stamp holds 1980-2107 only.
GDateTime* LocalStamp(std::int64_t mtime) {
  GDateTime* t = g_date_time_new_from_unix_local(mtime);
  if (t == nullptr || g_date_time_get_year(t) < 1980) {
    if (t) g_date_time_unref(t);
    return g_date_time_new_local(1980, 1, 1, 0, 0, 0);
  }
  if (g_date_time_get_year(t) > 2107) {
    g_date_time_unref(t);
    return g_date_time_new_local(2107, 12, 31, 23, 59, 58);
  }
  return t;
}

// Tells the caller's progress entry as libgcab starts each file; a cancel
// stops the write through the cancellable.
struct WriteProgress {
  arc::Progress progress;
  GCancellable* cancellable = nullptr;
  const std::vector<SourceFile>* files = nullptr;
  std::size_t next = 0;

  static gboolean OnFile(GCabFile*, gpointer user) {
    auto* self = static_cast<WriteProgress*>(user);
    bool go = true;
    if (self->next > 0) {
      go = self->progress.AddBytes((*self->files)[self->next - 1].size) &&
           self->progress.FinishFile();
    }
    if (go && self->next < self->files->size())
      go = self->progress.StartFile((*self->files)[self->next].storedName);
    ++self->next;
    if (!go) g_cancellable_cancel(self->cancellable);
    return go;
  }
};

void CheckLimits(const std::vector<SourceFile>& files, bool store) {
  if (files.size() > kMaxFiles)
    throw arc::Failure(arc::kCannotWrite, "ファイルが多すぎて一つのキャビネットに入りません (" +
                                              std::to_string(files.size()) + " 個、上限 65535 個)");
  std::uint64_t total = 0;
  for (const auto& f : files) {
    if (f.size > kMaxFolderBytes)
      throw arc::Failure(arc::kCannotWrite, arc::msg::Quoted(arc::SafeText(f.storedName)) +
                                                " は大きすぎてキャビネットに入りません (" +
                                                std::to_string(f.size) + " バイト、上限 " +
                                                std::to_string(kMaxFolderBytes) + " バイト)");
    total += f.size;
  }
  if (store && total > kMaxCabinetBytes)
    throw arc::Failure(arc::kCannotWrite, "ファイルが大きすぎて一つのキャビネットに入りません (" +
                                              std::to_string(total) + " バイト、上限 " +
                                              std::to_string(kMaxCabinetBytes) + " バイト)");
}

// Files go into folders of at most kMaxFolderBytes each, in order.
GPtr<GCabCabinet> BuildCabinet(const std::vector<SourceFile>& files, bool store) {
  GPtr<GCabCabinet> cabinet(gcab_cabinet_new());
  const int comp = store ? GCAB_COMPRESSION_NONE : GCAB_COMPRESSION_MSZIP;
  GPtr<GCabFolder> folder;
  std::uint64_t inFolder = 0;
  for (const auto& f : files) {
    if (!folder || inFolder + f.size > kMaxFolderBytes) {
      if (folder) {
        GErrorPtr err;
        if (!gcab_cabinet_add_folder(cabinet.get(), folder.get(), &err.error))
          throw arc::Failure(arc::kCannotWrite, err.Text());
      }
      folder.reset(gcab_folder_new(comp));
      inFolder = 0;
    }
    std::string stored = f.storedName;
    for (auto& c : stored)
      if (c == '/') c = '\\';
    GPtr<GFile> disk(g_file_new_for_path(f.diskPath.c_str()));
    GPtr<GCabFile> file(gcab_file_new_with_file(stored.c_str(), disk.get()));
    GErrorPtr err;
    if (!gcab_folder_add_file(folder.get(), file.get(), FALSE, nullptr, &err.error))
      throw arc::Failure(
          arc::kCannotRead,
          arc::msg::CannotRead(arc::msg::Quoted(arc::SafeText(f.diskPath)), err.Text()));
    // Set after adding: adding reads the file's own stamp and attributes.
    GDateTime* stamp = LocalStamp(f.mtime);
    gcab_file_set_date_time(file.get(), stamp);
    g_date_time_unref(stamp);
    gcab_file_set_attributes(file.get(), Attributes(f));
    inFolder += f.size;
  }
  if (folder) {
    GErrorPtr err;
    if (!gcab_cabinet_add_folder(cabinet.get(), folder.get(), &err.error))
      throw arc::Failure(arc::kCannotWrite, err.Text());
  }
  return cabinet;
}

}  // namespace

std::int32_t RunAdd(const CabOptions& o, arc::Report& report) {
  if (o.files.empty()) throw arc::Failure(arc::kBadCommand, arc::msg::NoFileNames());
  GatherResult gathered = GatherSources(o, o.archive);
  for (const auto& note : gathered.notes) report.Line(arc::SafeText(note));
  if (gathered.files.empty()) throw arc::Failure(arc::kNothingMatched, arc::msg::NoFileMatched());
  CheckLimits(gathered.files, o.store);
  GPtr<GCabCabinet> cabinet = BuildCabinet(gathered.files, o.store);

  std::unique_ptr<arc::ReplacementFile> out;
  try {
    out = std::make_unique<arc::ReplacementFile>(o.archive);
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  GPtr<GCancellable> cancellable(g_cancellable_new());
  WriteProgress progress;
  progress.cancellable = cancellable.get();
  progress.files = &gathered.files;
  std::uint64_t totalBytes = 0;
  for (const auto& f : gathered.files) totalBytes += f.size;
  progress.progress.SetTotals(gathered.files.size(), totalBytes);
  {
    // libgcab seeks back to write its headers, so it needs a seekable
    // stream: the temporary file opened again for reading and writing.
    GPtr<GFile> temp(g_file_new_for_path(out->TempPath().c_str()));
    GErrorPtr err;
    GPtr<GFileIOStream> io(g_file_open_readwrite(temp.get(), nullptr, &err.error));
    if (!io)
      throw arc::Failure(arc::kCannotWrite, arc::msg::CannotWrite("キャビネット", err.Text()));
    GOutputStream* stream = g_io_stream_get_output_stream(G_IO_STREAM(io.get()));
    const gboolean ok = gcab_cabinet_write(cabinet.get(), stream, &WriteProgress::OnFile, nullptr,
                                           &progress, cancellable.get(), &err.error);
    GErrorPtr closeErr;
    const gboolean closed = g_io_stream_close(G_IO_STREAM(io.get()), nullptr, &closeErr.error);
    if (progress.progress.Cancelled() || g_cancellable_is_cancelled(cancellable.get())) {
      report.Line(arc::msg::Cancelled(arc::msg::ArchiveUnchanged()));
      return arc::kCancelled;
    }
    if (!ok) {
      throw arc::Failure(arc::kCannotWrite, arc::msg::CannotWrite("キャビネット", err.Text()));
    }
    if (!closed)
      throw arc::Failure(arc::kCannotWrite, arc::msg::CannotWrite("キャビネット", closeErr.Text()));
  }
  if (!progress.files->empty() && progress.next > 0) {
    progress.progress.AddBytes(gathered.files.back().size);
    progress.progress.FinishFile();
  }
  struct stat st {};
  if (::fstat(out->fd(), &st) != 0)
    throw arc::Failure(arc::kCannotWrite, "書き込んだキャビネットのサイズを読み取れません");
  if (static_cast<std::uint64_t>(st.st_size) > kMaxCabinetBytes)
    throw arc::Failure(arc::kCannotWrite, "キャビネットが " + std::to_string(st.st_size) +
                                              " バイトになり、形式の上限 " +
                                              std::to_string(kMaxCabinetBytes) +
                                              " バイトを超えます");
  try {
    out->Commit();
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  for (const auto& f : gathered.files)
    report.Line(arc::msg::Line(arc::msg::Verdict::added, arc::SafeText(f.storedName)) + " (" +
                std::to_string(f.size) + " バイト)");
  report.Line(arc::msg::PackSummary(gathered.files.size(), arc::SafeText(o.archive)) + " (" +
              std::to_string(st.st_size) + " バイト、" + (o.store ? "無圧縮" : "MSZIP") + ")");
  return arc::kOk;
}

}  // namespace cab
