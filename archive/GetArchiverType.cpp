#include "archive/GetArchiverType.h"

#include <strings.h>

#include "backends/BackendRows.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"

namespace pelsok {

namespace {

struct ExtensionRow {
  const char* Ext;
  TArchiverType Type;
};

constexpr ExtensionRow kExtensions[] = {
    {".z", atTgz},   {".gz", atTgz},  {".tgz", atTgz}, {".taz", atTgz},
    {".tar", atTar}, {".bz2", atBZ2}, {".tbz", atBZ2}, {".rar", atRar},
    {".arj", atArj}, {".zip", atZip}, {".cab", atCab}, {".lzh", atLha},
};

// Only ASCII letters fold, as the comparison must.
bool SameExtension(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

}  // namespace

TArchiverType DetectArchiverType(const std::string& name, std::span<const TBackendRow> rows) {
  TArchiverType result = atNone;
  for (const TBackendRow& row : rows) {
    if (row.Detect == nullptr) continue;
    TArchiverType t = atNone;
    try {
      t = row.Detect(name);
    } catch (const platform::Exception&) {
      // A library that cannot be loaded or lacks an entry: not this format.
    }
    if (t != atNone) result = t;
  }
  return result;
}

TArchiverType GetArchiverType(const std::string& name, bool byExtension) {
  if (!byExtension) return DetectArchiverType(name, BackendRows());
  const std::string ext = platform::ExtractFileExt(name);
  TArchiverType result = atNone;
  for (const auto& row : kExtensions) {
    if (SameExtension(ext, row.Ext)) {
      result = row.Type;
      break;
    }
  }
  if (SameExtension(ext, ".exe")) result = GetArchiverType(name, false);
  return result;
}

}  // namespace pelsok
