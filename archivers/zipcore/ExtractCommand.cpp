// "UnZip": -x extracts (into the base folder, the current folder when none),
// -t decodes every selected entry and checks its CRC, -l lists. The data is
// read with libarchive, which decodes more methods than libzip; the
// directory is first read with libzip (CentralDirectory.h), so both
// libraries must accept the archive.
#include <archive.h>
#include <archive_entry.h>
#include <locale.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "CentralDirectory.h"
#include "Commands.h"
#include "DecoderGate.h"
#include "WholeInflater.h"
#include "ZipNames.h"
#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"
#include "common/Failure.h"
#include "common/MemberReading.h"
#include "common/Messages.h"
#include "common/Progress.h"
#include "common/SafeExtractor.h"
#include "common/SafeText.h"

namespace zipcore {
namespace {

// libarchive converts names to the thread's locale; in a UTF-8 locale the
// bytes of a name without the UTF-8 flag come through unchanged, and
// ZipNames decides what they are.
class Utf8LocaleScope {
 public:
  Utf8LocaleScope() {
    static locale_t utf8 = newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (utf8 != static_cast<locale_t>(0)) old_ = uselocale(utf8);
  }
  ~Utf8LocaleScope() {
    if (old_ != static_cast<locale_t>(0)) uselocale(old_);
  }
  Utf8LocaleScope(const Utf8LocaleScope&) = delete;
  Utf8LocaleScope& operator=(const Utf8LocaleScope&) = delete;

 private:
  locale_t old_ = static_cast<locale_t>(0);
};

struct ArchiveFree {
  void operator()(archive* a) const { archive_read_free(a); }
};

std::string ErrorText(archive* a) {
  const char* s = archive_error_string(a);
  return s ? s : "不明なエラー";
}

bool IsUnsupportedMethod(const std::string& message) {
  return message.find("Unsupported ZIP compression method") != std::string::npos ||
         message.find("not supported") != std::string::npos;
}

arc::EntryKind KindOf(archive_entry* e) {
  switch (archive_entry_filetype(e)) {
    case AE_IFDIR:
      return arc::EntryKind::folder;
    case AE_IFLNK:
      return arc::EntryKind::symlink;
    case AE_IFREG:
      return arc::EntryKind::file;
    default:
      return arc::EntryKind::special;
  }
}

class Extraction {
 public:
  Extraction(const ZipOptions& o, arc::Report& report) : o_(o), report_(report) {}

  std::int32_t Run() {
    directory_ = OpenZip(o_.archive, ZIP_RDONLY);
    gate_.emplace(o_.archive, directory_);
    inflater_.emplace(o_.archive, directory_);
    std::uint64_t totalBytes = 0;
    for (const auto& e : directory_.entries) totalBytes += e.originalSize;
    progress_.SetTotals(directory_.entries.size(), totalBytes);
    if (o_.command == ZipCommand::extract) {
      arc::ExtractRules rules;
      rules.withFolders = !o_.junkPaths;
      rules.overwriteAlways = o_.overwrite;
      rules.stripAbsolute = true;
      rules.linksInside = true;
      rules.backslashSeparates = true;
      try {
        extractor_ =
            std::make_unique<arc::SafeExtractor>(o_.baseDir.empty() ? "." : o_.baseDir, rules);
      } catch (const std::exception& e) {
        throw arc::Failure(arc::kCannotWrite, e.what());
      }
    }
    if (o_.command == ZipCommand::extract) ReportCollapsedNames();
    // libarchive reads the entries in the order of their local headers.
    for (std::size_t i = 0; i < directory_.entries.size(); ++i) inFileOrder_.push_back(i);
    std::stable_sort(inFileOrder_.begin(), inFileOrder_.end(), [&](std::size_t x, std::size_t y) {
      return directory_.entries[x].localOffset < directory_.entries[y].localOffset;
    });
    Utf8LocaleScope locale;
    std::unique_ptr<archive, ArchiveFree> a = OpenReader();
    archive_entry* entry = nullptr;
    std::size_t headersRead = 0;
    for (;;) {
      const int r = archive_read_next_header(a.get(), &entry);
      if (r == ARCHIVE_EOF) break;
      if (r == ARCHIVE_FAILED && entry != nullptr && IsUnsupportedMethod(ErrorText(a.get()))) {
        // A link's target is read with its header: one stored with a method
        // we do not decode is skipped as a file of that method is.
        Unsupported(a.get(), entry, headersRead++);
        continue;
      }
      if (r != ARCHIVE_OK && r != ARCHIVE_WARN) {
        report_.Line(
            arc::msg::Line(arc::msg::Verdict::damaged, "書庫", arc::SafeText(ErrorText(a.get()))));
        arc::Worsen(result_, arc::kNotArchive);
        break;
      }
      const Next next = One(a.get(), entry, headersRead++);
      if (next == Next::stop) break;
      // A damaged stream leaves libarchive's reader unusable, though the
      // directory is sound: a fresh reader goes on after that entry.
      if (next == Next::reopen && !Reopen(a, headersRead)) break;
    }
    if (progress_.Cancelled()) {
      report_.Line(arc::msg::Cancelled());
      return arc::kCancelled;
    }
    if (matched_ == 0 && result_ == arc::kOk) {
      report_.Line(arc::msg::NoMemberMatched());
      return arc::kNothingMatched;
    }
    if (o_.command == ZipCommand::list) {
      report_.Line(arc::msg::ListTotal(matched_));
    } else if (o_.command == ZipCommand::test) {
      report_.Line(arc::msg::TestSummary(matched_, bad_));
    } else {
      report_.Line(arc::msg::ExtractSummary(done_, matched_) + " (破損 " + std::to_string(bad_) +
                   " 件)");
    }
    return result_;
  }

 private:
  enum class Next { goOn, reopen, stop };

  std::unique_ptr<archive, ArchiveFree> OpenReader() {
    std::unique_ptr<archive, ArchiveFree> a(archive_read_new());
    if (!a) throw arc::Failure(arc::kNoMemory, arc::msg::OutOfMemory());
    archive_read_support_format_zip_seekable(a.get());
    if (!o_.password.empty()) archive_read_add_passphrase(a.get(), o_.password.c_str());
    if (archive_read_open_filename(a.get(), o_.archive.c_str(), 1 << 16) != ARCHIVE_OK)
      throw arc::Failure(arc::kNotArchive, arc::msg::CannotRead("書庫", ErrorText(a.get())));
    return a;
  }

  // A fresh reader standing after the first headersRead entries; false,
  // with the archive reported damaged, when they cannot be read again.
  // Each reopen reads the directory and every header before it again, so
  // an archive of thousands of damaged entries would take hours: past a
  // budget of entries read again (a few seconds' work), the run stops.
  bool Reopen(std::unique_ptr<archive, ArchiveFree>& a, std::size_t headersRead) {
    constexpr std::size_t kRereadBudget = 1 << 18;
    reread_ += directory_.entries.size() + headersRead;
    if (reread_ > kRereadBudget) {
      report_.Line(arc::msg::Line(
          arc::msg::Verdict::damaged, "書庫",
          "壊れたファイルが多すぎるので " + std::to_string(bad_) + " 件で打ち切りました"));
      arc::Worsen(result_, arc::kNotArchive);
      return false;
    }
    a = OpenReader();
    archive_entry* entry = nullptr;
    for (std::size_t i = 0; i < headersRead; ++i) {
      const int r = archive_read_next_header(a.get(), &entry);
      if (r != ARCHIVE_OK && r != ARCHIVE_WARN) {
        report_.Line(
            arc::msg::Line(arc::msg::Verdict::damaged, "書庫", arc::SafeText(ErrorText(a.get()))));
        arc::Worsen(result_, arc::kNotArchive);
        return false;
      }
    }
    return true;
  }

  void Line(const std::string& text) {
    if (!o_.quiet) report_.Line(text);
  }

  // Entries whose stored names differ but read as one name (a UTF-8 one
  // and a cp932 one, say) land on one file, the last one winning: said,
  // never silent.
  void ReportCollapsedNames() {
    std::unordered_map<std::string, const std::string*> firstRaw;
    for (const ZipEntry& e : directory_.entries) {
      const auto [it, added] = firstRaw.emplace(e.name, &e.rawName);
      if (added || *it->second == e.rawName || !arc::MatchesAnyMask(e.name, o_.files)) continue;
      report_.Line("Warning  " + arc::SafeText(e.name) +
                   ": 格納名の違う複数の項目が同じ名前になります。後の項目で置き換えます");
      arc::Worsen(result_, arc::kWarning);
    }
  }

  // The entry's name: as libarchive read it, but from the directory for a
  // name flagged UTF-8 that is not, which libarchive cannot convert.
  std::string NameOf(archive_entry* entry, std::size_t position) const {
    if (position < inFileOrder_.size()) {
      const ZipEntry& e = directory_.entries[inFileOrder_[position]];
      if (e.falseUtf8Flag) return e.name;
    }
    const char* raw = archive_entry_pathname(entry);
    return DecodeStoredName(raw ? raw : "");
  }

  void Unsupported(archive* a, archive_entry* entry, std::size_t position) {
    const std::string name = NameOf(entry, position);
    if (!arc::MatchesAnyMask(name, o_.files)) return;
    ++matched_;
    if (o_.command == ZipCommand::list) {
      Line(std::to_string(archive_entry_size(entry)) + "  " + arc::SafeText(name));
      return;
    }
    report_.Line("Skipped  " + arc::SafeText(name) + ": " + arc::SafeText(ErrorText(a)));
    arc::Worsen(result_, arc::kWarning);
  }

  Next One(archive* a, archive_entry* entry, std::size_t position) {
    const std::string name = NameOf(entry, position);
    if (!arc::MatchesAnyMask(name, o_.files)) return Next::goOn;
    ++matched_;
    const std::string shown = arc::SafeText(name);
    const arc::EntryKind kind = KindOf(entry);
    if (o_.command == ZipCommand::list) {
      Line(std::to_string(archive_entry_size(entry)) + "  " + shown);
      return Next::goOn;
    }
    if (archive_entry_is_data_encrypted(entry) && o_.password.empty()) {
      report_.Line(arc::msg::Line(arc::msg::Verdict::skipped, shown,
                                  "暗号化されています (-P でパスワードを指定してください)"));
      arc::Worsen(result_, arc::kCannotRead);
      return Next::goOn;
    }
    if (!progress_.StartFile(name)) return Next::stop;
    bool fatal = false, unsupported = false;
    std::string why;
    // An empty entry has nothing to decode (and libarchive fails on the
    // bare end marker some LZMA writers store for it).
    const bool empty = archive_entry_size_is_set(entry) && archive_entry_size(entry) == 0;
    const bool reading = o_.command == ZipCommand::test && kind == arc::EntryKind::file;
    if (reading) arc::ReadingBegin(name);
    if (!empty && !Decodable(a, entry, name, shown)) {
      arc::ReadingEnd(arc::kNotArchive);
      progress_.FinishFile();
      return Next::goOn;
    }
    // The data inflated whole, its CRC checked; else libarchive streams it.
    const std::vector<std::uint8_t>* whole =
        empty || kind != arc::EntryKind::file || archive_entry_is_data_encrypted(entry)
            ? nullptr
            : inflater_->Inflate(name, archive_entry_size(entry), archive_filter_bytes(a, 0));
    auto pump = [&](int fd) -> arc::DataResult {
      static thread_local std::vector<char> buf(1 << 16);
      for (std::size_t at = 0; whole && at < whole->size();) {
        const std::size_t n = std::min<std::size_t>(whole->size() - at, 1 << 20);
        for (std::size_t off = 0; fd >= 0 && off < n;) {
          const ssize_t w = ::write(fd, whole->data() + at + off, n - off);
          if (w < 0) return {false, false, arc::msg::CannotWrite("ファイル", strerror(errno))};
          off += static_cast<std::size_t>(w);
        }
        if (fd < 0 && !arc::ReadingData(whole->data() + at, n)) {
          progress_.AddBytes(0);
          return {false, false, arc::msg::Cancelled()};
        }
        at += n;
        if (!progress_.AddBytes(n)) return {false, false, arc::msg::Cancelled()};
      }
      while (!empty && !whole) {
        const la_ssize_t n = archive_read_data(a, buf.data(), buf.size());
        if (n == 0) return {};
        if (n < 0) {
          const std::string raw = ErrorText(a);
          fatal = n == ARCHIVE_FATAL;
          unsupported = IsUnsupportedMethod(raw);
          why = (unsupported ? "この圧縮方式には対応していません" : "データが壊れています") +
                arc::msg::Because(raw);
          return {false, !unsupported, why};
        }
        if (fd >= 0) {
          for (la_ssize_t off = 0; off < n;) {
            const ssize_t w = ::write(fd, buf.data() + off, static_cast<std::size_t>(n - off));
            if (w < 0) return {false, false, arc::msg::CannotWrite("ファイル", strerror(errno))};
            off += w;
          }
        } else if (!arc::ReadingData(buf.data(), static_cast<std::size_t>(n))) {
          progress_.AddBytes(0);
          return {false, false, arc::msg::Cancelled()};
        }
        if (!progress_.AddBytes(static_cast<std::uint64_t>(n)))
          return {false, false, arc::msg::Cancelled()};
      }
      return {};
    };
    if (o_.command == ZipCommand::test) {
      if (kind == arc::EntryKind::file) {
        const arc::DataResult d = pump(-1);
        Judge(shown, d.ok, unsupported, d.message, true);
        arc::ReadingEnd(d.ok ? arc::kOk : unsupported ? arc::kWarning : arc::kNotArchive);
      } else {
        ++done_;
      }
    } else {
      arc::EntryToExtract e;
      e.name = name;
      e.kind = kind;
      e.mtime = archive_entry_mtime(entry);
      e.unixMode = static_cast<std::uint32_t>(archive_entry_perm(entry));
      if (kind == arc::EntryKind::symlink) {
        const char* target = archive_entry_symlink(entry);
        e.linkTarget = DecodeStoredName(target ? target : "");
      }
      const arc::ExtractReport r = extractor_->Extract(e, pump);
      Report(shown, r, unsupported);
    }
    if (progress_.Cancelled()) return Next::stop;
    progress_.FinishFile();
    return fatal ? Next::reopen : Next::goOn;
  }

  // False, with the reason reported, for an entry the gate keeps from the
  // decoders.
  bool Decodable(archive* a, archive_entry* entry, const std::string& name,
                 const std::string& shown) {
    // Right after the header, libarchive stands at the start of the data.
    const DecoderRefusal refusal =
        gate_->Check(name, archive_format_name(a), archive_entry_is_data_encrypted(entry) != 0,
                     archive_filter_bytes(a, 0));
    if (refusal.reason.empty()) return true;
    if (refusal.damaged) ++bad_;
    report_.Line(
        arc::msg::Line(refusal.damaged ? arc::msg::Verdict::damaged : arc::msg::Verdict::skipped,
                       shown, arc::SafeText(refusal.reason)));
    arc::Worsen(result_, refusal.damaged ? arc::kNotArchive : arc::kWarning);
    return false;
  }

  void Judge(const std::string& shown, bool ok, bool unsupported, const std::string& why,
             bool test) {
    if (ok) {
      ++done_;
      Line(arc::msg::Line(test ? arc::msg::Verdict::tested : arc::msg::Verdict::extracted, shown));
    } else if (unsupported) {
      report_.Line(arc::msg::Line(arc::msg::Verdict::skipped, shown, arc::SafeText(why)));
      arc::Worsen(result_, arc::kWarning);
    } else if (!progress_.Cancelled()) {
      ++bad_;
      report_.Line(arc::msg::Line(arc::msg::Verdict::damaged, shown, arc::SafeText(why)));
      arc::Worsen(result_, arc::kNotArchive);
    }
  }

  void Report(const std::string& shown, const arc::ExtractReport& r, bool unsupported) {
    const std::string why = arc::SafeText(r.message);
    switch (r.outcome) {
      case arc::ExtractOutcome::written:
        ++done_;
        Line(arc::msg::Line(arc::msg::Verdict::extracted, shown, r.warning ? why : std::string()));
        break;
      case arc::ExtractOutcome::skippedNotNewer:
        Line(arc::msg::Line(arc::msg::Verdict::skipped, shown, why));
        break;
      case arc::ExtractOutcome::skippedLink:
        report_.Line(arc::msg::Line(arc::msg::Verdict::skipped, shown, why));
        arc::Worsen(result_, arc::kWarning);
        break;
      case arc::ExtractOutcome::refusedUnsafe:
        report_.Line(arc::msg::Line(arc::msg::Verdict::refused, shown, why));
        arc::Worsen(result_, arc::kUnsafeName);
        break;
      case arc::ExtractOutcome::failed:
        if (progress_.Cancelled()) break;
        if (unsupported) {
          report_.Line(arc::msg::Line(arc::msg::Verdict::skipped, shown, why));
          arc::Worsen(result_, arc::kWarning);
        } else {
          if (r.damaged) ++bad_;
          report_.Line(arc::msg::Line(
              r.damaged ? arc::msg::Verdict::damaged : arc::msg::Verdict::failed, shown, why));
          arc::Worsen(result_, r.damaged ? arc::kNotArchive : arc::kCannotWrite);
        }
        break;
    }
  }

  const ZipOptions& o_;
  arc::Report& report_;
  OpenedZip directory_;
  std::optional<DecoderGate> gate_;
  std::optional<WholeInflater> inflater_;
  arc::Progress progress_;
  std::unique_ptr<arc::SafeExtractor> extractor_;
  std::vector<std::size_t> inFileOrder_;  // directory indices in the order libarchive reads them
  std::int32_t result_ = arc::kOk;
  std::size_t matched_ = 0, done_ = 0, bad_ = 0, reread_ = 0;
};

}  // namespace

std::int32_t RunExtract(const ZipOptions& o, arc::Report& report) {
  return Extraction(o, report).Run();
}

}  // namespace zipcore
