// Progress and cancel for library commands. A caller that wants to see a
// command's progress, or to stop it, opens a TProgressScope on the thread
// that runs the command; each back end opens a TProgressHook around its
// library command, which hands the scope's listener to the library through
// its optional "<Prefix>SetProgressCallback" entry. A library without that
// entry runs as before: no progress is told and nothing can be cancelled.
#pragma once

#include <cstddef>
#include <functional>

#include "archivers/common/ArchiverApi.h"
#include "backends/LibraryBinding.h"

namespace pelsok {

// Told the library's progress; answers false to cancel the command.
using ProgressListener = std::function<bool(const ArcProgress&)>;

// Makes listener the calling thread's listener until the scope ends (scopes nest).
class TProgressScope {
 public:
  explicit TProgressScope(ProgressListener listener);
  ~TProgressScope();
  TProgressScope(const TProgressScope&) = delete;
  TProgressScope& operator=(const TProgressScope&) = delete;

  // The calling thread's listener; null when no scope is open.
  static const ProgressListener* Current();

 private:
  const ProgressListener* previous_;
  ProgressListener listener_;
};

// Registers the thread's listener with the library for one command and
// unregisters it at the end. Does nothing when no scope is open or the
// library (the binding's library number lib) does not export entryName.
class TProgressHook {
 public:
  TProgressHook(LibraryBinding& library, const char* entryName, std::size_t lib = 0);
  ~TProgressHook();
  TProgressHook(const TProgressHook&) = delete;
  TProgressHook& operator=(const TProgressHook&) = delete;

  bool Active() const { return set_ != nullptr; }

 private:
  ArcSetProgressProc set_ = nullptr;
};

}  // namespace pelsok
