#include "app/run/FilesOldestFirst.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace pelsok::app {

std::vector<std::string> FilesOldestFirst(const std::string& folder,
                                          const std::function<bool(const std::string&)>& wanted) {
  struct TFound {
    std::string Name;
    fs::file_time_type Time;
  };
  std::vector<TFound> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    const std::string base = it->path().filename().string();
    if (base.empty() || base[0] == '.') continue;
    const std::string name = it->path().string();
    if (!wanted(name)) continue;
    found.push_back({name, it->last_write_time(typeError)});
  }
  std::sort(found.begin(), found.end(), [](const TFound& a, const TFound& b) {
    return a.Time != b.Time ? a.Time < b.Time : a.Name < b.Name;
  });
  std::vector<std::string> names;
  for (const auto& f : found) names.push_back(f.Name);
  return names;
}

}  // namespace pelsok::app
