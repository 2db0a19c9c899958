#include "app/cli/CliOutput.h"

#include <ostream>

#include "app/text/OutputText.h"

namespace pelsok::app {

void TCliOutput::Line(std::string_view text) { os_ << OutputName(text) << "\n"; }

std::string TCliOutput::Name(std::string_view name) { return OutputName(name); }

void TCliOutput::Error(std::string_view text) { os_ << "pelsok-cli: " << OutputName(text) << "\n"; }

void TCliOutput::Lines(std::string_view text, std::string_view prefix) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) os_ << prefix << OutputName(line) << "\n";
    start = end + 1;
  }
}

}  // namespace pelsok::app
