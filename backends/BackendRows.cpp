// Adding a format: its back end unit in this folder, and its row here, at its
// place in the content-check order; a writable format's row also names its
// extension and its place in the menu.
#include "backends/BackendRows.h"

#include <array>

#include "backends/Arj32.h"
#include "backends/Cab32.h"
#include "backends/Lha32.h"
#include "backends/Rar32.h"
#include "backends/Tar32.h"
#include "backends/Zip32.h"

namespace pelsok {

namespace {

template <typename T>
std::unique_ptr<TArchiver> Make() {
  return std::make_unique<T>();
}

template <TArchiverType T, bool (*Is)(const std::string&)>
TArchiverType Answer(const std::string& fileName) {
  return Is(fileName) ? T : atNone;
}

const std::array kRows = {
    TBackendRow{atTar, "tar", "&TAR", ".TAR", TMemberCheck::Extraction, 5, &Make<TTar32>,
                &DetectTarType},
    TBackendRow{atTgz, "tgz", "T&GZ (tar + gzip)", ".TGZ", TMemberCheck::Extraction, 3,
                &Make<TTgz32>, nullptr},
    TBackendRow{atBZ2, "tbz", "T&BZ (tar + bzip2)", ".TBZ", TMemberCheck::Extraction, 4,
                &Make<TBZ232>, nullptr},
    TBackendRow{atTxz, "txz", "T&XZ (tar + xz)", ".TXZ", TMemberCheck::Extraction, 7, &Make<TTxz32>,
                nullptr},
    TBackendRow{atTzst, "tzst", "TZ&ST (tar + zstd)", ".TZST", TMemberCheck::Extraction, 8,
                &Make<TTzst32>, nullptr},
    TBackendRow{atRar, "rar", "&RAR", nullptr, TMemberCheck::LibraryTest, 0, &Make<TRar32>,
                &Answer<atRar, IsRarArchive>},
    TBackendRow{atArj, "arj", "&ARJ", nullptr, TMemberCheck::LibraryTest, 0, &Make<TArj32>,
                &Answer<atArj, IsArjArchive>},
    TBackendRow{atCab, "cab", "&CAB", ".CAB", TMemberCheck::Extraction, 6, &Make<TCab32>,
                &Answer<atCab, IsCabArchive>},
    TBackendRow{atZip, "zip", "&ZIP", ".ZIP", TMemberCheck::LibraryTest, 2, &Make<TZip32>,
                &Answer<atZip, IsZipArchive>},
    TBackendRow{atLha, "lzh", "&LZH", ".LZH", TMemberCheck::ListingCrc16, 1, &Make<TLha32>,
                &Answer<atLha, IsLhaArchive>},
};

}  // namespace

std::span<const TBackendRow> BackendRows() { return kRows; }

std::string TBackendRow::PlainTitle() const {
  std::string plain;
  for (const char* c = Title; *c != '\0'; ++c)
    if (*c != '&') plain += *c;
  return plain;
}

const TBackendRow* FindBackendRow(TArchiverType t) {
  for (const TBackendRow& row : kRows) {
    if (row.Type == t) return &row;
  }
  return nullptr;
}

}  // namespace pelsok
