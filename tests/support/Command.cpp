#include "tests/support/Command.h"

#include <stdio.h>
#include <sys/wait.h>

#include <utility>

namespace testing_support {

CommandResult RunCommand(const std::string& command, const std::string& folder) {
  std::string line;
  if (!folder.empty()) line = "cd " + ShellQuote(folder) + " && ";
  line += "{ " + command + "\n} </dev/null 2>&1";
  CommandResult r;
  FILE* pipe = popen(line.c_str(), "r");
  if (pipe == nullptr) {
    r.output = "cannot run: " + command;
    return r;
  }
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) r.output.append(buf, n);
  const int status = pclose(pipe);
  r.status = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

int Shell(const std::string& command, const std::string& folder, std::string* output) {
  CommandResult r = RunCommand(command, folder);
  if (output != nullptr) *output = std::move(r.output);
  return r.status;
}

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

}  // namespace testing_support
