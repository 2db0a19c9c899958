// Reads the command lines the archive front end builds for every archiver
// library: a command word, then pieces after blanks (empty pieces between
// two blanks are skipped), switches beginning with '-' (a whole quoted
// switch such as "-jzabc" too), the archive name, an optional base folder
// (the first operand after the archive that ends in a delimiter), then file
// names and masks; "@name" names a response file with one name per line.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arc {

struct Switch {
  std::string name;   // the known name it matched ("x", "jm"), or the whole text when unknown
  std::string value;  // what follows the name ("1" in -x1), possibly empty
  bool known = false;
};

struct CommandLine {
  std::string command;
  std::vector<Switch> switches;
  std::optional<std::string> archive;  // as written, without quotes
  std::string baseDir;                 // with its trailing delimiter; empty when none
  std::vector<std::string> files;      // names and masks, response files expanded

  // The last occurrence of a known switch, or null.
  const Switch* Find(std::string_view name) const;
};

struct CommandLineError {
  std::int32_t result = 0;  // an arc::Result
  std::string message;
};

// Gives a response file's text, or nullopt when it cannot be read.
using ResponseReader = std::function<std::optional<std::string>(const std::string& name)>;

// Reads the file from disk (at most 64 MiB).
std::optional<std::string> ReadResponseFile(const std::string& name);

// Parses text. knownSwitches lists the switch names the library honours;
// the longest one that prefixes a switch wins, and unknown switches are kept
// with known = false (callers ignore them). Returns nullopt on success.
std::optional<CommandLineError> ParseCommandLine(std::string_view text,
                                                 const std::vector<std::string>& knownSwitches,
                                                 const ResponseReader& readResponse,
                                                 CommandLine& out);

// Names of a response file's text: one per line (CR LF or LF), in double
// quotes or bare; empty lines skipped.
std::vector<std::string> ParseResponseText(std::string_view text);

}  // namespace arc
