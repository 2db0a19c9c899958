// The find entries: every field of the record, wildcards, the check-only
// open mode the content check uses, and archives that do not open.
#include <ctime>
#include <sstream>

#include "UnrarHarness.h"

namespace unrartest {
namespace {

constexpr std::uint32_t kCheckOnly = 0x800002;  // what the RAR back end's content check passes

class ListingTest : public UnrarTest {};

TEST_F(ListingTest, NamesAreWhatLsarLists) {
  SKIP_WITHOUT_TOOL("lsar");
  for (const char* archive : {"Rar4.rar", "Rar2.rar", "Rar15.rar", "Rar.multi.part01.rar"}) {
    SCOPED_TRACE(archive);
    std::string log;
    ASSERT_EQ(Shell("lsar " + Q(Data(archive)), "", &log), 0) << log;
    std::vector<std::string> expected;
    std::stringstream ss(log);
    std::getline(ss, log);  // "<archive>: RAR"
    for (std::string line; std::getline(ss, line);)
      if (!line.empty()) expected.push_back(line);
    std::vector<std::string> ours;
    for (const auto& e : List(Data(archive))) ours.push_back(e.FileName);
    std::sort(expected.begin(), expected.end());
    std::sort(ours.begin(), ours.end());
    EXPECT_EQ(ours, expected);
  }
}

TEST_F(ListingTest, FillsEveryFieldFromTheMembersHeader) {
  for (const char* archive : {"Rar.rar", "Rar5.rar", "Rar5.multi.part01.rar"}) {
    SCOPED_TRACE(archive);
    auto entries = List(Data(archive));
    ASSERT_EQ(entries.size(), 6u);
    const std::string rar5 = std::string(archive).rfind("Rar5", 0) == 0 ? "RAR5:" : "RAR:";
    for (const auto& e : entries) {
      const std::string name = e.FileName;
      SCOPED_TRACE(name);
      if (name == "exe/test.exe") {
        EXPECT_EQ(e.OriginalSize, 45056u);
        EXPECT_EQ(e.Crc, 0xCFB109C8u);
        EXPECT_STREQ(e.Method, (rar5 + "m3").c_str());
        EXPECT_STREQ(e.Attribute, "-a--");
        EXPECT_EQ(e.OsType, 2u);  // Windows
        EXPECT_GT(e.CompressedSize, 10000u);
        EXPECT_LT(e.CompressedSize, 20000u);
        EXPECT_EQ(e.Ratio, (e.CompressedSize * 1000 + 45056 / 2) / 45056);
        EXPECT_EQ(e.Flags & 1u, 0u);
        // 2002-05-19, the time of day depends on the zone
        EXPECT_EQ(e.DosDate, ((2002 - 1980) << 9) | (5 << 5) | 19);
      } else if (name == "тест.txt") {
        EXPECT_EQ(e.OriginalSize, 15498u);
        EXPECT_EQ(e.Crc, 0x9BD160FAu);
      } else if (name.back() == '/') {
        EXPECT_STREQ(e.Attribute, "-d--");
        EXPECT_EQ(e.OriginalSize, 0u);
      }
      EXPECT_EQ(std::string(e.FileName, sizeof e.FileName).find('\0'), name.size());
    }
  }
  // Members of a volume set whose data runs over volumes carry the split flag.
  auto multi = List(Data("Rar5.multi.part01.rar"));
  EXPECT_EQ(multi[0].Flags & 4u, 4u);
}

TEST_F(ListingTest, FlagsEncryptedAndUnreadableMembers) {
  auto entries = List(Data("Rar5.encrypted_filesOnly.rar"));
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries[0].Flags & 0x09u, 0x09u);  // encrypted, cannot be extracted
  EXPECT_EQ(entries[3].Flags, 0u);             // a folder
  auto old = List(Data("Rar15.rar"));
  ASSERT_EQ(old.size(), 5u);
  EXPECT_EQ(old[1].Flags & 0x08u, 0x08u);
  auto solid = List(Data("Rar5.solid.rar"));
  ASSERT_EQ(solid.size(), 6u);
  EXPECT_EQ(solid[1].Flags & 0x02u, 0x02u);
}

TEST_F(ListingTest, WildcardsMatchTheNameOrTheWholePath) {
  auto jpg = List(Data("Rar4.rar"), "*.jpg");
  ASSERT_EQ(jpg.size(), 1u);
  EXPECT_STREQ(jpg[0].FileName, "jpg/test.jpg");
  EXPECT_EQ(List(Data("Rar4.rar"), "exe/*").size(), 1u);
  EXPECT_EQ(List(Data("Rar4.rar"), "").size(), 5u);
  EXPECT_TRUE(List(Data("Rar4.rar"), "*.none").empty());
}

TEST_F(ListingTest, OpenGivesZeroForWhatIsNoReadableRar) {
  const ArchiverLibrary& lib = kUnrar32;
  Write("text.rar", "just text, long enough to look at");
  Write("empty.rar", "");
  for (const std::string& name :
       {P("text.rar"), P("empty.rar"), P("missing.rar"), Data("Rar.jpeg.jpg"), P("")}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(lib.open(nullptr, name.c_str(), 0), 0);
    EXPECT_EQ(lib.open(nullptr, name.c_str(), kCheckOnly), 0);
    EXPECT_EQ(lib.check(name.c_str(), 0), 0);
  }
  EXPECT_EQ(lib.open(nullptr, nullptr, 0), 0);
  // Encrypted headers: nothing to list, but the file is a RAR archive.
  EXPECT_EQ(lib.open(nullptr, Data("Rar5.encrypted_filesAndHeader.rar").c_str(), 0), 0);
  const ArcHandle h =
      lib.open(nullptr, Data("Rar5.encrypted_filesAndHeader.rar").c_str(), kCheckOnly);
  EXPECT_NE(h, 0);
  EXPECT_EQ(lib.close(h), 0);
  EXPECT_EQ(lib.close(h), -1);
  EXPECT_EQ(lib.check(Data("Rar.Encrypted.rar").c_str(), 0), 1);
  TArchiveEntryInfo info{};
  EXPECT_EQ(lib.findFirst(h, "*", &info), -1);
  EXPECT_EQ(lib.findNext(h, &info), -1);
}

TEST_F(ListingTest, HandlesAreIndependent) {
  const ArchiverLibrary& lib = kUnrar32;
  const ArcHandle a = lib.open(nullptr, Data("Rar4.rar").c_str(), 0);
  const ArcHandle b = lib.open(nullptr, Data("Rar5.rar").c_str(), 0);
  ASSERT_NE(a, 0);
  ASSERT_NE(b, 0);
  EXPECT_NE(a, b);
  TArchiveEntryInfo ia{}, ib{};
  ASSERT_EQ(lib.findFirst(a, "*", &ia), 0);
  ASSERT_EQ(lib.findFirst(b, "*.txt", &ib), 0);
  EXPECT_STREQ(ia.FileName, "exe/test.exe");
  EXPECT_STREQ(ib.FileName, "тест.txt");
  ASSERT_EQ(lib.findNext(a, &ia), 0);
  EXPECT_STREQ(ia.FileName, "jpg/test.jpg");
  EXPECT_EQ(lib.findNext(b, &ib), -1);
  EXPECT_EQ(lib.close(a), 0);
  EXPECT_EQ(lib.close(b), 0);
}

}  // namespace
}  // namespace unrartest
