// Archives made by other programs: jlha with each method and header level,
// the shared corpus with its expected CRCs, and generated archives in the
// forms other writers use (UTF-16 names, MacBinary), listed and extracted by
// the library.
#include <chrono>

#include "UnlhaHarness.h"
#include "tests/archivers/lzharc/HostileArchives.h"

namespace unlhatest {
namespace {

class ForeignArchiveTest : public TempDirTest {
 protected:
  std::vector<TArchiveEntryInfo> List(const std::string& archive) {
    bool opened = false;
    std::vector<TArchiveEntryInfo> entries = kUnlha32.List(archive, "*.*", 0, &opened);
    EXPECT_TRUE(opened) << archive;
    return entries;
  }
};

TEST_F(ForeignArchiveTest, JlhaArchivesOfEachMethodAndLevel) {
  SKIP_WITHOUT_TOOL("jlha");
  const std::string a = LogText(120000, 5), b = RandomBytes(3000, 6) + LogText(20000, 8);
  WriteFile(Path("in/a.log"), a);
  WriteFile(Path("in/b.log"), b);
  for (int method : {5, 6, 7}) {
    for (int level : {0, 1, 2}) {
      SCOPED_TRACE("-lh" + std::to_string(method) + "- level " + std::to_string(level));
      const std::string name = "j" + std::to_string(method) + std::to_string(level) + ".lzh";
      const auto jlha = RunCommand("jlha a" + std::to_string(level) + "o" + std::to_string(method) +
                                       " " + ShellQuote(P(name)) + " a.log b.log",
                                   P("in"));
      ASSERT_EQ(jlha.status, 0) << jlha.output;
      EXPECT_EQ(ReadFile(Path(name)).at(20),
                static_cast<char>(level));  // the header level jlha wrote
      auto entries = List(P(name));
      ASSERT_EQ(entries.size(), 2u);
      EXPECT_STREQ(entries[0].FileName, "a.log");
      EXPECT_STREQ(entries[0].Method, ("-lh" + std::to_string(method) + "-").c_str());
      EXPECT_EQ(entries[0].OriginalSize, a.size());
      EXPECT_EQ(entries[1].OriginalSize, b.size());
      const std::string out = "out" + std::to_string(method) + std::to_string(level) + "/";
      RunResult r = Unlha("x -+  " + Q(P(name)) + " " + Q(P(out)));
      ASSERT_EQ(r.result, arc::kOk) << r.output;
      EXPECT_EQ(ReadFile(Path(out + "a.log")), a);
      EXPECT_EQ(ReadFile(Path(out + "b.log")), b);
      EXPECT_EQ(Unlha("t -+  " + Q(P(name))).result, arc::kOk);
    }
  }
}

TEST_F(ForeignArchiveTest, CorpusExtractsWithExpectedCrcs) {
  auto rows = CorpusRows("lzh");
  ASSERT_GT(rows.size(), 50u) << "corpus missing at " << CorpusDir("lzh");
  int checked = 0, rooted = 0;
  for (const auto& row : rows) {
    // PMarc methods are not LZH methods this library reads; hostile archives
    // have their own tests.
    if (row.archive.rfind("regression/", 0) == 0 || row.archive.find(".pma") != std::string::npos)
      continue;
    SCOPED_TRACE(row.archive);
    const std::string archive = CorpusDir("lzh") + "/" + row.archive;
    const std::string out = "c" + std::to_string(checked) + "/";
    RunResult r = Unlha("x -+ -c1  " + Q(archive) + " " + Q(P(out)));
    EXPECT_EQ(Unlha("t -+  " + Q(archive)).result, arc::kOk);
    if (r.result == arc::kWarning) {
      // MS-DOS archivers that stored names from the root ("\subdir\...")
      // land below the base folder like any absolute name, with a warning.
      EXPECT_NE(r.output.find("絶対パスの先頭の / を除きました"), std::string::npos) << r.output;
      ++rooted;
    } else {
      ASSERT_EQ(r.result, arc::kOk) << r.output;
    }
    std::string all;
    for (const auto& e : List(archive)) {
      std::string name = e.FileName;
      if (!name.empty() && name.back() == '/') continue;  // folder
      all += ReadFile(Path(out + name));
    }
    EXPECT_EQ(all.size(), row.length);
    EXPECT_EQ(Crc32(all), row.crc);
    ++checked;
  }
  EXPECT_GT(checked, 50);
  EXPECT_LE(rooted, 3);
}

TEST_F(ForeignArchiveTest, PmarcMembersAreSkippedWithAWarning) {
  RunResult r = Unlha("x -+  " + Q(CorpusDir("lzh") + "/pmarc2/pm2.pma") + " " + Q(P("out/")));
  EXPECT_EQ(r.result, arc::kWarning) << r.output;
  EXPECT_NE(r.output.find("には対応していません"), std::string::npos);
  EXPECT_TRUE(ListFiles(Path("out")).empty());
}

}  // namespace
}  // namespace unlhatest

namespace unlhatest {
namespace {

using lzhtest::Archive;
using lzhtest::MemberSpec;

TEST_F(ForeignArchiveTest, UnicodeNamesAndMacBinaryMembersAsOtherReadersShowThem) {
  MemberSpec unicode;
  unicode.name = "______.log";
  unicode.data = lzhtest::Text("unicode");
  unicode.extensions = {{0x44, lzhtest::Utf16Le(u"ログ.log")}, {0x45, lzhtest::Utf16Le(u"月報")}};
  MemberSpec mac;
  mac.name = "Read Me";
  mac.osId = 'm';
  mac.data = lzhtest::MacBinaryImage("Read Me", lzhtest::Text("data fork"),
                                     lzhtest::Bytes(200, 0xA5), true);
  WriteFile(Path("F.LZH"),
            lzhtest::Archive({lzhtest::Level1Member(unicode), lzhtest::Level1Member(mac)}));

  const auto entries = List(P("F.LZH"));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_STREQ(entries[0].FileName, "月報/ログ.log");
  EXPECT_STREQ(entries[1].FileName, "Read Me");
  EXPECT_EQ(entries[1].OriginalSize, 9u);
  RunResult r = Unlha("l -+  " + Q(P("F.LZH")));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_NE(r.output.find("           9 "), std::string::npos) << r.output;

  r = Unlha("x -+  " + Q(P("F.LZH")) + " " + Q(P("out/")));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(Path("out/月報/ログ.log")), "unicode");
  EXPECT_EQ(ReadFile(Path("out/Read Me")), "data fork");
  r = Unlha("t -+  " + Q(P("F.LZH")));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
}

TEST_F(ForeignArchiveTest, ALongChainOfExtendedHeadersIsDamageFoundQuickly) {
  WriteFile(Path("C.LZH"), Archive({lzhtest::EmptyExtensionChain(349000)}));
  const auto start = std::chrono::steady_clock::now();
  for (const char* cmd : {"l", "t", "x"}) {
    RunResult r = Unlha(std::string(cmd) + " -+  " + Q(P("C.LZH")) + " " + Q(P("out/")));
    EXPECT_EQ(r.result, arc::kNotArchive) << cmd << ": " << r.output;
  }
  EXPECT_EQ(kUnlha32.open(nullptr, P("C.LZH").c_str(), 0), 0);
  EXPECT_EQ(kUnlha32.check(P("C.LZH").c_str(), 0), 0);
  // A backstop: each of these took minutes when every header meant a re-parse.
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
}

}  // namespace
}  // namespace unlhatest
