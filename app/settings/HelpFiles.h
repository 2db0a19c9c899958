// The help requests of the help menu, answered from the HTML pages shipped
// with the program: "Pelsok1.hlp" is the folder help/Pelsok1/, "WinHelp.hlp"
// the folder help/WinHelp/, next to the executable in the build tree and in
// <prefix>/share/pelsok/ once installed.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace pelsok::app {

// Help engine command codes, named as the help engine names them.
// NOLINTBEGIN(readability-identifier-naming)
enum : unsigned {
  HELP_CONTENTS = 3,
  HELP_HELPONHELP = 4,
  HELP_KEY = 257,
};
// NOLINTEND(readability-identifier-naming)

struct THelpRequest {
  std::string Folder;   // the help file's page folder, with a trailing delimiter
  std::string Page;     // full name of the page to open first
  bool Search = false;  // open the keyword index with its search field
};

// The folder of a help file's pages: help/<base name>/ beside the executable
// when it holds the pages, else the installed one.
std::string HelpFolder(const std::string& helpFile);
// Raises an error naming the help file when its pages are missing.
THelpRequest ResolveHelp(const std::string& helpFile, unsigned command);
// The keyword index of a help folder: "keyword<TAB>page" lines of keywords.txt.
std::vector<std::pair<std::string, std::string>> ReadHelpKeywords(const std::string& folder);

}  // namespace pelsok::app
