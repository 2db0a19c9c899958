// What a "Tar" command line asks of the library, read from the parsed pieces.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/CommandLine.h"
#include "common/Failure.h"
#include "tararc/TarReader.h"

namespace tar32 {

struct TarOptions {
  char command = 0;  // 'c' create, 'x' extract, 't' test (decode, write nothing)
  std::string archive;
  std::string baseDir;             // from -o, with its trailing '/'; empty when none
  std::vector<std::string> files;  // c: files, folders, masks; x: member masks
  // -z[N], -B[N], -J[N], --zstd[=N]; nullopt: chosen by the archive's
  // extension when creating.
  std::optional<tararc::Compression> compression;
  // 1..9 (zstd 1..19); 0: the compressor's default (gzip 6, bzip2 9, and
  // for xz and zstd ours, StreamCompressor.h)
  int level = 0;
  bool useDirectory = true;  // --use-directory=1 (default): names keep their folders
  bool checkAllPath =
      false;  // --check-all-path=1: refuse the whole archive if one member is unsafe
  bool includeHidden = false;    // -AH: files and folders whose names begin with '.'
  bool overwriteAlways = false;  // -c1: x replaces existing files whatever their time
};

const std::vector<std::string>& KnownSwitches();

// Throws arc::Failure(kBadCommand) for an unknown command, a missing
// archive name or a switch value it cannot use.
TarOptions ReadOptions(const arc::CommandLine& line);

// The compression a new archive gets from its name when no switch says:
// .tgz .tar.gz .gz gzip; .tbz .tbz2 .tar.bz2 .bz2 bzip2; .taz .tar.Z .Z compress;
// .txz .tar.xz .xz xz; .tzst .tar.zst .zst zstd.
tararc::Compression CompressionForName(const std::string& archive);

}  // namespace tar32
