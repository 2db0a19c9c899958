// The rule every library applies to the masks of its commands.
#include <gtest/gtest.h>

#include "common/EntryMasks.h"

namespace {

TEST(EntryMasks, NameOrWholePathByTheMask) {
  struct Row {
    const char* stored;
    std::vector<std::string> masks;
    bool wholePath;
    bool matches;
  };
  const Row rows[] = {
      {"var/log/DR1101.log", {}, false, true},
      {"var/log/DR1101.log", {"*.*"}, false, true},
      {"var/log/DR1101.log", {"DR11*.log"}, false, true},  // the name alone
      {"var/log/DR1101.log", {"DD*", "DR1101.log"}, false, true},
      {"var/log/DR1101.log", {"DR10*.log"}, false, false},
      {"var/log/DR1101.log", {"var/*/DR1101.log"}, false, true},  // the whole path
      {"var/log/DR1101.log", {"var\\log\\DR1101.log"}, false, true},
      {"var/log/DR1101.log", {"log/DR1101.log"}, false, false},
      {"var/log/DR1101.log", {"DR1101.log"}, true, false},  // every mask on the whole path
      {"var/log/", {"log"}, false, true},                   // a folder's trailing '/'
  };
  for (const Row& r : rows)
    EXPECT_EQ(arc::MatchesAnyMask(r.stored, r.masks, r.wholePath), r.matches)
        << r.stored << " " << (r.masks.empty() ? "" : r.masks.back());
}

}  // namespace
