#include "DecodingPlan.h"

#include <algorithm>
#include <map>
#include <utility>

namespace cab {
namespace {

using Span = std::pair<std::uint64_t, std::uint64_t>;  // [start, end) in a folder

std::uint64_t End(const CabEntry& e) {
  return static_cast<std::uint64_t>(e.file->offset) + e.file->length;
}

// Bytes covered by the spans, each byte once.
std::uint64_t UnionBytes(std::vector<Span> spans) {
  std::sort(spans.begin(), spans.end());
  std::uint64_t total = 0, reach = 0;
  for (const auto& [start, end] : spans) {
    const std::uint64_t from = std::max(start, reach);
    if (end > from) total += end - from;
    reach = std::max(reach, end);
  }
  return total;
}

}  // namespace

DecodingPlan PlanDecoding(const std::vector<CabEntry>& all, std::vector<const CabEntry*> chosen) {
  DecodingPlan plan;
  std::map<const void*, std::size_t> rank;  // folders by first appearance
  std::map<const void*, std::vector<Span>> spans;
  for (const auto& e : all) {
    if (e.file == nullptr) continue;
    rank.emplace(e.file->folder, rank.size());
    spans[e.file->folder].emplace_back(e.file->offset, End(e));
  }
  for (auto& [folder, list] : spans) plan.declared += UnionBytes(std::move(list));

  const auto key = [&](const CabEntry* e) {
    return e->file == nullptr
               ? std::make_pair(rank.size(), std::uint64_t{0})
               : std::make_pair(rank[e->file->folder], std::uint64_t{e->file->offset});
  };
  std::stable_sort(chosen.begin(), chosen.end(),
                   [&](const CabEntry* a, const CabEntry* b) { return key(a) < key(b); });

  // What libmspack does: go on from the bytes decoded when the file lies at
  // or after them in the same folder, else decode the folder from its start.
  const void* folder = nullptr;
  std::uint64_t at = 0;
  for (const CabEntry* e : chosen) {
    if (e->file == nullptr) continue;
    const std::uint64_t start = e->file->offset, end = End(*e);
    if (e->file->folder != folder || at > start) {
      folder = e->file->folder;
      at = 0;
    }
    plan.work += end - at;
    at = end;
  }
  plan.order = std::move(chosen);
  return plan;
}

}  // namespace cab
