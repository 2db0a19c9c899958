#include "archive/ArchiverType.h"

#include <strings.h>

#include "backends/Lha32.h"
#include "platform/CodePage.h"
#include "platform/Paths.h"

namespace pelsok {

namespace {

struct ExtensionRow {
  const char* ext;
  TArchiverType type;
};

constexpr ExtensionRow kExtensions[] = {
    {".z", atTgz},   {".gz", atTgz},  {".tgz", atTgz}, {".taz", atTgz},
    {".tar", atTar}, {".bz2", atBZ2}, {".rar", atRar}, {".arj", atArj},
    {".zip", atZip}, {".cab", atCab}, {".lzh", atLha},
};

// Only ASCII letters fold, as the comparison must.
bool SameExtension(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

// Content checks of the formats that have a back end here. A format whose
// library is not part of this build answers no.
TArchiverType DetectByContent(const std::string& name) {
  TArchiverType result = atNone;  // tar family, rar, arj, cab, zip: no back end yet
  if (IsLhaArchive(name)) result = atLha;
  return result;
}

}  // namespace

TArchiverType GetArchiverType(const std::string& name, bool byExtension) {
  if (!byExtension) return DetectByContent(name);
  const std::string ext = platform::ExtractFileExt(name);
  TArchiverType result = atNone;
  for (const auto& row : kExtensions) {
    if (SameExtension(ext, row.ext)) {
      result = row.type;
      break;
    }
  }
  if (SameExtension(ext, ".exe")) result = GetArchiverType(name, false);
  return result;
}

}  // namespace pelsok
