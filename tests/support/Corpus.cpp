#include "tests/support/Corpus.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testing_support {

std::string CorpusDir(const std::string& format) {
  return std::string(PELSOK_CORPUS_DIR) + "/" + format;
}

std::vector<CorpusRow> CorpusRows(const std::string& format) {
  const std::string listing = CorpusDir(format) + "/EXPECTED.tsv";
  std::vector<CorpusRow> rows;
  std::ifstream in(listing);
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    CorpusRow row;
    std::string crc;
    if (!(fields >> row.archive >> crc >> row.length))
      throw std::runtime_error("bad row in " + listing + ": " + line);
    std::size_t used = 0;
    row.crc = static_cast<std::uint32_t>(std::stoul(crc, &used, 16));
    if (used != crc.size()) throw std::runtime_error("bad CRC in " + listing + ": " + line);
    rows.push_back(row);
  }
  return rows;
}

}  // namespace testing_support
