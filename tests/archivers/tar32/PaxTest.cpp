// pax headers as other writers make them: one over a MiB (Python's tarfile
// with a long record) is read, a sparse member whose data holds bytes after
// its map and regions keeps the members after it, and a header claiming
// more than any real one stays a clean error.
#include <cstdio>

#include "HostileTar.h"
#include "TarHarness.h"

namespace tartest {
namespace {

class PaxTest : public TempDirTest {
 protected:
  RunResult Extract(const std::string& archive) {
    return Tar("x -f " + Q(archive) + " -o " + Q(P("out") + "/"));
  }
};

TEST_F(PaxTest, AHeaderOverAMebibyteIsRead) {
  SKIP_WITHOUT_TOOL("python3");
  WriteFile(Path("a.log"), "alpha\n");
  WriteFile(Path("b.log"), "beta\n");
  std::string log;
  ASSERT_EQ(Shell("python3 -c \"import tarfile\n"
                  "with tarfile.open('big.tar', 'w', format=tarfile.PAX_FORMAT) as t:\n"
                  "  t.add('a.log', filter=lambda i: (i.pax_headers.update(comment='x' * "
                  "1100000), i)[1])\n"
                  "  t.add('b.log')\"",
                  dir_.string(), &log),
            0)
      << log;
  const RunResult r = Extract(P("big.tar"));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(Path("out/a.log")), "alpha\n");
  EXPECT_EQ(ReadFile(Path("out/b.log")), "beta\n");
  EXPECT_EQ(List(P("big.tar")).size(), 2u);
}

TEST_F(PaxTest, BytesAfterASparseMapDoNotLoseTheLaterMembers) {
  // Format 1.0: the map ("1 region at 0 of 5 bytes") in the data's first
  // block, the region's bytes in the next, then a block the map does not
  // account for.
  std::string data = "1\n0\n5\n";
  data.resize(512, '\0');
  data += "hello";
  data.resize(1024, '\0');
  data += std::string(512, 'J');
  RawMember sparse("GNUSparseFile.0/s.log", '0', data);
  sparse.pax = PaxRecord("GNU.sparse.major", "1") + PaxRecord("GNU.sparse.minor", "0") +
               PaxRecord("GNU.sparse.name", "s.log") + PaxRecord("GNU.sparse.realsize", "5");
  WriteFile(Path("sparse.tar"), BuildTar({sparse, RawMember("after.log", '0', "after\n")}));
  const RunResult r = Extract(P("sparse.tar"));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(Path("out/s.log")), "hello");
  EXPECT_EQ(ReadFile(Path("out/after.log")), "after\n");
}

TEST_F(PaxTest, AHeaderClaimingMoreThanAnyRealOneIsACleanError) {
  RawMember huge("PaxHeaders/a.log", 'x', PaxRecord("comment", "x"));
  std::string bytes = BuildTar({huge, RawMember("a.log", '0', "alpha\n")});
  // The size field of the pax header: 1 GiB, octal.
  const std::string size = "10000000000";
  bytes.replace(124, size.size(), size);
  unsigned sum = 0;
  bytes.replace(148, 8, 8, ' ');
  for (int i = 0; i < 512; ++i) sum += static_cast<unsigned char>(bytes[i]);
  char text[8];
  std::snprintf(text, sizeof text, "%06o", sum);
  bytes.replace(148, 7, std::string(text, 6) + '\0');
  WriteFile(Path("huge.tar"), bytes);
  const RunResult r = Extract(P("huge.tar"));
  EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
  EXPECT_FALSE(fs::exists(Path("out/a.log")));
}

}  // namespace
}  // namespace tartest
