// The command run after each successful run, with the archive's full path
// as its one argument added at the end. No shell: the text is split into
// words as a shell splits them (blanks, single and double quotes, the
// backslash), and nothing in it is expanded ($, ~, *, backquotes stay as
// they are).
#pragma once

#include <string>
#include <vector>

namespace pelsok::app {

// Raises platform::Exception for an unclosed quote, a trailing backslash or
// a text with no word.
std::vector<std::string> SplitCommandWords(const std::string& text);

struct TAfterStatus {
  int ExitCode = -1;    // the command's exit status; -1 when it did not exit
  std::string Failure;  // why it could not start, or the signal that ended it
  bool Ok() const { return ExitCode == 0; }
};

// Runs words + archive (the program looked for in PATH when it names no
// folder) with our standard streams and waits for it.
TAfterStatus RunAfterCommand(const std::vector<std::string>& words, const std::string& archive);

}  // namespace pelsok::app
