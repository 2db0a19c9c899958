// File rows that point at the same bytes of a folder: a small cabinet that
// names one large block many times is refused by -t and by member reading
// before it is decoded, while rows in any order over distinct bytes, and a
// block named twice, still test sound and hand every byte out.
#include <chrono>

#include "CabHarness.h"
#include "SharedBlockCabinet.h"

namespace cabtest {
namespace {

constexpr std::uint32_t kBlock = 16u << 20;
constexpr int kRows = 256;

std::string RowName(int i) { return "DR11" + std::to_string(1000 + i) + ".log"; }

struct Read {
  std::int32_t result = 0;
  std::uint64_t bytes = 0;
  int ends = 0;
};

std::int32_t Count(void* user, const char*, const void* chunk, std::uint32_t length, std::int32_t) {
  auto* r = static_cast<Read*>(user);
  if (chunk == nullptr) ++r->ends;
  r->bytes += length;
  return 0;
}

class SharedDataTest : public TempDirTest {
 protected:
  Read ReadMembers(const std::string& archive) {
    const auto entry = kCab32.Entry<ArcReadMembersProc>("CabReadMembers");
    Read r;
    std::string output(4096, '\0');
    r.result = entry(archive.c_str(), "", &Count, &r, output.data(),
                     static_cast<std::uint32_t>(output.size()));
    return r;
  }
};

TEST_F(SharedDataTest, WorkIsBoundedByTheBytesTheRowsDeclare) {
  struct Row {
    const char* what;
    SharedBlockCabinet cabinet;
    bool sound;
  };
  std::vector<Row> rows(4);
  rows[0].what = "every row names the whole block";
  rows[1].what = "rows staggered over the block, each to its end";
  rows[2].what = "rows over distinct bytes, listed last first";
  rows[3].what = "two rows name the whole block";
  for (auto& row : rows) row.cabinet.folderBytes = kBlock;
  const std::uint32_t step = kBlock / kRows;
  for (int i = 0; i < kRows; ++i) {
    rows[0].cabinet.rows.push_back({RowName(i), 0, kBlock});
    rows[1].cabinet.rows.push_back({RowName(i), i * step, kBlock - i * step});
    rows[2].cabinet.rows.push_back({RowName(i), (kRows - 1 - i) * step, step});
  }
  rows[3].cabinet.rows = {{"a.log", 0, kBlock}, {"b.log", 0, kBlock}};
  rows[0].sound = rows[1].sound = false;
  rows[2].sound = rows[3].sound = true;

  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string bytes = row.cabinet.Build();
    const std::string archive = P("H.CAB");
    WriteFile(archive, bytes);
    if (!row.sound) {
      EXPECT_LT(bytes.size(), 40000u);
    }

    const auto start = std::chrono::steady_clock::now();
    const RunResult t = Cab("-t " + Q(archive));
    const Read read = ReadMembers(archive);
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::uint64_t handedOut = 0;
    for (const auto& r : row.cabinet.rows) handedOut += r.length;
    if (row.sound) {
      EXPECT_EQ(t.result, arc::kOk) << t.output;
      EXPECT_EQ(read.result, arc::kOk);
      EXPECT_EQ(read.ends, static_cast<int>(row.cabinet.rows.size()));
      EXPECT_EQ(read.bytes, handedOut);
    } else {
      EXPECT_EQ(t.result, arc::kNotArchive) << t.output;
      EXPECT_NE(t.output.find("同じデータを重ねて指して"), std::string::npos) << t.output;
      EXPECT_EQ(read.result, arc::kNotArchive);
      EXPECT_EQ(read.bytes, 0u);  // refused before any decoding
    }
    EXPECT_LT(seconds, 10.0);  // a backstop: the old code took 38 s here
    EXPECT_EQ(ListFiles(P("")), std::vector<std::string>{"H.CAB"});
  }
}

}  // namespace
}  // namespace cabtest
