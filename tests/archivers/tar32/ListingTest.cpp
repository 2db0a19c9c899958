// The listing entries and the archive type: every field of the record, the
// wildcard, handles, and the type numbers of every form.
#include <cstring>
#include <random>

#include "TarHarness.h"

namespace tartest {
namespace {

class ListingTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    WriteFile(Path("src/a.log"), LogText(5000, 1));
    WriteFile(Path("src/sub/b.txt"), "bee");
    WriteFile(Path("src/ro.log"), "read only");
    fs::permissions(Path("src/ro.log"), fs::perms::owner_read | fs::perms::group_read);
    fs::create_symlink("a.log", Path("src/ln"));
    for (auto p : {"src/a.log", "src/sub/b.txt", "src/ro.log"})
      fs::last_write_time(Path(p), fs::file_time_type::clock::now() - std::chrono::hours(48));
  }
  std::string Make(const std::string& name, const std::string& sw) {
    auto r = Tar("c " + sw + " -f " + Q(P(name)) + " -o " + Q(P("src") + "/") + " *");
    EXPECT_EQ(r.result, arc::kOk) << r.output;
    return P(name);
  }
};

TEST_F(ListingTest, RecordIsFilledForEveryKindOfMember) {
  for (const auto& [name, sw, method] :
       {std::tuple{"p.tar", "", "tar"}, {"g.tgz", "-z", "gzip"}, {"b.tbz", "-B", "bzip2"}}) {
    SCOPED_TRACE(name);
    auto listed = List(Make(name, sw));
    std::map<std::string, TArchiveEntryInfo> by;
    for (auto& l : listed) by[l.name] = l.info;
    ASSERT_EQ(by.size(), 5u);
    const TArchiveEntryInfo& a = by.at("a.log");
    EXPECT_EQ(a.OriginalSize, 5000u);
    EXPECT_EQ(a.CompressedSize, 5000u);  // no per-member packed size in a tar
    EXPECT_EQ(a.Ratio, 1000);
    EXPECT_STREQ(a.Method, method);
    EXPECT_STREQ(a.Attribute, "-a--");
    EXPECT_EQ(a.Crc, 0u);
    struct stat st {};
    ASSERT_EQ(::stat(P("src/a.log").c_str(), &st), 0);
    struct tm tm {};
    ::localtime_r(&st.st_mtime, &tm);
    EXPECT_EQ(a.DosDate, ((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
    EXPECT_EQ(a.DosTime, (tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
    EXPECT_STREQ(by.at("sub/").Attribute, "-d--");
    EXPECT_STREQ(by.at("ro.log").Attribute, "ra--");
    EXPECT_STREQ(by.at("ln").Attribute, "-al-");
    EXPECT_EQ(by.at("sub/b.txt").OriginalSize, 3u);
    // Bytes after the name and the texts are zero.
    const auto* raw = reinterpret_cast<const unsigned char*>(&a);
    for (std::size_t i = 26 + std::strlen(a.FileName); i < 542; ++i) ASSERT_EQ(raw[i], 0) << i;
  }
}

TEST_F(ListingTest, WildcardsSelectMembers) {
  const std::string archive = Make("w.tar", "");
  EXPECT_EQ(List(archive, "*.log").size(), 2u);
  EXPECT_EQ(List(archive, "sub/*").size(), 1u);
  EXPECT_EQ(List(archive, "").size(), 5u);
  EXPECT_TRUE(List(archive, "*.zip").empty());
}

TEST_F(ListingTest, HandlesAreIndependentAndClosedOnce) {
  const ArchiverLibrary& lib = kTar32;
  const std::string archive = Make("h.tar", "");
  ArcHandle h1 = lib.open(nullptr, archive.c_str(), 0);
  ArcHandle h2 = lib.open(nullptr, archive.c_str(), 0);
  ASSERT_NE(h1, 0);
  ASSERT_NE(h2, 0);
  EXPECT_NE(h1, h2);
  TArchiveEntryInfo info;
  ASSERT_EQ(lib.findFirst(h1, "*", &info), 0);
  ASSERT_EQ(lib.findFirst(h2, "*.log", &info), 0);
  EXPECT_EQ(lib.close(h1), 0);
  EXPECT_EQ(lib.close(h1), -1);
  EXPECT_EQ(lib.findNext(h1, &info), -1);
  EXPECT_EQ(lib.findNext(h2, &info), 0);
  EXPECT_EQ(lib.findNext(h2, nullptr), -1);
  EXPECT_EQ(lib.close(h2), 0);
  EXPECT_EQ(lib.open(nullptr, P("missing.tar").c_str(), 0), 0);
  EXPECT_EQ(lib.open(nullptr, nullptr, 0), 0);
}

TEST_F(ListingTest, TypeNumbersOfEveryForm) {
  SKIP_WITHOUT_TOOL("gzip");
  SKIP_WITHOUT_TOOL("bzip2");
  EXPECT_EQ(Type(Make("t.tar", "")), 1);
  EXPECT_EQ(Type(Make("t.tgz", "-z")), 2);
  EXPECT_EQ(Type(Make("t.taz", "")), 3);  // compress, by the extension
  EXPECT_EQ(Type(Make("t.tbz", "-B")), 6);
  WriteFile(Path("lone.log"), LogText(3000, 4));
  std::string log;
  ASSERT_EQ(Shell("gzip -k lone.log && bzip2 -k lone.log", dir_, &log), 0) << log;
  EXPECT_EQ(Type(P("lone.log.gz")), 4);
  EXPECT_EQ(Type(P("lone.log.bz2")), 7);
  EXPECT_EQ(Type(P("lone.log")), 0);
  EXPECT_EQ(Type(P("missing")), 0);
  WriteFile(Path("zero"), "");
  EXPECT_EQ(Type(P("zero")), 0);
  // A lone compressed file reads as one member named after the file.
  auto listed = List(P("lone.log.gz"));
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].name, "lone.log");
  EXPECT_EQ(listed[0].info.OriginalSize, 3000u);
  ASSERT_EQ(Tar("x -f " + Q(P("lone.log.bz2")) + " -o " + Q(P("out") + "/")).result, arc::kOk);
  EXPECT_EQ(ReadFile(Path("out/lone.log")), ReadFile(Path("lone.log")));
}

TEST_F(ListingTest, DamagedArchivesDoNotOpen) {
  std::string tgz = ReadFile(Make("d.tgz", "-z"));
  WriteFile(Path("cut.tgz"), tgz.substr(0, tgz.size() / 2));
  std::string tar = ReadFile(Make("d.tar", ""));
  tar[5] ^= 0x01;  // inside the first member's name: its header checksum fails
  WriteFile(Path("flip.tar"), tar);
  // Random data is stored, not compressed: a byte flipped in it still
  // inflates, and only the gzip CRC-32 tells; here that of the middle one
  // of the three members our writer makes of it.
  std::mt19937 rng(5);
  std::string noise(2500000, '\0');
  for (auto& c : noise) c = static_cast<char>(rng());
  WriteFile(Path("src/noise.bin"), noise);
  std::string stored = ReadFile(Make("crc.tgz", "-z"));
  stored[stored.size() / 2] ^= 0x10;
  WriteFile(Path("crc.tgz"), stored);
  for (auto name : {"cut.tgz", "flip.tar", "crc.tgz"}) {
    bool opened = true;
    List(P(name), "*", &opened);
    EXPECT_FALSE(opened) << name;
    EXPECT_EQ(Tar("x -f " + Q(P(name)) + " -o " + Q(P("out") + "/")).result, arc::kNotArchive)
        << name;
    EXPECT_TRUE(!fs::exists(Path("out")) || fs::is_empty(Path("out"))) << name;
  }
}

}  // namespace
}  // namespace tartest
