#include "app/cli/TerminalProgress.h"

#include <unistd.h>

#include <string>

#include "app/run/RunSummary.h"
#include "app/text/OutputText.h"
#include "backends/ProgressHook.h"

namespace pelsok::app {

TTerminalProgress::TTerminalProgress(int fd) : fd_(fd) {
  if (::isatty(fd) != 1) return;
  scope_ = std::make_unique<TProgressScope>([this](const ArcProgress& p) {
    std::string line =
        "\r" + ProgressCounts(p.filesDone, p.filesTotal, p.bytesDone, p.bytesTotal) + "  ";
    // The name's tail, escaped as every line about a name, cut where a
    // character starts.
    std::string name = OutputName(p.current);
    if (name.size() > 40) {
      std::size_t from = name.size() - 37;
      while (from < name.size() && (static_cast<unsigned char>(name[from]) & 0xC0) == 0x80) ++from;
      name = "..." + name.substr(from);
    }
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
