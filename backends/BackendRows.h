// The back ends this build has, one row each: the format, how to construct
// its back end and how it recognises an archive by content. The archive
// component walks these rows and knows no concrete back end.
#pragma once

#include <memory>
#include <span>
#include <string>

#include "archivecore/ArchiverType.h"
#include "backends/Archiver.h"

namespace pelsok {

struct TBackendRow {
  TArchiverType Type;
  // Constructs the back end, which loads its library or raises EArchiver.
  std::unique_ptr<TArchiver> (*Create)();
  // The format the file's content shows, atNone when it is not this
  // back end's; a missing library answers atNone. Null when another row's
  // check recognises this format too (the TAR check answers for TGZ and BZ2).
  TArchiverType (*Detect)(const std::string& fileName);
};

// The rows in the order the content checks run: the TAR family, RAR, ARJ,
// CAB, ZIP, LHA. A later positive answer overrides an earlier one.
std::span<const TBackendRow> BackendRows();

// The row of type t; null when this build has no back end for it.
const TBackendRow* FindBackendRow(TArchiverType t);

}  // namespace pelsok
