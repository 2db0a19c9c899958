// What a "Zip" or "UnZip" command line asks for. Neither line has a command
// word: the command is a switch (-d deletes, -x extracts, -t tests, -l
// lists; a "Zip" line without -d adds and replaces), and single-letter
// switches may be grouped ("-ru" is "-r -u").
#pragma once

#include <string>
#include <vector>

#include "common/CommandLine.h"

namespace zipcore {

enum class ZipCommand { add, remove, extract, test, list };

struct ZipOptions {
  ZipCommand command = ZipCommand::add;
  std::string archive;
  std::string baseDir;  // with its trailing '/', empty when none
  std::vector<std::string> files;
  std::string password;  // -P<password>, reading only

  // "Zip"
  bool recurse = false;            // -r
  bool junkPaths = false;          // -j (also "UnZip": every file into the base folder)
  bool onlyNewer = false;          // -u
  bool noFolderEntries = false;    // -D
  bool includeHidden = false;      // -S
  bool quiet = false;              // -q ("UnZip": -q and --i)
  bool verbose = false;            // -v
  bool archiveTimeNewest = false;  // -o ("Zip")
  int level = 7;                   // -0 .. -9 (default 7)
  bool msdos = false;              // -k
  bool stripSfx = false;           // -J
  bool salvage = false;            // -FF (and -F)
  int threads = 0;                 // --threads=<n>: deflating threads, 0 one per core

  // "UnZip"
  bool overwrite = false;  // -o
};

// Reads a "Zip" (unzip false) or "UnZip" (unzip true) line. Throws
// arc::Failure(kBadCommand) for a line without an archive name, for -d/-u
// without file names, or for a thread count that is not 0 to 64.
ZipOptions ReadZipOptions(const std::string& text, bool unzip);

}  // namespace zipcore
