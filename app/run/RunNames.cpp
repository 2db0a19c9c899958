#include "app/run/RunNames.h"

#include "platform/Paths.h"

namespace pelsok::app {

TLogNames RunLogNames(const TRunInput& in) {
  TLogNames names =
      MakeLogNames(in.Folder, in.Kind, in.Year, in.Month, in.SixDigit, in.Format.Extension);
  if (!in.ArchiveFolder.empty() && !names.ArchiveName.empty())
    names.ArchiveName = in.ArchiveFolder + platform::ExtractFileName(names.ArchiveName);
  return names;
}

}  // namespace pelsok::app
