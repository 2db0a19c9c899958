// What can be told before a Compress run starts: a folder that is not given
// or does not exist, a folder without its trailing delimiter, and a month
// with no log to pack. Each problem says why and what to do.
#pragma once

#include <optional>
#include <string>

#include "app/run/CompressRun.h"

namespace pelsok::app {

// The text the folder field shows until a folder is given; never a folder.
inline constexpr const char* kFolderPrompt = "Logフォルダを指定してください。";

struct TRunProblem {
  std::string Why;
  std::string WhatToDo;
  bool NoLogs = false;  // the folder is right, the month has no log of the kind
};

// A month text that is not 1 to 12 (raises the conversion error when it is
// not an integer), and a year text that is not all digits.
std::optional<TRunProblem> CheckMonthText(const std::string& month);
std::optional<TRunProblem> CheckYearText(const std::string& year);

// The month as a number ("09" is "9"), as both fronts read it; a text that
// is not a month 1 to 12 comes back unchanged, for the check to name.
std::string MonthNumberText(const std::string& month);

// Checks the input of a run whose names are names (MakeLogNames of input).
std::optional<TRunProblem> CheckRunInput(const TRunInput& input, const TLogNames& names);

// The number of files the mask matches.
std::size_t CountMatchingFiles(const std::string& mask);

}  // namespace pelsok::app
