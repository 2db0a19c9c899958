// Feeds any bytes to tar32.dll's entries as an archive file: the type
// check, a whole listing, and an extraction into a scratch folder that is
// removed afterwards. Nothing may crash, hang or write outside the folder.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "archivers/common/ArchiverApi.h"

extern "C" {
std::int32_t Tar(ArcWnd wnd, const char* cmdLine, char* output, std::uint32_t size);
ArcHandle TarOpenArchive(ArcWnd wnd, const char* archiveName, std::uint32_t mode);
std::int32_t TarCloseArchive(ArcHandle handle);
std::int32_t TarFindFirst(ArcHandle handle, const char* wildName, TArchiveEntryInfo* info);
std::int32_t TarFindNext(ArcHandle handle, TArchiveEntryInfo* info);
std::int32_t TarGetArchiveType(const char* fileName);
}

namespace {

const std::filesystem::path& Scratch() {
  static const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("tar32-fuzz-" + std::to_string(::getpid()));
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::filesystem::create_directories(Scratch());
  const std::string archive = (Scratch() / "input.tar").string();
  {
    std::ofstream out(archive, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  TarGetArchiveType(archive.c_str());
  if (ArcHandle h = TarOpenArchive(nullptr, archive.c_str(), 0)) {
    TArchiveEntryInfo info;
    for (int r = TarFindFirst(h, "*", &info); r == 0; r = TarFindNext(h, &info)) {
    }
    TarCloseArchive(h);
  }
  const std::string out = (Scratch() / "out").string();
  char report[4096];
  Tar(nullptr, ("x -f \"" + archive + "\" -o \"" + out + "/\"").c_str(), report, sizeof report);
  std::error_code ec;
  std::filesystem::remove_all(out, ec);
  return 0;
}
