// "Zip" without -d: adds the gathered files, replacing entries of the same
// name (with -u only when the file is newer). libzip writes the new archive
// to a temporary file beside the old one and renames it into place only
// when everything was written; any failure leaves the old archive as it was.
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>

#include "CentralDirectory.h"
#include "Commands.h"
#include "FileGatherer.h"
#include "Precompressor.h"
#include "ZipNames.h"
#include "common/ArchiverApi.h"
#include "common/Failure.h"
#include "common/Messages.h"
#include "common/Progress.h"
#include "common/SafeText.h"

namespace zipcore {
namespace {

constexpr std::uint32_t kDosReadOnly = 0x01, kDosFolder = 0x10, kDosArchive = 0x20;

struct CloseState {
  arc::Progress* progress = nullptr;
  std::uint64_t totalBytes = 0;
  std::uint64_t told = 0;
};

void OnProgress(zip_t*, double fraction, void* user) {
  auto* s = static_cast<CloseState*>(user);
  const auto now = static_cast<std::uint64_t>(fraction * static_cast<double>(s->totalBytes));
  if (now > s->told) {
    s->progress->AddBytes(now - s->told);
    s->told = now;
  }
}

int OnCancel(zip_t*, void* user) { return static_cast<CloseState*>(user)->progress->Cancelled(); }

bool Newer(const SourceFile& f, const ZipEntry& e) {
  // An MS-DOS stamp holds even seconds only.
  return e.exactTime ? f.mtime > e.mtime : f.mtime > e.mtime + 1;
}

std::uint32_t Attributes(const SourceFile& f, bool msdos) {
  std::uint32_t dos = f.folder ? kDosFolder : kDosArchive;
  if ((f.mode & S_IWUSR) == 0) dos |= kDosReadOnly;
  if (msdos) return dos;
  return ((f.mode & 0xFFFFu) << 16) | dos;
}

std::int32_t CloseFailure(zip_t* z, arc::Progress& progress, arc::Report& report) {
  const zip_error_t* err = zip_get_error(z);
  const int code = zip_error_code_zip(err);
  const std::string why = zip_error_strerror(const_cast<zip_error_t*>(err));
  if (progress.Cancelled() || code == ZIP_ER_CANCELLED) {
    report.Line(arc::msg::Cancelled(arc::msg::ArchiveUnchanged()));
    return arc::kCancelled;
  }
  report.Line(arc::msg::CannotWrite("書庫", arc::SafeText(why)) + "。" +
              arc::msg::ArchiveUnchanged());
  if (code == ZIP_ER_READ || code == ZIP_ER_OPEN) return arc::kCannotRead;
  if (code == ZIP_ER_MEMORY) return arc::kNoMemory;
  return arc::kCannotWrite;
}

// Adds the entry under name. libzip takes a name with a control byte other
// than TAB, CR and LF (ESC, BEL) for bad UTF-8 and refuses it, though such a
// name is a legal file name: it is then stored as it is, without the UTF-8
// flag, and a non-ASCII one carries its UTF-8 form in the Unicode path
// field as well, so readers that go by the flag still read it as UTF-8.
zip_int64_t AddName(zip_t* z, const std::string& name, zip_source_t* source, bool folder,
                    zip_flags_t encoding) {
  const auto add = [&](zip_flags_t e) {
    return folder ? zip_dir_add(z, name.c_str(), e) : zip_file_add(z, name.c_str(), source, e);
  };
  zip_int64_t index = add(encoding);
  if (index >= 0 || encoding != ZIP_FL_ENC_UTF_8 ||
      zip_error_code_zip(zip_get_error(z)) != ZIP_ER_INVAL)
    return index;
  zip_error_clear(z);
  index = add(ZIP_FL_ENC_CP437);
  if (index < 0 || std::all_of(name.begin(), name.end(),
                               [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return index;
  const std::string field = UnicodePathField(name, name);
  if (field.size() <= 0xFFFF)
    zip_file_extra_field_set(
        z, static_cast<zip_uint64_t>(index), kUnicodePathField, ZIP_EXTRA_FIELD_NEW,
        reinterpret_cast<const zip_uint8_t*>(field.data()), static_cast<zip_uint16_t>(field.size()),
        ZIP_FL_LOCAL | ZIP_FL_CENTRAL);
  return index;
}

}  // namespace

std::int32_t RunAdd(const ZipOptions& o, arc::Report& report) {
  GatherResult gathered = GatherFiles(o, o.archive);
  for (const auto& n : gathered.notes) report.Line(arc::SafeText(n));
  if (gathered.files.empty() && !o.stripSfx) {
    report.Line("追加するファイルがありません。" + arc::msg::ArchiveUnchanged());
    return arc::kNothingMatched;
  }
  OpenedZip opened = OpenZip(o.archive, ZIP_CREATE);
  zip_t* z = opened.zip.get();
  std::map<std::string, const ZipEntry*> byName;
  for (const auto& e : opened.entries) byName.emplace(e.name, &e);

  arc::Progress progress;
  std::int64_t newest = 0;
  for (const auto& e : opened.entries) newest = std::max(newest, e.mtime);

  // What to store: every gathered file, less those -u finds up to date.
  struct Planned {
    const SourceFile* file;
    const ZipEntry* existing;
    bool precompress = false;
  };
  std::vector<Planned> plan;
  std::vector<PrecompressJob> jobs;
  std::uint64_t totalBytes = 0, heldBytes = 0;
  for (const SourceFile& f : gathered.files) {
    auto found = byName.find(f.storedName);
    const ZipEntry* existing = found == byName.end() ? nullptr : found->second;
    if (existing && (f.folder || (o.onlyNewer && !Newer(f, *existing)))) {
      if (!o.quiet && !f.folder)
        report.Line(arc::msg::Line(arc::msg::Verdict::skipped, arc::SafeText(f.storedName),
                                   "書庫の中の方が新しいか同じです"));
      continue;
    }
    Planned p{&f, existing};
    if (!f.folder) {
      totalBytes += f.size;
      p.precompress = o.level > 0 && f.size <= kPrecompressFileLimit &&
                      heldBytes + f.size <= kPrecompressTotalLimit;
      if (p.precompress) {
        heldBytes += f.size;
        jobs.push_back({f.diskPath, f.size});
      }
    }
    plan.push_back(p);
  }
  progress.SetTotals(plan.size(), totalBytes);

  // Deflate on every core first; a file that cannot be read stops the command.
  std::vector<Precompressed> deflated =
      PrecompressAll(jobs, o.level, o.threads, [&](std::size_t i) {
        return progress.StartFile(jobs[i].diskPath) && progress.AddBytes(jobs[i].size) &&
               progress.FinishFile();
      });
  if (progress.Cancelled()) {
    report.Line(arc::msg::Cancelled(arc::msg::ArchiveUnchanged()));
    return arc::kCancelled;
  }
  for (std::size_t i = 0; i < deflated.size(); ++i)
    if (!deflated[i].ok)
      throw arc::Failure(arc::kCannotRead, arc::msg::Quoted(arc::SafeText(jobs[i].diskPath)) +
                                               ": " + deflated[i].error);

  std::size_t added = 0, replaced = 0, nextDeflated = 0;
  std::uint64_t streamedBytes = 0;
  for (const Planned& p : plan) {
    const SourceFile& f = *p.file;
    const std::string shown = arc::SafeText(f.storedName);
    zip_source_t* source = nullptr;
    bool stored = o.level == 0;
    if (!f.folder) {
      if (p.precompress && deflated[nextDeflated].worthIt) {
        source = PrecompressedSource(z, std::move(deflated[nextDeflated++]));
      } else {
        if (p.precompress) {
          ++nextDeflated;
          stored = true;  // deflating did not make it smaller
        } else {
          streamedBytes += f.size;
        }
        source = zip_source_file(z, f.diskPath.c_str(), 0, -1);
      }
      if (source == nullptr)
        throw arc::Failure(
            arc::kCannotRead,
            arc::msg::CannotRead(arc::msg::Quoted(arc::SafeText(f.diskPath)), zip_strerror(z)));
    }
    zip_int64_t index = -1;
    if (p.existing != nullptr) {
      index = static_cast<zip_int64_t>(p.existing->index);
      if (zip_file_replace(z, p.existing->index, source, 0) != 0) {
        zip_source_free(source);
        throw arc::Failure(arc::kCannotWrite, "書庫のファイルを置き換えられません" +
                                                  arc::msg::Because(zip_strerror(z)));
      }
      ++replaced;
      if (o.verbose) report.Line(arc::msg::Line(arc::msg::Verdict::updating, shown));
    } else {
      std::string name = f.storedName;
      zip_flags_t encoding = ZIP_FL_ENC_UTF_8;
      if (o.msdos) {
        auto cp932 = EncodeCp932Name(name);
        if (!cp932) {
          zip_source_free(source);
          throw arc::Failure(arc::kCannotWrite, "名前をシフト JIS で表せません: " + shown);
        }
        name = *cp932;
        encoding = ZIP_FL_ENC_CP437;
      }
      index = AddName(z, name, source, f.folder, encoding);
      if (index < 0) {
        zip_source_free(source);
        throw arc::Failure(arc::kCannotWrite, arc::msg::Quoted(shown) + " を書庫に追加できません" +
                                                  arc::msg::Because(zip_strerror(z)));
      }
      ++added;
      if (o.verbose) report.Line(arc::msg::Line(arc::msg::Verdict::added, shown));
    }
    const auto i = static_cast<zip_uint64_t>(index);
    // Deflated sources say so themselves; the others are compressed by libzip.
    if (!f.folder && !(p.precompress && !stored))
      zip_set_file_compression(z, i, stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                               static_cast<zip_uint32_t>(o.level));
    SetEntryTime(z, i, f.mtime);
    zip_file_set_external_attributes(z, i, 0, o.msdos ? ZIP_OPSYS_DOS : ZIP_OPSYS_UNIX,
                                     Attributes(f, o.msdos));
    newest = std::max(newest, f.mtime);
  }
  if (added + replaced == 0 && !o.stripSfx) {
    report.Line("どのファイルも書庫の中が最新です。" + arc::msg::ArchiveUnchanged());
    return arc::kOk;
  }
  // A self-extractor's stub before the archive is dropped whenever libzip
  // writes the archive anew; -J makes it do so even with nothing to add.
  if (o.stripSfx && !opened.entries.empty()) {
    // Touching the first entry's stamp (with its own value) is a change.
    zip_stat_t st;
    if (zip_stat_index(z, 0, 0, &st) == 0 && (st.valid & ZIP_STAT_MTIME))
      zip_file_set_mtime(z, 0, st.mtime, 0);
  }
  progress.StartFile(o.archive);
  CloseState state{&progress, streamedBytes, 0};
  zip_register_progress_callback_with_state(z, 0.001, OnProgress, nullptr, &state);
  zip_register_cancel_callback_with_state(z, OnCancel, nullptr, &state);
  if (zip_close(z) != 0) return CloseFailure(z, progress, report);
  opened.zip.release();  // zip_close freed it
  if (o.archiveTimeNewest && newest > 0) {
    const struct timespec times[2] = {{newest, 0}, {newest, 0}};
    ::utimensat(AT_FDCWD, o.archive.c_str(), times, 0);
  }
  report.Line(std::to_string(added) + " 件を追加、" + std::to_string(replaced) +
              " 件を置換しました");
  return arc::kOk;
}

}  // namespace zipcore
