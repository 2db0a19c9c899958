// Every line the command-line front writes about a name goes out here: a
// line is written through the one escaping rule (OutputName), so a name can
// neither forge a line nor reach the terminal as a control sequence, and a
// new kind of line cannot forget the rule.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace pelsok::app {

class TCliOutput {
 public:
  explicit TCliOutput(std::ostream& os) : os_(os) {}

  // One line: text escaped as a whole (a line break in it is written as
  // \x0A), then the line's end.
  void Line(std::string_view text);
  // "pelsok-cli: " and one escaped line.
  void Error(std::string_view text);
  // A text of several lines (a library's report, a message with a list of
  // names): one escaped line for each line of it, blank lines and a CR
  // before each line break dropped.
  void Lines(std::string_view text, std::string_view prefix = {});

  std::ostream& Stream() { return os_; }
  // A name as every line writes it, for a line built in pieces.
  static std::string Name(std::string_view name);

 private:
  std::ostream& os_;
};

}  // namespace pelsok::app
