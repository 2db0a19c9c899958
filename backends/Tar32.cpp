#include "backends/Tar32.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "archivecore/CmdOpt.h"
#include "archivecore/EArchiver.h"
#include "backends/ListingCalls.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Window.h"

namespace pelsok {

namespace {

// The entry after the listing entries in the binding.
constexpr std::size_t kGetArchiveType = listing::kFindNext + 1;

typedef std::int32_t (*TarGetArchiveTypeProc)(const char* fileName);

// A descriptor closed when the copy ends, also when it fails.
class FileHandle {
 public:
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

FileHandle OpenForReading(const std::string& name) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw platform::EFileError("ファイル " + name + " を開けません。");
  return FileHandle(fd);
}

// Copies everything from `from` to `to`; false on any read or write error.
bool CopyAll(int from, int to) {
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(from, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    for (ssize_t done = 0; done < n;) {
      ssize_t w = ::write(to, buf + done, static_cast<std::size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return false;
      done += w;
    }
  }
}

}  // namespace

LibraryBinding& TTar32::Library() {
  static LibraryBinding binding =
      listing::Binding("tar32.dll", "tar/tgz/taz/bz2 形式書庫を扱うには tar32.dll が 必要です。",
                       "Tar", {"GetArchiveType"});
  return binding;
}

namespace {

// MakeSfx is the back end's own; the command line follows the class. "t"
// decodes every member without writing it.
const TLibraryFormat kFormat{.Library = &TTar32::Library,
                             .ProgressEntry = "TarSetProgressCallback",
                             .MakeCmdLine = nullptr,
                             .Unpack = "x",
                             .Pack = "c",
                             .Test = "t",
                             .ReadEntry = "TarReadMembers"};

}  // namespace

TTar32::TTar32() : TLibraryArchiver(kFormat) { LoadDll(); }

std::int32_t TTar32::MakeSfx(ArcWnd /*wnd*/, const std::string& archiveName,
                             const TArchiverOptions& /*options*/, std::string& /*output*/) {
  if (dynamic_cast<const TBZ232*>(this) != nullptr)
    throw EArchiver("BZ2 形式書庫は自己解凍形式にできません。");
  const std::string stubName = platform::SearchPath("kmtarsef.exe");
  if (stubName.empty())
    throw EArchiver("tar/tgz 書庫からの自己解凍書庫の作成には kmtarsef.exe が必要です。");
  const std::string exeName = platform::ChangeFileExt(archiveName, ".EXE");
  // Its output would take its own name: the archive must survive.
  if (strcasecmp(platform::ExtractFileExt(archiveName).c_str(), ".exe") == 0)
    throw EArchiver("書庫 " + archiveName + " は自己解凍書庫と同じ名前です。");
  FileHandle archive = OpenForReading(archiveName);
  // The program appears under its name only whole: written to a temporary
  // file beside it and renamed.
  std::string tempName = exeName + ".XXXXXX";
  const int tempFd = ::mkstemp(tempName.data());
  if (tempFd < 0) throw platform::EFileError("ファイル " + exeName + " を作成できません。");
  FileHandle temp(tempFd);
  bool done = false;
  try {
    FileHandle stub = OpenForReading(stubName);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (!CopyAll(stub.get(), temp.get()) || !CopyAll(archive.get(), temp.get()) ||
        ::fchmod(temp.get(), 0777 & ~mask) != 0 || ::fsync(temp.get()) != 0 ||
        ::rename(tempName.c_str(), exeName.c_str()) != 0)
      throw platform::EFileError("ファイル " + exeName + " に書き込めません。");
    done = true;
  } catch (...) {
    if (!done) ::unlink(tempName.c_str());
    throw;
  }
  return 0;
}

std::string TTar32::MakeCmdLine(const std::string& command, const std::string& archiveName,
                                const TArchiverOptions& o, const std::string& baseDir,
                                const platform::TStringList* fileList) const {
  TCmdOpt cmd;
  if (o.a > 0) {
    cmd.AddText("-AH");
  } else if (o.a == 0) {
    cmd.AddText("-I");
  }
  if (o.n > 0) cmd.AddText("--display-dialog=0");
  if (o.o > 0) cmd.AddText("-g");
  cmd.AddNumber("-check-all-path=", o.p);
  cmd.AddNumber("-use-directory=", o.x);
  const char* compression = nullptr;
  if (dynamic_cast<const TTgz32*>(this) != nullptr) compression = "z";
  if (dynamic_cast<const TBZ232*>(this) != nullptr) compression = "B";
  if (dynamic_cast<const TTxz32*>(this) != nullptr) compression = "J";
  if (dynamic_cast<const TTzst32*>(this) != nullptr) compression = "-zstd=";
  if (compression != nullptr) {
    if (o.jm >= 1) {
      cmd.AddNumber(compression, o.jm);
    } else {
      std::string plain = compression;
      if (plain.back() == '=') plain.pop_back();
      cmd.AddText("-" + plain);
    }
  }
  cmd.AddText(o.UserOptions);
  if (!archiveName.empty()) {
    cmd.AddText("-f");
    cmd.AddString("", archiveName);
  }
  if (!baseDir.empty()) {
    cmd.AddText("-o");
    cmd.AddDir("", baseDir);
  }
  if (fileList != nullptr) cmd.AddList("", *fileList);
  cmd.AddText(o.UserFileList);
  return command + cmd.Text;
}

std::int32_t TTar32::RunCommand(ArcWnd wnd, std::string& output) {
  const std::int32_t result = TLibraryArchiver::RunCommand(wnd, output);
  if (wnd != nullptr) platform::SetForegroundWindow(wnd);
  return result;
}

TArchiverType DetectTarType(const std::string& fileName) {
  try {
    auto type = TTar32::Library().EntryAs<TarGetArchiveTypeProc>(kGetArchiveType);
    switch (type(fileName.c_str())) {
      case 1:
        return atTar;
      case 2:
      case 3:
      case 4:
      case 5:
        return atTgz;
      case 6:
      case 7:
        return atBZ2;
      case 8:
      case 9:
        return atTxz;
      case 10:
      case 11:
        return atTzst;
      default:
        return atNone;
    }
  } catch (...) {
    return atNone;
  }
}

}  // namespace pelsok
