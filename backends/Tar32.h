// The back ends for tar archives and their compressed forms, driving
// "tar32.dll": TTar32 (atTar), TTgz32 (atTgz), TBZ232 (atBZ2), TTxz32
// (atTxz) and TTzst32 (atTzst). They share one library binding, one
// command-line builder and one content check; the others differ from TTar32
// only in their class identity, which decides the compression switch and
// whether MakeSfx is allowed.
#pragma once

#include "archivecore/ArchiverType.h"
#include "backends/LibraryArchiver.h"

namespace pelsok {

class TTar32 : public TLibraryArchiver {
 public:
  // Loads the library; raises "tar/tgz/taz/bz2 形式書庫を扱うには tar32.dll が 必要です。" without
  // it.
  TTar32();

  // Writes the archive's name with ".EXE" for its extension: "kmtarsef.exe"
  // (found on the search path) followed by the archive, through a temporary
  // file renamed into place, executable. Raises EArchiver for a TBZ232, a
  // missing stub, or an archive that itself ends in ".EXE"; EFileError when
  // a file cannot be opened, created or copied (no .EXE is left then).
  std::int32_t MakeSfx(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                       std::string& output) override;

  // The command text: the command, then the switches, the archive, the base
  // folder and the files; the compression switch follows the class.
  std::string MakeCmdLine(const std::string& command, const std::string& archiveName,
                          const TArchiverOptions& options, const std::string& baseDir,
                          const platform::TStringList* fileList) const;
  // Then brings wnd to the front.
  std::int32_t RunCommand(ArcWnd wnd, std::string& output) override;

  // The process-wide binding of tar32.dll (shared with DetectTarType).
  static LibraryBinding& Library();

 protected:
  std::string BuildCmdLine(const std::string& command, const std::string& archiveName,
                           const TArchiverOptions& options, const std::string& baseDir,
                           const platform::TStringList* fileList) const override {
    return MakeCmdLine(command, archiveName, options, baseDir, fileList);
  }
};

class TTgz32 : public TTar32 {};

class TBZ232 : public TTar32 {};

class TTxz32 : public TTar32 {};

class TTzst32 : public TTar32 {};

// The TAR family's content check: the library's archive type mapped to
// atTar (1), atTgz (2 to 5), atBZ2 (6, 7), atTxz (8, 9), atTzst (10, 11)
// or atNone; any failure (library
// or entry missing) answers atNone.
TArchiverType DetectTarType(const std::string& fileName);

}  // namespace pelsok
