// s: makes a self-extracting program from the archive: the stub "lzhsfx"
// found next to this library, the archive, and the trailer that tells the
// stub where the archive starts. The result is the archive's name with
// ".EXE" in place of its extension, executable.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "Commands.h"
#include "OpenArchive.h"
#include "common/ArchiverApi.h"
#include "common/Failure.h"
#include "common/Messages.h"
#include "common/ReplacementFile.h"
#include "lzharc/FileStreams.h"
#include "lzharc/SfxTrailer.h"
#include "platform/Paths.h"

namespace unlha {
namespace {

std::string StubPath() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&StubPath), &info) == 0 || info.dli_fname == nullptr)
    return "lzhsfx";
  std::string self = info.dli_fname;
  auto slash = self.rfind('/');
  return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) + "lzhsfx";
}

void Append(int from, std::uint64_t length, const std::string& fromName, int to,
            const std::string& toName) {
  std::vector<std::uint8_t> buf(1 << 16);
  std::uint64_t at = 0;
  while (at < length) {
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(length - at, buf.size()));
    lzh::ReadAt(from, buf.data(), n, at, fromName);
    lzh::WriteAll(to, buf.data(), n, toName);
    at += n;
  }
}

}  // namespace

std::int32_t RunMakeSfx(const UnlhaOptions& o, arc::Report& report) {
  OpenArchive archive(o.archive);
  const std::string stub = StubPath();
  int stubFd = ::open(stub.c_str(), O_RDONLY | O_CLOEXEC);
  if (stubFd < 0)
    throw arc::Failure(
        arc::kCannotRead,
        arc::msg::CannotOpen("自己解凍スタブ " + arc::msg::Quoted(stub), std::strerror(errno)));
  struct stat st {};
  ::fstat(stubFd, &st);
  std::string target = platform::ChangeFileExt(o.archive, ".EXE");
  if (!o.baseDir.empty()) target = o.baseDir + platform::ExtractFileName(target);
  try {
    arc::ReplacementFile out(target, o.workDir);
    Append(stubFd, static_cast<std::uint64_t>(st.st_size), stub, out.fd(), out.TempPath());
    Append(archive.fd(), archive.index().end, o.archive, out.fd(), out.TempPath());
    const std::uint8_t endMark = 0;
    lzh::WriteAll(out.fd(), &endMark, 1, out.TempPath());
    std::uint8_t trailer[lzh::kSfxTrailerSize];
    lzh::MakeSfxTrailer(static_cast<std::uint64_t>(st.st_size), trailer);
    lzh::WriteAll(out.fd(), trailer, sizeof trailer, out.TempPath());
    out.Commit(true);
  } catch (const std::exception& e) {
    ::close(stubFd);
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  ::close(stubFd);
  report.Line(arc::msg::MadeSfx(target, archive.index().members.size()));
  return arc::kOk;
}

}  // namespace unlha
