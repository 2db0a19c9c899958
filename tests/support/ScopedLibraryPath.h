// Sets LD_LIBRARY_PATH for the life of the object. The library search reads
// it at every load, so a test can point it at a folder of its own.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace testing_support {

class ScopedLibraryPath {
 public:
  explicit ScopedLibraryPath(const std::string& value) {
    if (const char* old = std::getenv("LD_LIBRARY_PATH")) old_ = old;
    setenv("LD_LIBRARY_PATH", value.c_str(), 1);
  }
  ~ScopedLibraryPath() {
    if (old_) {
      setenv("LD_LIBRARY_PATH", old_->c_str(), 1);
    } else {
      unsetenv("LD_LIBRARY_PATH");
    }
  }
  ScopedLibraryPath(const ScopedLibraryPath&) = delete;
  ScopedLibraryPath& operator=(const ScopedLibraryPath&) = delete;

 private:
  std::optional<std::string> old_;
};

}  // namespace testing_support
