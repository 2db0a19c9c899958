// The order in which -t decodes the chosen files and what that costs before
// any byte is decoded. libmspack decodes a folder from its start whenever a
// file lies behind the bytes already decoded, so file rows that point at the
// same or earlier bytes of a folder (many names over one block) multiply the
// work without the cabinet holding any more data. The plan decodes files in
// folder order, counts the bytes that decoding them costs, and compares that
// with the bytes the rows declare together (each byte of a folder once).
#pragma once

#include <cstdint>
#include <vector>

#include "Cabinet.h"

namespace cab {

// The decoding work allowed: this many times the distinct bytes the rows
// declare, plus a fixed allowance for small cabinets.
constexpr std::uint64_t kWorkPerDeclaredByte = 4;
constexpr std::uint64_t kWorkAllowance = 16u << 20;

struct DecodingPlan {
  // The chosen files in the order they are decoded: by folder, then by
  // offset in the folder; rows of one folder keep their order otherwise.
  std::vector<const CabEntry*> order;
  // Bytes decoding them one by one costs. The verdict does not depend on
  // whether the data is wanted (a plain test decodes a span named twice only
  // once): test, member reading and grep judge a cabinet alike.
  std::uint64_t work = 0;
  // Bytes of the folders that some row of the cabinet covers, each once.
  std::uint64_t declared = 0;

  bool WithinBudget() const { return work <= kWorkPerDeclaredByte * declared + kWorkAllowance; }
};

DecodingPlan PlanDecoding(const std::vector<CabEntry>& all, std::vector<const CabEntry*> chosen);

}  // namespace cab
