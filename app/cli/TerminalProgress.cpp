#include "app/cli/TerminalProgress.h"

#include <unistd.h>

#include <string>

#include "app/run/RunSummary.h"
#include "backends/ProgressHook.h"

namespace pelsok::app {

TTerminalProgress::TTerminalProgress(int fd) : fd_(fd) {
  if (::isatty(fd) != 1) return;
  scope_ = std::make_unique<TProgressScope>([this](const ArcProgress& p) {
    std::string line =
        "\r" + ProgressCounts(p.filesDone, p.filesTotal, p.bytesDone, p.bytesTotal) + "  ";
    std::string name = p.current;
    if (name.size() > 40) name = "..." + name.substr(name.size() - 37);
    line += name + "\x1b[K";
    (void)!::write(fd_, line.data(), line.size());
    drawn_ = true;
    return true;
  });
}

TTerminalProgress::~TTerminalProgress() {
  scope_.reset();
  if (drawn_) (void)!::write(fd_, "\r\x1b[K", 4);
}

}  // namespace pelsok::app
