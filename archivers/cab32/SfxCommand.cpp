// -f: makes a self-extracting program: the stub "cabsfx" found next to this
// library followed by the cabinet's bytes. The stub finds the cabinet after
// its own ELF image. The result is the cabinet's name with ".EXE" in place
// of its extension (in the base folder when one is given), executable.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "Cabinet.h"
#include "Commands.h"
#include "common/ArchiverApi.h"
#include "common/Failure.h"
#include "common/Messages.h"
#include "common/ReplacementFile.h"
#include "common/SafeText.h"
#include "platform/Paths.h"

namespace cab {
namespace {

std::string StubPath() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&StubPath), &info) == 0 || info.dli_fname == nullptr)
    return "cabsfx";
  const std::string self = info.dli_fname;
  const auto slash = self.rfind('/');
  return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) + "cabsfx";
}

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

// Copies length bytes of from, starting at offset, to the end of to.
void Copy(int from, std::uint64_t offset, std::uint64_t length, int to) {
  std::vector<char> buf(1 << 16);
  while (length > 0) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(length, buf.size()));
    const ssize_t n = ::pread(from, buf.data(), want, static_cast<off_t>(offset));
    if (n <= 0) throw std::runtime_error(arc::msg::CannotRead("ファイル", "途中で終わっています"));
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(to, buf.data() + done, static_cast<std::size_t>(n - done));
      if (w <= 0) throw std::runtime_error(arc::msg::CannotWrite("ファイル", std::strerror(errno)));
      done += w;
    }
    offset += static_cast<std::uint64_t>(n);
    length -= static_cast<std::uint64_t>(n);
  }
}

}  // namespace

std::int32_t RunMakeSfx(const CabOptions& o, arc::Report& report) {
  std::unique_ptr<Cabinet> cabinet;
  try {
    cabinet = OpenCabinetOrProgram(o.archive);
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kNotArchive, e.what());
  }
  if (cabinet->Parts() != 1)
    throw arc::Failure(arc::kBadCommand, "分割されたキャビネットは自己解凍書庫にできません");
  const std::string stub = StubPath();
  Fd stubFd{::open(stub.c_str(), O_RDONLY | O_CLOEXEC)};
  Fd cabFd{::open(o.archive.c_str(), O_RDONLY | O_CLOEXEC)};
  struct stat st {};
  if (stubFd.fd < 0 || ::fstat(stubFd.fd, &st) != 0)
    throw arc::Failure(
        arc::kCannotRead,
        arc::msg::CannotOpen("自己解凍スタブ " + arc::msg::Quoted(arc::SafeText(stub)),
                             std::strerror(errno)));
  if (cabFd.fd < 0)
    throw arc::Failure(
        arc::kCannotRead,
        arc::msg::CannotOpen(arc::msg::Quoted(arc::SafeText(o.archive)), std::strerror(errno)));
  std::string target = platform::ChangeFileExt(o.archive, ".EXE");
  if (!o.baseDir.empty()) target = o.baseDir + platform::ExtractFileName(target);
  try {
    arc::ReplacementFile out(target);
    Copy(stubFd.fd, 0, static_cast<std::uint64_t>(st.st_size), out.fd());
    Copy(cabFd.fd, cabinet->Offset(), cabinet->CabinetBytes(), out.fd());
    out.Commit(true);
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  report.Line(arc::msg::MadeSfx(arc::SafeText(target), cabinet->Entries().size()));
  return arc::kOk;
}

}  // namespace cab
