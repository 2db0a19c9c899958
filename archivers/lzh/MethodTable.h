// The one table from a method id ("-lh5-") to the code that handles it.
#pragma once

#include "Methods.h"

#include <string_view>

namespace lzh {

enum class Family { stored, lh1, lzs, lz5, lhNew };

struct MethodEntry {
  std::string_view id;
  Family family;
  bool encodes;
  NewMethodParams params;  // dictionary bits; offset-table fields for the -lh4- to -lh7- family
};

// The entry for an exact 5-byte id, or nullptr.
const MethodEntry* findMethod(std::string_view id);

}  // namespace lzh
