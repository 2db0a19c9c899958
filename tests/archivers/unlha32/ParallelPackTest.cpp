// Commands a and u pack members on worker threads: the archive must not depend
// on the thread count, and a failed or cancelled run must leave the old
// archive byte for byte with no temporary file behind.
#include <utime.h>

#include "UnlhaHarness.h"

namespace unlhatest {
namespace {

class ParallelPackTest : public TempDirTest {
 protected:
  // Twelve logs of different sizes (one empty, one incompressible), with fixed
  // times and modes so that two runs store the same headers.
  std::string MakeLogs(int failingAt = -1) {
    std::string operands;
    for (int i = 0; i < 12; ++i) {
      const std::string name = "DR" + std::to_string(10 + i) + ".log";
      std::string data = i == 3 ? "" : i == 7 ? RandomBytes(70000, 7) : LogText(20000 * i, i);
      WriteFile(Path(name), data);
      fs::permissions(Path(name), fs::perms::owner_read | fs::perms::owner_write);
      struct utimbuf u {
        1700000000 + i, 1700000000 + i
      };
      EXPECT_EQ(::utime(P(name).c_str(), &u), 0);
      if (i == failingAt) operands += " " + Q("/proc/self/mem");
      operands += " " + Q(P(name));
    }
    return operands;
  }
  void ExpectNoTemporaryFiles() {
    for (auto& f : ListFiles(dir_)) {
      EXPECT_EQ(f.find(".tmp"), std::string::npos) << f;
      EXPECT_EQ(f.find(".unlha"), std::string::npos) << f;
    }
  }
};

TEST_F(ParallelPackTest, ThreadCountDoesNotChangeTheArchive) {
  const std::string logs = MakeLogs();
  std::string first;
  for (const char* threads : {"-jt1", "-jt2", "-jt8", "-jt0"}) {
    for (const char* effort : {"", "-jm9"}) {
      SCOPED_TRACE(std::string(threads) + " " + effort);
      const std::string archive = P(std::string("A") + threads + effort + ".LZH");
      RunResult r = Unlha(std::string("a -+ ") + threads + " " + effort + "  " + Q(archive) + logs);
      ASSERT_EQ(r.result, arc::kOk) << r.output;
      if (*effort) continue;
      if (first.empty())
        first = ReadFile(archive);
      else
        EXPECT_EQ(ReadFile(archive), first);
    }
  }
  EXPECT_EQ(ReadFile(P("A-jt2-jm9.LZH")), ReadFile(P("A-jt1-jm9.LZH")));
  // Replacing members in place keeps the order whatever the thread count.
  WriteFile(Path("DR12.log"), LogText(50000, 99));
  WriteFile(Path("new.log"), LogText(30000, 98));
  for (const char* name : {"DR12.log", "new.log"}) {
    struct utimbuf u {
      1700001000, 1700001000
    };
    ASSERT_EQ(::utime(P(name).c_str(), &u), 0);
  }
  for (const char* threads : {"-jt1", "-jt8"}) {
    fs::copy_file(P("A-jt1.LZH"), P(std::string("U") + threads + ".LZH"));
    ASSERT_EQ(
        Unlha(std::string("a -+ ") + threads + "  " + Q(P(std::string("U") + threads + ".LZH")) +
              " " + Q(P("DR12.log")) + " " + Q(P("DR15.log")) + " " + Q(P("new.log")))
            .result,
        arc::kOk);
  }
  EXPECT_EQ(ReadFile(P("U-jt1.LZH")), ReadFile(P("U-jt8.LZH")));
}

TEST_F(ParallelPackTest, AMemberThatFailsToReadLeavesTheOldArchive) {
  const std::string logs = MakeLogs(6);
  ASSERT_EQ(Unlha("a -+  " + Q(P("G.LZH")) + " " + Q(P("DR10.log"))).result, arc::kOk);
  const std::string before = ReadFile(Path("G.LZH"));
  // The kernel refuses reads of this process's memory file at offset 0: the
  // failing member sits between members that pack fine, on every thread count.
  for (const char* threads : {"-jt1", "-jt2", "-jt8"}) {
    RunResult r = Unlha(std::string("a -+ ") + threads + "  " + Q(P("G.LZH")) + logs);
    EXPECT_EQ(r.result, arc::kCannotRead) << threads << r.output;
    EXPECT_EQ(ReadFile(Path("G.LZH")), before) << threads;
  }
  ExpectNoTemporaryFiles();
}

struct Watch {
  std::uint64_t cancelAfterFiles = ~std::uint64_t{0};
  int calls = 0;
  ArcProgress last{};
};

std::int32_t Watcher(void* user, const ArcProgress* p) {
  auto* w = static_cast<Watch*>(user);
  ++w->calls;
  w->last = *p;
  return p->filesDone >= w->cancelAfterFiles ? 1 : 0;
}

TEST_F(ParallelPackTest, ProgressCallbackSeesEveryMemberAndCanCancel) {
  const ArcSetProgressProc setProgress = kUnlha32.setProgress;
  ASSERT_NE(setProgress, nullptr);
  const std::string logs = MakeLogs();
  ASSERT_EQ(Unlha("a -+  " + Q(P("C.LZH")) + " " + Q(P("DR10.log"))).result, arc::kOk);
  const std::string before = ReadFile(Path("C.LZH"));

  for (const char* threads : {"-jt1", "-jt2"}) {
    Watch cancel;
    cancel.cancelAfterFiles = 4;
    ASSERT_EQ(setProgress(&Watcher, &cancel), arc::kOk);
    RunResult r = Unlha(std::string("a -+ ") + threads + "  " + Q(P("C.LZH")) + logs);
    EXPECT_EQ(r.result, arc::kCancelled) << threads << r.output;
    EXPECT_EQ(cancel.last.filesDone, 4u);
    EXPECT_EQ(cancel.last.filesTotal, 12u);
    EXPECT_EQ(ReadFile(Path("C.LZH")), before) << threads;
    ExpectNoTemporaryFiles();
  }

  Watch all;
  ASSERT_EQ(setProgress(&Watcher, &all), arc::kOk);
  RunResult r = Unlha("a -+  " + Q(P("C.LZH")) + logs);
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(all.last.filesDone, 12u);
  EXPECT_EQ(all.last.bytesDone, all.last.bytesTotal);
  EXPECT_GE(all.calls, 24);  // every member starts and finishes
  ASSERT_EQ(setProgress(nullptr, nullptr), arc::kOk);
  EXPECT_EQ(Unlha("a -+  " + Q(P("D.LZH")) + logs).result, arc::kOk);
}

TEST_F(ParallelPackTest, ThreadSwitchOutOfRangeIsRefused) {
  WriteFile(Path("a.log"), "a");
  EXPECT_EQ(Unlha("a -+ -jt65  " + Q(P("A.LZH")) + " " + Q(P("a.log"))).result, arc::kBadCommand);
  EXPECT_FALSE(fs::exists(Path("A.LZH")));
}

}  // namespace
}  // namespace unlhatest
