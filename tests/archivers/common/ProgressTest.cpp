// The progress entry's library side: calls reach the registered callback
// of the calling thread only, and a non-zero answer cancels for good.
#include <thread>

#include <gtest/gtest.h>

#include "archivers/common/Progress.h"

namespace {

struct Seen {
  int calls = 0;
  std::uint64_t bytes = 0;
  int cancelAfter = 1000;
};

std::int32_t Record(void* user, const ArcProgress* p) {
  auto* seen = static_cast<Seen*>(user);
  ++seen->calls;
  seen->bytes = p->bytesDone;
  return seen->calls >= seen->cancelAfter ? 1 : 0;
}

TEST(Progress, CallsTheThreadsCallbackUntilItCancels) {
  Seen seen;
  seen.cancelAfter = 3;
  arc::SetProgressCallback(&Record, &seen);
  arc::Progress p;
  p.SetTotals(2, 10 << 20);
  EXPECT_TRUE(p.StartFile("a.log"));
  EXPECT_TRUE(p.AddBytes(5 << 20));
  EXPECT_FALSE(p.FinishFile());
  EXPECT_FALSE(p.StartFile("b.log"));
  EXPECT_TRUE(p.Cancelled());
  EXPECT_EQ(seen.calls, 3);
  EXPECT_EQ(seen.bytes, 5u << 20);

  Seen other;
  std::thread([&] {
    arc::Progress q;  // no callback on this thread
    EXPECT_TRUE(q.StartFile("c.log"));
  }).join();
  EXPECT_EQ(other.calls, 0);
  arc::SetProgressCallback(nullptr, nullptr);
  arc::Progress none;
  EXPECT_TRUE(none.StartFile("d.log"));
  EXPECT_EQ(seen.calls, 3);
}

}  // namespace
