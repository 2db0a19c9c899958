// After a run killed at any moment, the next run leaves every log on disk
// or in an archive that lists and tests clean, and no leftovers of ours; the
// killed run left no manifest or a whole one, and the next one stands for
// the archive.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "app/run/Manifest.h"
#include "app/run/Sha256.h"
#include "tests/app/RunSafetyFixture.h"
#include "tests/support/Files.h"

namespace {

namespace fs = std::filesystem;
using apptest::RunSafetyTest;

TEST_F(RunSafetyTest, ARunKilledAtAnyMomentLosesNoLog) {
  SKIP_WITHOUT_TOOL("lhasa");
  std::string body;
  for (int i = 0; i < 2000; ++i)
    body += "2026-11 access " + std::to_string(i * 7919 % 10007) + "\n";
  std::mt19937 rng(20261208);
  std::uniform_int_distribution<int> delayUs(0, 60000);
  const std::vector<std::string> args = CliArgs();
  for (int round = 0; round < 50; ++round) {
    // Every log that is neither on disk nor archived is made again.
    for (int d = 1; d <= 30; ++d) {
      const std::string log = "DR11" + std::string(d < 10 ? "0" : "") + std::to_string(d) + ".log";
      if (!fs::exists(dir / log)) std::ofstream(dir / log, std::ios::binary) << body << log;
    }
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      std::vector<char*> argv;
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      freopen("/dev/null", "w", stdout);
      freopen("/dev/null", "w", stderr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(rng)));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    const std::string manifest = dir / "DR2611.LZH.sha256";
    if (fs::exists(manifest)) {
      const auto left = pelsok::app::ParseManifest(testing_support::ReadFile(manifest));
      EXPECT_TRUE(left && left->SealMatches) << "round " << round;
    }

    const auto next = Cli();
    const auto made = pelsok::app::ParseManifest(testing_support::ReadFile(manifest));
    EXPECT_TRUE(made && made->SealMatches &&
                made->Manifest.Archive.Hash == pelsok::app::FileSha256(dir / "DR2611.LZH"))
        << "round " << round << ": " << next.output;
    // 2: the killed run had already finished and left no log to pack.
    EXPECT_LE(next.status, 2) << "round " << round << ": " << next.output;
    const std::set<std::string> safe = ArchivedAndTested();
    for (int d = 1; d <= 30; ++d) {
      const std::string log = "DR11" + std::string(d < 10 ? "0" : "") + std::to_string(d) + ".log";
      EXPECT_TRUE(fs::exists(dir / log) || safe.count(log)) << "round " << round << ": " << log;
    }
    if (HasFailure()) break;
  }
  // No leftovers pile up: no temporary file of ours, no lock.
  for (const auto& e : fs::directory_iterator(dir.Path())) {
    const std::string file = e.path().filename().string();
    EXPECT_NE(file.rfind(".DR2611.LZH.tmp", 0), 0u) << file;
    EXPECT_NE(file.rfind("hive.reg.tmp", 0), 0u) << file;
    EXPECT_NE(file, "DR11.lock");
  }
}

}  // namespace
