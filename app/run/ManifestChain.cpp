#include "app/run/ManifestChain.h"

#include <cctype>
#include <map>

#include "app/run/Manifest.h"
#include "app/settings/ArchiveFormat.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace pelsok::app {
namespace {

struct TMonthFiles {
  std::string Archive;   // the first archive of the month found, by extension order
  std::string Manifest;  // likewise
  int ArchiveRank = 1 << 20;
  int ManifestRank = 1 << 20;
};

// year*100+MM of a name that is exactly kind + digits + MM + extension
// (+ ".sha256"), or -1; rank is the extension's place among the formats,
// the run's own first.
long long MonthOfName(const std::string& name, const std::string& kind, std::size_t digits,
                      const std::string& ownExtension, bool& manifest, int& rank) {
  const std::string suffix = ".sha256";
  std::string stem = name;
  manifest = stem.size() > suffix.size() && stem.ends_with(suffix);
  if (manifest) stem.resize(stem.size() - suffix.size());
  if (stem.size() <= kind.size() + digits || stem.compare(0, kind.size(), kind) != 0) return -1;
  const std::string extension = stem.substr(kind.size() + digits);
  rank = -1;
  if (extension == ownExtension) {
    rank = 0;
  } else {
    int i = 1;
    for (const auto& format : ArchiveFormats()) {
      if (extension == format.Extension) rank = i;
      ++i;
    }
  }
  if (rank < 0) return -1;
  long long value = 0;
  for (std::size_t i = kind.size(); i < kind.size() + digits; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(stem[i]))) return -1;
    value = value * 10 + (stem[i] - '0');
  }
  const long long mm = value % 100;
  return mm >= 1 && mm <= 12 ? value : -1;
}

}  // namespace

TEarlierMonth FindEarlierMonth(const std::string& archiveName, const std::string& kind,
                               const std::string& year, int month) {
  TEarlierMonth out;
  long long current = 0;
  for (char c : year) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return out;
    current = current * 10 + (c - '0');
  }
  current = current * 100 + month;
  const std::string folder = platform::ExtractFilePath(archiveName);
  const std::string ownExtension = platform::ExtractFileExt(archiveName);
  std::map<long long, TMonthFiles> months;
  platform::DirectorySearch search;
  platform::FindData data;
  for (bool more = search.First(folder + "*", data); more; more = search.Next(data)) {
    if ((data.Attributes & platform::faDirectory) != 0) continue;
    bool manifest = false;
    int rank = 0;
    const long long when =
        MonthOfName(data.Name, kind, year.size() + 2, ownExtension, manifest, rank);
    if (when < 0 || when >= current) continue;
    TMonthFiles& files = months[when];
    if (manifest && rank < files.ManifestRank) {
      files.Manifest = folder + data.Name;
      files.ManifestRank = rank;
    } else if (!manifest && rank < files.ArchiveRank) {
      files.Archive = folder + data.Name;
      files.ArchiveRank = rank;
    }
  }
  for (auto it = months.rbegin(); it != months.rend(); ++it) {
    if (!it->second.Manifest.empty()) {
      out.Manifest = it->second.Manifest;
      break;
    }
    // The newest month has an archive only: it is completed first.
    if (out.ArchiveWithoutManifest.empty() && it == months.rbegin())
      out.ArchiveWithoutManifest = it->second.Archive;
  }
  return out;
}

}  // namespace pelsok::app
