// An exclusive lock that one process holds for a name, such as an archive
// being rebuilt: a lock file beside it (NAME.lock) that is removed when
// the holder lets go. A second holder is refused at once, never waits.
#pragma once

#include <string>

namespace platform {

class TFileLock {
 public:
  // Takes the lock for `name`; false from Held() when another process
  // holds it or the lock file cannot be made (Error() says why).
  explicit TFileLock(const std::string& name);
  ~TFileLock();
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

  bool Held() const { return fd_ >= 0; }
  bool HeldByAnother() const { return busy_; }
  const std::string& Error() const { return error_; }
  // The system's error number behind Error(); 0 when another run holds it.
  int ErrorNumber() const { return errno_; }
  const std::string& LockName() const { return lockName_; }

 private:
  std::string lockName_;
  std::string error_;
  int fd_ = -1;
  int errno_ = 0;
  bool busy_ = false;
};

}  // namespace platform
