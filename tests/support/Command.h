// Shell commands run for their exit status and output.
#pragma once

#include <string>

namespace testing_support {

struct CommandResult {
  int status = -1;     // exit status; -1 when it did not exit normally
  std::string output;  // standard output and standard error together
};

// Runs command with /bin/sh, in folder when one is given, standard input
// from /dev/null (pipes inside the command still feed their commands).
CommandResult RunCommand(const std::string& command, const std::string& folder = "");

// RunCommand for assertions such as ASSERT_EQ(Shell(...), 0) << output:
// the exit status, the output into *output when given.
int Shell(const std::string& command, const std::string& folder = "",
          std::string* output = nullptr);

// text quoted for the shell, whatever characters it holds.
std::string ShellQuote(const std::string& text);

}  // namespace testing_support
