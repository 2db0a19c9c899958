// One Compress run: packs one month's logs of one kind into its archive of
// the chosen format, lists the archive and, when asked and confirmed,
// deletes the packed logs.
// The window and the command-line front both run it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/run/DeletionPass.h"
#include "app/run/LogNames.h"
#include "app/run/RunGrade.h"
#include "app/run/RunState.h"
#include "app/settings/ArchiveFormat.h"
#include "archive/EntryTypes.h"

namespace pelsok::app {

struct TRunInput {
  std::string Folder;  // P, used unchanged
  std::string Kind;    // K
  std::string Year;    // Y, as typed
  std::string Month;   // M, as typed
  bool SixDigit = false;
  bool DeleteAfter = false;
  TArchiveFormat Format = ArchiveFormats().front();
  // LZH and ZIP store the names as Shift-JIS (cp932) for Windows users;
  // the other formats store them as they are.
  bool ShiftJisNames = false;
  // Where the archive goes, with its trailing '/'; empty: beside the logs.
  std::string ArchiveFolder = {};
  // NAME.sha256 beside a new archive that came back whole; the window always
  // writes it, the command line leaves it out with --no-manifest.
  bool WriteManifest = true;
};

struct TRunResult {
  TLogNames Names;
  std::int32_t PackResult = 0;
  // What the library reported for the pack (its output text).
  std::string PackReport;
  std::vector<TListedEntry> Entries;
  // The archive did not fit: what is left on the disk of its folder.
  std::optional<std::uint64_t> DiskFullFree;
  bool NewArchiveKept = false;  // the new archive is in place
  bool OldArchiveRestored = false;
  // Where the old archive was kept because it holds entries the new one
  // lacks (a rebuild after some logs were deleted); empty otherwise.
  std::string OldArchiveKeptAs;
  // One line per thing the run put right or wants the user to know: an
  // interrupted run's leftovers it repaired, every old archive kept beside
  // this one, an old archive too damaged to read.
  std::vector<std::string> Notes;
  bool Confirmed = false;  // deletion was asked and answered OK
  // Cancelled while the new archive was being checked: no log went.
  bool DeletionCancelled = false;
  TDeletionResult Deletion;
  // The manifest written beside the new archive, full name; empty when none
  // was (not asked for, or the Notes say why).
  std::string Manifest;
  TRunGrade Grade = TRunGrade::Ok;
};

class TCompressRun {
 public:
  // Asked once before the deletion pass; true means delete.
  using ConfirmFn = std::function<bool()>;

  TCompressRun(TRunState& state, ArcWnd wnd = nullptr) : state_(state), wnd_(wnd) {}

  // Raises the conversion error for a month that is not an integer, an
  // error when another run holds this month and kind or the folder cannot
  // be written, and any error of the archive component; an existing archive
  // is back in place whenever no new archive was made.
  TRunResult Run(const TRunInput& input, const ConfirmFn& confirm);

  // The warning for a kept old archive.
  static std::string OldArchiveKeptMessage(const TRunResult& result);

  // "0000" style: upper-case hexadecimal, at least four digits.
  static std::string ResultText(std::int32_t result);

 private:
  TRunState& state_;
  ArcWnd wnd_;
};

}  // namespace pelsok::app
