#include "archive/GetArchiverType.h"

#include <strings.h>

#include <algorithm>

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

// The extensions beside those the writable formats' rows name.
constexpr ExtensionRow kOtherExtensions[] = {
    {".z", atTgz},  {".gz", atTgz},   {".taz", atTgz}, {".bz2", atBZ2},
    {".xz", atTxz}, {".zst", atTzst}, {".rar", atRar}, {".arj", atArj},
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

std::vector<const TBackendRow*> WritableFormatRows() {
  std::vector<const TBackendRow*> rows;
  for (const TBackendRow& row : BackendRows())
    if (row.Writable()) rows.push_back(&row);
  std::stable_sort(rows.begin(), rows.end(), [](const TBackendRow* a, const TBackendRow* b) {
    return a->WritePlace < b->WritePlace;
  });
  return rows;
}

TArchiverType GetArchiverType(const std::string& name, bool byExtension) {
  if (!byExtension) return DetectArchiverType(name, BackendRows());
  const std::string ext = platform::ExtractFileExt(name);
  TArchiverType result = atNone;
  for (const TBackendRow& row : BackendRows()) {
    if (row.Writable() && SameExtension(ext, row.WriteExtension)) result = row.Type;
  }
  for (const auto& row : kOtherExtensions) {
    if (SameExtension(ext, row.Ext)) result = row.Type;
  }
  if (SameExtension(ext, ".exe")) result = GetArchiverType(name, false);
  return result;
}

}  // namespace pelsok
