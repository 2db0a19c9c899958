// The archive formats; their values never change, and a new format takes
// the next free value. The back-end rows
// (backends/BackendRows.cpp) stand in the order their content checks run,
// which is not this order.
#pragma once

#include <cstdint>

namespace pelsok {

enum TArchiverType : std::uint8_t {
  atLha = 0,
  atZip = 1,
  atCab = 2,
  atArj = 3,
  atTar = 4,
  atTgz = 5,
  atBZ2 = 6,
  atRar = 7,
  atNone = 8,
  atAutoDetect = 9,
  atTxz = 10,
  atTzst = 11,
};

}  // namespace pelsok
