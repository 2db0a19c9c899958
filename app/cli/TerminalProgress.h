// Progress of library commands on a terminal: one line on standard error,
// rewritten in place, only when standard error is a terminal.
#pragma once

#include <memory>

namespace pelsok {
class TProgressScope;
}

namespace pelsok::app {

class TTerminalProgress {
 public:
  // Shows progress while the object lives, when fd is a terminal.
  explicit TTerminalProgress(int fd = 2);
  ~TTerminalProgress();

  bool Active() const { return scope_ != nullptr; }

 private:
  int fd_;
  bool drawn_ = false;
  std::unique_ptr<TProgressScope> scope_;
};

}  // namespace pelsok::app
