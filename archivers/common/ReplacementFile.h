// Writes a new version of a file without ever exposing a partial one: the
// data goes to a temporary file (in the target's folder, or a work folder),
// which is synced and renamed over the target only by Commit. Destroying an
// uncommitted ReplacementFile removes the temporary file; the target keeps
// every byte it had.
#pragma once

#include <string>

namespace arc {

class ReplacementFile {
 public:
  // Throws std::runtime_error with the reason when no temporary file can be made.
  explicit ReplacementFile(const std::string& target, const std::string& workDir = {});
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  int fd() const { return fd_; }
  const std::string& TempPath() const { return temp_; }
  // Syncs and renames into place (copying first when the work folder is on
  // another file system). The new file gets the old file's permissions, or
  // 0666 less the umask; executable adds the execute bits the umask allows.
  // Throws std::runtime_error; the target is then unchanged.
  void Commit(bool executable = false);

 private:
  std::string target_;
  std::string temp_;
  int fd_ = -1;
  bool committed_ = false;
};

}  // namespace arc
