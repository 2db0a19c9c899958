// The self-extracting stub: finds the cabinet appended to its own file and
// extracts every file into the folder named on its command line, or the
// current folder, with the library's -x rules (no names outside the folder,
// existing files replaced only by newer ones, or always with -o).
// Exits 0 when everything was extracted, 1 when a file was refused, damaged
// or could not be written, 2 when the cabinet cannot be found or read.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "CabExtraction.h"
#include "Cabinet.h"
#include "common/AppendedData.h"
#include "common/Messages.h"
#include "common/SafeText.h"

int main(int argc, char** argv) {
  bool overwrite = false;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-o") == 0) {
      overwrite = true;
    } else if (folder.empty()) {
      folder = argv[i];
    } else {
      std::fprintf(stderr, "%s\n", arc::msg::SfxUsage(argv[0]).c_str());
      return 2;
    }
  }
  const char* self = "/proc/self/exe";
  const auto appended = arc::FindOwnAppendedData();
  if (!appended || appended->Empty()) {
    std::fprintf(stderr, "%s\n", arc::msg::SfxNoArchive().c_str());
    return 2;
  }
  std::unique_ptr<cab::Cabinet> cabinet;
  try {
    cabinet = std::make_unique<cab::Cabinet>(self, appended->offset);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", arc::SafeText(e.what()).c_str());
    return 2;
  }
  try {
    const cab::ExtractionSummary s =
        cab::ExtractCabinet(*cabinet, folder, true, overwrite, {},
                            [](const std::string& line) { std::printf("%s\n", line.c_str()); });
    return s.result >= 0x8000 ? 1 : 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", arc::SafeText(e.what()).c_str());
    return 2;
  }
}
