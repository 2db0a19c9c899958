// The main window's working fields that a Compress run changes; the window
// keeps them as plain state and the command-line front keeps its own.
#pragma once

#include <string>
#include <vector>

namespace pelsok::app {

struct TRunState {
  // Run status: the packing result as hexadecimal during a run, the run's
  // file mask after it.
  std::string Edit2 = "Edit2";
  // Entry list: the entries listed from this run's archive.
  std::vector<std::string> ListBox1;
  // Deletion list: every file deleted since the program started.
  std::vector<std::string> ListBox2;
};

}  // namespace pelsok::app
