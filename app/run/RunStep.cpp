#include "app/run/RunStep.h"

namespace pelsok::app {
namespace {

TRunStepWatcher& Watcher() {
  static TRunStepWatcher watcher;
  return watcher;
}

}  // namespace

void SetRunStepWatcher(TRunStepWatcher watcher) { Watcher() = std::move(watcher); }

void ReachRunStep(TRunStep step, const std::string& file) {
  if (Watcher()) Watcher()(step, file);
}

}  // namespace pelsok::app
