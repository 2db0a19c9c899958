// Archives made by other programs, one folder per format below the corpus
// folder set at configure time (PELSOK_CORPUS_DIR). Each format folder lists
// in EXPECTED.tsv, one archive a line, the CRC-32 of all member data in
// archive order and its total length.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// The corpus folder of one format, e.g. CorpusDir("lzh").
std::string CorpusDir(const std::string& format);

struct CorpusRow {
  std::string archive;  // relative to CorpusDir(format)
  std::uint32_t crc = 0;
  std::uint64_t length = 0;
};

// The rows of the format's EXPECTED.tsv, comments and blank lines left out;
// none when the listing is missing. Throws std::runtime_error on a row that
// does not read.
std::vector<CorpusRow> CorpusRows(const std::string& format);

}  // namespace testing_support
