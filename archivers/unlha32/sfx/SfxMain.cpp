// The self-extracting stub: finds the archive appended to its own file and
// extracts every member into the current folder, with the same rules as the
// library's x command (no names outside the folder, no links, existing files
// replaced only by newer members, or always with -o).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/Messages.h"
#include "lzharc/ArchiveReader.h"
#include "lzharc/EntryName.h"
#include "lzharc/FileStreams.h"
#include "lzharc/SafeExtractor.h"
#include "lzharc/SfxTrailer.h"

int main(int argc, char** argv) {
  lzh::ExtractOptions options;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "-o") == 0) options.overwriteAlways = true;
  const std::string self = "/proc/self/exe";
  int fd = ::open(self.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0 || st.st_size < static_cast<off_t>(lzh::kSfxTrailerSize)) {
    std::fprintf(stderr, "%s\n", arc::msg::SfxCannotReadSelf().c_str());
    return 2;
  }
  std::uint8_t trailer[lzh::kSfxTrailerSize];
  const std::uint64_t end = static_cast<std::uint64_t>(st.st_size) - lzh::kSfxTrailerSize;
  try {
    lzh::ReadAt(fd, trailer, sizeof trailer, end, self);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
  auto start = lzh::ReadSfxTrailer(trailer);
  if (!start || *start >= end) {
    std::fprintf(stderr, "%s\n", arc::msg::SfxNoArchive().c_str());
    return 2;
  }
  lzh::ArchiveIndex index = lzh::ReadArchiveIndex(fd, "書庫", *start, end);
  if (!index.ok) {
    std::fprintf(stderr, "%s\n", lzh::PrintableName(index.message).c_str());
    return 1;
  }
  int status = 0;
  try {
    lzh::SafeExtractor extractor(".", options);
    for (const auto& m : index.members) {
      auto r = extractor.Extract(fd, "書庫", m);
      const std::string name = lzh::PrintableName(m.path.Joined());
      if (r.outcome == lzh::ExtractOutcome::written) {
        std::printf("%s\n", name.c_str());
      } else {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), lzh::PrintableName(r.message).c_str());
        if (r.outcome != lzh::ExtractOutcome::skippedNotNewer) status = 1;
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
  return status;
}
