// kmtarsef.exe: a self-extracting tar or tgz. The archive follows the
// program's own ELF image; it is extracted into the current folder, or the
// folder named on the command line, with the rules of tar32.dll's x command
// (nothing outside the folder, links only inside, no devices, no set-id
// bits, existing files replaced only by newer members, or always with -o).
//
//   kmtarsef.exe [-o] [FOLDER]
//
// Exit status: 0 done (a skipped device or an absolute name made relative
// is only reported); 1 the archive is damaged or unreadable, or a member was
// refused or not written; 2 bad arguments, or nothing is attached.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/AppendedData.h"
#include "common/ArchiverApi.h"
#include "common/Messages.h"
#include "common/Progress.h"
#include "common/Report.h"
#include "tararc/TarExtractor.h"

int main(int argc, char** argv) {
  tararc::ExtractSettings settings;
  settings.rules.stripAbsolute = true;
  settings.rules.linksInside = true;
  settings.rules.backslashSeparates = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-o") == 0) {
      settings.rules.overwriteAlways = true;
    } else if (argv[i][0] == '-' || !settings.baseDir.empty()) {
      std::fprintf(stderr, "%s\n", arc::msg::SfxUsage(argv[0]).c_str());
      return 2;
    } else {
      settings.baseDir = argv[i];
    }
  }
  const int fd = ::open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    std::fprintf(stderr, "%s\n", arc::msg::SfxCannotReadSelf(std::strerror(errno)).c_str());
    return 2;
  }
  const auto appended = arc::FindAppendedData(fd);
  if (!appended || appended->Empty()) {
    std::fprintf(stderr, "%s\n", arc::msg::SfxNoArchive().c_str());
    return 2;
  }
  arc::Report report;
  arc::Progress progress;
  const std::int32_t result =
      tararc::ExtractArchive(fd, appended->offset, "付属の書庫", settings, report, progress);
  ::close(fd);
  std::fputs(report.Text().c_str(), result == arc::kOk ? stdout : stderr);
  return result == arc::kOk || result == arc::kWarning ? 0 : 1;
}
