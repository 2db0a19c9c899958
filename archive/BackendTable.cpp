#include "archive/BackendTable.h"

#include <array>

#include "backends/Lha32.h"

namespace pelsok {

namespace {

template <typename T>
std::unique_ptr<TArchiver> Make() {
  return std::make_unique<T>();
}

// Rows in TArchiverType order: LHA, ZIP, CAB, ARJ, TAR, TGZ, BZ2, RAR.
constexpr std::array<BackendFactory, 8> kBackends = {
    &Make<TLha32>,  // atLha
    nullptr,        // atZip
    nullptr,        // atCab
    nullptr,        // atArj
    nullptr,        // atTar
    nullptr,        // atTgz
    nullptr,        // atBZ2
    nullptr,        // atRar
};

}  // namespace

BackendFactory BackendFor(TArchiverType t) { return t < kBackends.size() ? kBackends[t] : nullptr; }

}  // namespace pelsok
