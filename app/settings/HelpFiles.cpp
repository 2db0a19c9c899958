#include "app/settings/HelpFiles.h"

#include <fstream>

#include "platform/Exceptions.h"
#include "platform/FileSystem.h"
#include "platform/InstallLayout.h"
#include "platform/Paths.h"

namespace pelsok::app {

std::string HelpFolder(const std::string& helpFile) {
  const std::string base = platform::ChangeFileExt(platform::ExtractFileName(helpFile), "");
  const std::string part =
      "help" + std::string(1, platform::kPathDelim) + base + platform::kPathDelim;
  // Beside the executable in the build tree, under share/pelsok/ once installed.
  const std::string beside = platform::ExecutableDir() + part;
  if (platform::FileExists(beside + "contents.html")) return beside;
  return platform::InstalledDataFolder() + part;
}

THelpRequest ResolveHelp(const std::string& helpFile, unsigned command) {
  THelpRequest r;
  r.Folder = HelpFolder(helpFile);
  r.Page = r.Folder + "contents.html";
  r.Search = command == HELP_KEY;
  if (!platform::FileExists(r.Page))
    throw platform::Exception(
        platform::FormatText("ヘルプファイル '%s' が見つかりません", {helpFile}));
  return r;
}

std::vector<std::pair<std::string, std::string>> ReadHelpKeywords(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> out;
  std::ifstream in(folder + "keywords.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto tab = line.find('\t');
    if (tab == std::string::npos || tab == 0) continue;
    out.emplace_back(line.substr(0, tab), line.substr(tab + 1));
  }
  return out;
}

}  // namespace pelsok::app
