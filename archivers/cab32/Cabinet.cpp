#include "Cabinet.h"

#include <dirent.h>

#include <ctime>
#include <stdexcept>

#include "common/AppendedData.h"
#include "common/Messages.h"
#include "platform/TextConvert.h"

namespace cab {
namespace {

std::string MspackError(int code) {
  switch (code) {
    case MSPACK_ERR_OK:
      return "エラーはありません";
    case MSPACK_ERR_OPEN:
      return "ファイルを開けません";
    case MSPACK_ERR_READ:
      return "キャビネットが途中で切れているか、読み込めません";
    case MSPACK_ERR_WRITE:
      return "展開したファイルを書き込めません";
    case MSPACK_ERR_SEEK:
      return "キャビネットの中の位置が終わりより後を指しています";
    case MSPACK_ERR_NOMEMORY:
      return arc::msg::OutOfMemory();
    case MSPACK_ERR_SIGNATURE:
      return "キャビネットではありません";
    case MSPACK_ERR_DATAFORMAT:
      return "キャビネットのデータが壊れています";
    case MSPACK_ERR_CHECKSUM:
      return "データブロックのチェックサムが一致しません";
    case MSPACK_ERR_DECRUNCH:
      return "圧縮データが壊れています";
    default:
      return "キャビネットのエラー " + std::to_string(code);
  }
}

std::string ReplaceInvalidUtf8(const std::string& s) {
  if (platform::IsValidUtf8(s)) return s;
  std::string out;
  for (unsigned char c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

std::int64_t LocalSeconds(const mscabd_file& f) {
  std::tm tm{};
  tm.tm_year = f.date_y - 1900;
  tm.tm_mon = f.date_m - 1;
  tm.tm_mday = f.date_d;
  tm.tm_hour = f.time_h;
  tm.tm_min = f.time_m;
  tm.tm_sec = f.time_s;
  tm.tm_isdst = -1;
  const std::time_t t = std::mktime(&tm);
  return t == static_cast<std::time_t>(-1) ? 0 : static_cast<std::int64_t>(t);
}

// Finds name in the folder of path, ignoring case as a Windows file system
// would; "" when there is none.
std::string Sibling(const std::string& path, const std::string& name) {
  const auto slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::string wanted = name;
  const auto cut = wanted.find_last_of("/\\");
  if (cut != std::string::npos) wanted = wanted.substr(cut + 1);
  if (wanted.empty() || wanted == "." || wanted == "..") return {};
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return {};
  std::string found;
  while (dirent* e = ::readdir(d)) {
    const std::string n = e->d_name;
    if (n.size() != wanted.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < n.size() && same; ++i) {
      unsigned char a = n[i], b = wanted[i];
      if (a >= 'A' && a <= 'Z') a += 32;
      if (b >= 'A' && b <= 'Z') b += 32;
      same = a == b;
    }
    if (same) {
      found = dir + n;
      break;
    }
  }
  ::closedir(d);
  return found;
}

}  // namespace

std::string MethodName(int compression) {
  switch (MSCABD_COMP_METHOD(compression)) {
    case MSCAB_COMP_NONE:
      return "Stored";
    case MSCAB_COMP_MSZIP:
      return "MSZIP";
    case MSCAB_COMP_QUANTUM:
      return "Quantum";
    case MSCAB_COMP_LZX:
      return "LZX:" + std::to_string(MSCABD_COMP_LEVEL(compression));
    default:
      return "?";
  }
}

std::string DecodeEntryName(const std::string& raw, bool utf8Flag) {
  std::string name;
  if (utf8Flag) {
    name = ReplaceInvalidUtf8(raw);
  } else if (auto converted = platform::Cp932ToUtf8(raw)) {
    name = *converted;
  } else {
    name = ReplaceInvalidUtf8(raw);
  }
  for (auto& c : name)
    if (c == '\\') c = '/';
  return name;
}

Cabinet::Cabinet(const std::string& path) { Open(path); }

Cabinet::Cabinet(const std::string& path, std::uint64_t offset) : offset_(offset) {
  files_.SetBaseOffset(path, offset);
  Open(path);
}

void Cabinet::Open(const std::string& path) {
  decompressor_ = mspack_create_cab_decompressor(files_.System());
  if (decompressor_ == nullptr) throw std::runtime_error("キャビネットの読み込みを始められません");
  const std::string& name = names_.emplace_back(path);
  mscabd_cabinet* first = decompressor_->open(decompressor_, name.c_str());
  if (first == nullptr) {
    const int err = decompressor_->last_error(decompressor_);
    mspack_destroy_cab_decompressor(decompressor_);
    decompressor_ = nullptr;
    throw std::runtime_error(arc::msg::Quoted(path) + ": " + MspackError(err));
  }
  parts_.push_back(first);
  FollowSet(path);
  for (mscabd_cabinet* part : parts_) cabinetBytes_ += part->length;
  for (const mscabd_file* f = first->files; f != nullptr; f = f->next) {
    CabEntry e;
    e.name =
        DecodeEntryName(f->filename ? f->filename : "", (f->attribs & MSCAB_ATTRIB_UTF_NAME) != 0);
    e.length = f->length;
    e.attributes = static_cast<std::uint32_t>(f->attribs);
    e.compression = f->folder ? f->folder->comp_type : 0;
    const int year = f->date_y < 1980 ? 1980 : (f->date_y > 2107 ? 2107 : f->date_y);
    e.dosDate = static_cast<std::uint16_t>(((year - 1980) << 9) | ((f->date_m & 0x0F) << 5) |
                                           (f->date_d & 0x1F));
    e.dosTime = static_cast<std::uint16_t>(((f->time_h & 0x1F) << 11) | ((f->time_m & 0x3F) << 5) |
                                           ((f->time_s & 0x3F) / 2));
    e.mtime = LocalSeconds(*f);
    e.file = f;
    totalLength_ += f->length;
    entries_.push_back(std::move(e));
  }
}

// The later parts of a set must lie beside the first; a missing part leaves
// its files to fail at extraction with a message that names the part.
void Cabinet::FollowSet(const std::string& path) {
  for (mscabd_cabinet* last = parts_.back(); last->nextname != nullptr && parts_.size() < 1000;
       last = parts_.back()) {
    const std::string next = Sibling(path, last->nextname);
    if (next.empty()) {
      missingNext_ = last->nextname;
      return;
    }
    const std::string& name = names_.emplace_back(next);
    mscabd_cabinet* part = decompressor_->open(decompressor_, name.c_str());
    if (part == nullptr) {
      missingNext_ = last->nextname;
      return;
    }
    if (decompressor_->append(decompressor_, last, part) != MSPACK_ERR_OK) {
      decompressor_->close(decompressor_, part);
      missingNext_ = last->nextname;
      return;
    }
    parts_.push_back(part);
  }
}

// Closing the first part frees every part appended to it: the set is one
// structure to libmspack.
Cabinet::~Cabinet() {
  if (decompressor_ == nullptr) return;
  if (!parts_.empty()) decompressor_->close(decompressor_, parts_.front());
  mspack_destroy_cab_decompressor(decompressor_);
}

// Why entry cannot be read when its folder runs into a part of the set that
// is not here; "" when it does not.
std::string Cabinet::MissingPartOf(const CabEntry& entry) const {
  const mscabd_folder* folder = entry.file != nullptr ? entry.file->folder : nullptr;
  if (folder == nullptr || parts_.empty()) return {};
  const mscabd_cabinet* first = parts_.front();
  if (first->prevname != nullptr && folder == first->folders)
    return "このファイルは前のキャビネット " + std::string(first->prevname) +
           " から続いています。セットの最初のキャビネットから開いてください";
  if (missingNext_.empty()) return {};
  const mscabd_folder* last = first->folders;
  while (last != nullptr && last->next != nullptr) last = last->next;
  if (folder != last) return {};
  return "このファイルの続きを収めたキャビネット " + missingNext_ + " が見つかりません";
}

ExtractResult Cabinet::Extract(const CabEntry& entry, int fd) {
  files_.SetWriteFd(fd);
  files_.ClearWriteFailed();
  const int err = decompressor_->extract(decompressor_, const_cast<mscabd_file*>(entry.file),
                                         MspackFiles::kOutputName);
  files_.SetWriteFd(-1);
  if (err == MSPACK_ERR_OK) return {};
  if (files_.WriteFailed() || err == MSPACK_ERR_WRITE || err == MSPACK_ERR_NOMEMORY)
    return {false, false, MspackError(err)};
  if (const std::string missing = MissingPartOf(entry); !missing.empty())
    return {false, true, missing};
  return {false, true, MspackError(err)};
}

ExtractResult Cabinet::Decode(const CabEntry& entry) {
  files_.SetWriteToWalk(true);
  ExtractResult r = Extract(entry, -1);
  files_.SetWriteToWalk(false);
  return r;
}

}  // namespace cab

#include <fcntl.h>
#include <unistd.h>

namespace cab {

std::unique_ptr<Cabinet> OpenCabinetOrProgram(const std::string& path) {
  try {
    return std::make_unique<Cabinet>(path);
  } catch (const std::runtime_error&) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw;
    const auto appended = arc::FindAppendedData(fd);
    ::close(fd);
    if (!appended || appended->Empty()) throw;
    return std::make_unique<Cabinet>(path, appended->offset);
  }
}

}  // namespace cab
