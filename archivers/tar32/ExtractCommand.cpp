// x: extracts the matching members into the base folder (the current folder
// when none is given) through the shared safe extractor; t: decodes them
// and checks the stream, writing nothing.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ArchiveStart.h"
#include "Commands.h"
#include "common/ArchiverApi.h"
#include "common/Messages.h"
#include "common/SafeText.h"
#include "tararc/TarExtractor.h"

namespace tar32 {

std::int32_t RunExtract(const TarOptions& o, arc::Report& report, arc::Progress& progress) {
  const int fd = ::open(o.archive.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    throw arc::Failure(
        arc::kNotArchive,
        arc::msg::CannotOpen(arc::msg::Quoted(arc::SafeText(o.archive)), std::strerror(errno)));
  if (o.command == 't') {
    const std::int32_t result =
        tararc::TestArchive(fd, ArchiveStart(fd), o.archive, o.files, report, progress);
    ::close(fd);
    return result;
  }
  tararc::ExtractSettings s;
  s.baseDir = o.baseDir;
  s.rules.withFolders = o.useDirectory;
  s.rules.overwriteAlways = o.overwriteAlways;
  s.rules.stripAbsolute = true;
  s.rules.linksInside = true;
  s.rules.backslashSeparates = false;
  s.masks = o.files;
  s.checkAllFirst = o.checkAllPath;
  const std::int32_t result =
      tararc::ExtractArchive(fd, ArchiveStart(fd), o.archive, s, report, progress);
  ::close(fd);
  return result;
}

}  // namespace tar32
