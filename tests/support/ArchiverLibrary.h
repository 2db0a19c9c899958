// One of the archiver libraries we build, loaded from its file with dlopen,
// with its standard entries looked up under the library's prefix: "Unlha",
// "UnlhaOpenArchive", "UnlhaFindFirst", ... An entry the library does not
// export stays null.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archivers/common/ArchiverApi.h"

namespace testing_support {

// What a library's command entry returned and the text it wrote.
struct RunResult {
  std::int32_t result = -1;
  std::string output;
};

class ArchiverLibrary {
 public:
  // Loads the library at path. prefix names the command entry and those
  // spelled after it (progress, version); listPrefix the listing entries
  // (open, close, find, check, size) where the library spells them otherwise,
  // as ZIP32J.DLL does: "Zip" beside "UnZipOpenArchive". The library stays
  // loaded for the life of the process.
  ArchiverLibrary(const std::string& path, const std::string& prefix,
                  const std::string& listPrefix = "");
  ArchiverLibrary(const ArchiverLibrary&) = delete;
  ArchiverLibrary& operator=(const ArchiverLibrary&) = delete;

  // "" when the library loaded with its command and listing entries, else
  // what is missing, for the test's failure message.
  const std::string& Problem() const { return problem_; }

  // Any other entry by its exact name; null when the library lacks it.
  template <typename Proc>
  Proc Entry(const std::string& name) const {
    return reinterpret_cast<Proc>(Symbol(name));
  }

  // Runs one command line with an output buffer of size bytes (none when
  // size is 0), filled beforehand with 0x7f so that a missing terminator shows.
  RunResult Run(const std::string& commandLine, std::uint32_t size = 65536) const;

  // Every record the find entries give for the wildcard; none when the
  // archive does not open (opened, when given, tells which).
  std::vector<TArchiveEntryInfo> List(const std::string& archive, const std::string& wild = "*",
                                      std::uint32_t mode = 0, bool* opened = nullptr) const;

  ArcCommandProc command = nullptr;
  ArcOpenProc open = nullptr;
  ArcCloseProc close = nullptr;
  ArcFindFirstProc findFirst = nullptr;
  ArcFindNextProc findNext = nullptr;
  ArcCheckArchiveProc check = nullptr;
  ArcGetSize64Proc size64 = nullptr;
  ArcSetProgressProc setProgress = nullptr;
  ArcGetVersionProc version = nullptr;

 private:
  void* Symbol(const std::string& name) const;

  void* handle_ = nullptr;
  std::string problem_;
};

// name in double quotes, as the libraries' command lines take a name with
// spaces. Short, as P() is: tests quote a name on nearly every line.
std::string Q(const std::string& name);

}  // namespace testing_support
