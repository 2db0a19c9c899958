// Adding a format: its back end unit in this folder, and its row here, at its
// place in the content-check order.
#include "backends/BackendRows.h"

#include <array>

#include "backends/Lha32.h"
#include "backends/Tar32.h"

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
    TBackendRow{atTar, &Make<TTar32>, &DetectTarType},
    TBackendRow{atTgz, &Make<TTgz32>, nullptr},
    TBackendRow{atBZ2, &Make<TBZ232>, nullptr},
    TBackendRow{atLha, &Make<TLha32>, &Answer<atLha, IsLhaArchive>},
};

}  // namespace

std::span<const TBackendRow> BackendRows() { return kRows; }

const TBackendRow* FindBackendRow(TArchiverType t) {
  for (const TBackendRow& row : kRows) {
    if (row.Type == t) return &row;
  }
  return nullptr;
}

}  // namespace pelsok
