// The library side of the progress and cancel entry: a command makes one
// Progress, tells it the totals and each file and block it finishes, and
// stops when a call answers false (the caller asked to cancel).
#pragma once

#include <cstdint>
#include <string>

#include "ArchiverApi.h"

namespace arc {

// The body of every library's <Prefix>SetProgressCallback entry.
std::int32_t SetProgressCallback(ArcProgressCallback callback, void* user);

class Progress {
 public:
  // Takes the calling thread's callback (none: every call answers true).
  Progress();

  void SetTotals(std::uint64_t files, std::uint64_t bytes);
  bool StartFile(const std::string& name);
  bool AddBytes(std::uint64_t n);
  bool FinishFile();
  bool Cancelled() const { return cancelled_; }

 private:
  bool Tell();

  ArcProgressCallback callback_;
  void* user_;
  ArcProgress state_{};
  std::string current_;
  std::uint64_t lastTold_ = 0;
  bool cancelled_ = false;
};

}  // namespace arc
