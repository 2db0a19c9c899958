// The archive formats a Compress run can write, one per writable back-end
// row, and the setting that chooses one (stored in the hive under "Format",
// LZH when nothing is stored). The archive's extension follows the format.
// The first format is the default.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "archivecore/ArchiverType.h"
#include "backends/BackendRows.h"

namespace pelsok::app {

struct TArchiveFormat {
  const char* Name;       // as --format and the hive spell it, lower case: "lzh"
  const char* Extension;  // of the archive name: ".LZH"
  TArchiverType Type;
  const char* MenuText;  // the window's menu item, with its access key: "&LZH"
  const TBackendRow* Row = nullptr;
};

std::span<const TArchiveFormat> ArchiveFormats();
// The row of a name, in any case; nullopt for a format this build cannot write.
std::optional<TArchiveFormat> FindArchiveFormat(const std::string& name);
// "lzh, ..." for messages.
std::string ArchiveFormatNames();

// The stored choice; the first row when nothing (or an unknown name) is stored.
TArchiveFormat LoadArchiveFormat();
void SaveArchiveFormat(const TArchiveFormat& format);

}  // namespace pelsok::app
