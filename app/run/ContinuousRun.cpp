#include "app/run/ContinuousRun.h"

namespace pelsok::app {

void RunContinuous(const std::vector<std::string>& kinds,
                   const std::function<void(const std::string&)>& setKind,
                   const std::function<void()>& runOne) {
  const std::vector<std::string> list = kinds;  // read once
  for (const auto& kind : list) {
    setKind(kind);
    runOne();
  }
  setKind(list.empty() ? std::string() : list.front());
}

}  // namespace pelsok::app
