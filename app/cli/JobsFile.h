// The jobs file of `pelsok-cli --jobs FILE`: an INI file with one section
// per job. Read whole before anything runs: an unknown key, a job without a
// folder or a bad value raises EJobsFile naming the file, the line and the
// key, and no job runs.
#pragma once

#include <string>
#include <vector>

#include "app/settings/ArchiveFormat.h"
#include "platform/Exceptions.h"

namespace pelsok::app {

struct TJob {
  std::string Name;    // the section's name
  int Line = 0;        // of the section's header
  std::string Folder;  // absolute, with its trailing '/'
  std::vector<std::string> Kinds;
  TArchiveFormat Format = ArchiveFormats().front();
  bool SixDigit = false;
  bool Delete = false;
  bool ShiftJisNames = false;  // LZH and ZIP store names as cp932
  int Keep = 0;                // months of archives kept per kind; 0: all
  std::string ArchiveFolder;   // absolute, with its trailing '/'; empty: Folder
  std::string After;           // command run after each successful run
};

class EJobsFile : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

// The jobs in file order. Raises EJobsFile. The system service reads
// /etc/pelsok/jobs.conf, a user's $XDG_CONFIG_HOME/pelsok/jobs.conf.
std::vector<TJob> ReadJobsFile(const std::string& path);

}  // namespace pelsok::app
