// Makes a folder the current one for the life of the object.
#pragma once

#include <string>

namespace testing_support {

class ScopedCwd {
 public:
  explicit ScopedCwd(const std::string& folder);
  ~ScopedCwd();
  ScopedCwd(const ScopedCwd&) = delete;
  ScopedCwd& operator=(const ScopedCwd&) = delete;

 private:
  std::string previous_;
};

}  // namespace testing_support
