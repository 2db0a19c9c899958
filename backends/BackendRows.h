// The back ends this build has, one row each: the format, what a caller
// needs to know of it (its names, whether and how it is written, how its
// members are checked), how to construct its back end and how it recognises
// an archive by content. The archive component walks these rows and knows
// no concrete back end; the application asks them instead of naming formats.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "archivecore/ArchiverType.h"
#include "backends/Archiver.h"

namespace pelsok {

// How the check before deletion makes sure each member comes back whole.
enum class TMemberCheck : std::uint8_t {
  // The library's test command decodes every member against its CRC; the
  // listing keeps no checksum a log can be compared with, so before logs go
  // the archive is extracted as for Extraction.
  LibraryTest,
  // The library's test command, and the listing's CRC-16 of each member is
  // compared with the log on disk.
  ListingCrc16,
  // No test command: the archive is extracted into a fresh folder, which
  // gives each member the CRC-32 of what came out.
  Extraction,
};

struct TBackendRow {
  TArchiverType Type = atNone;
  // As --format and the settings spell it, lower case: "lzh".
  const char* Name = "";
  // For people, with the menu's access key after '&': "T&GZ (tar + gzip)".
  const char* Title = "";
  // The extension of a new archive's name (".LZH"); null when this build
  // cannot write the format.
  const char* WriteExtension = nullptr;
  TMemberCheck Check = TMemberCheck::LibraryTest;
  // The place among the writable formats in menus and lists, from 1 (the
  // default); 0 for a format that is not written.
  std::uint8_t WritePlace = 0;
  // Constructs the back end, which loads its library or raises EArchiver.
  std::unique_ptr<TArchiver> (*Create)() = nullptr;
  // The format the file's content shows, atNone when it is not this
  // back end's; a missing library answers atNone. Null when another row's
  // check recognises this format too (the TAR check answers for TGZ and BZ2).
  TArchiverType (*Detect)(const std::string& fileName) = nullptr;

  bool Writable() const { return WriteExtension != nullptr; }
  // The title without its access-key mark: "TGZ (tar + gzip)".
  std::string PlainTitle() const;
};

// The rows in the order the content checks run: the TAR family, RAR, ARJ,
// CAB, ZIP, LHA. A later positive answer overrides an earlier one.
std::span<const TBackendRow> BackendRows();

// The row of type t; null when this build has no back end for it.
const TBackendRow* FindBackendRow(TArchiverType t);

}  // namespace pelsok
