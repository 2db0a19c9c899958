// The copied corpus: every archive either extracts to exactly what an
// independent reader extracts (unar for RAR 1.5-4, bsdtar for RAR 5), or is
// refused with a message naming what cannot be read, writing no file data
// for it.
#include "UnrarHarness.h"

namespace unrartest {
namespace {

enum class Reference { unar, bsdtar };

struct Readable {
  const char* archive;
  Reference tool;
  const char* referenceArchive;  // what the tool extracts ("" = the same archive)
};

// bsdtar reads only the first volume of a RAR 5 set, and nothing here reads
// a whole one, so RAR 5 sets are checked against an archive of the same
// content (see tests/data/rar/README.md).
const Readable kReadable[] = {
    {"Rar.rar", Reference::unar, ""},
    {"Rar4.rar", Reference::unar, ""},
    {"Rar.none.rar", Reference::unar, ""},
    {"Rar.Audio_program.rar", Reference::unar, ""},
    {"Rar.multi.part01.rar", Reference::unar, ""},
    {"Rar4.multi.part01.rar", Reference::unar, ""},
    {"Rar4.split.001", Reference::unar, "Rar4.rar"},
    {"Rar5.rar", Reference::bsdtar, ""},
    {"Rar5.none.rar", Reference::bsdtar, ""},
    {"Rar5.solid.rar", Reference::bsdtar, ""},
    {"Rar5.comment.rar", Reference::bsdtar, ""},
    {"Rar5.crc_blake2.rar", Reference::bsdtar, ""},
    {"Rar5.multi.part01.rar", Reference::bsdtar, "Rar5.rar"},
};

class CorpusTest : public UnrarTest {};

TEST_F(CorpusTest, ExtractsWhatTheIndependentReaderExtracts) {
  SKIP_WITHOUT_TOOL("unar");
  SKIP_WITHOUT_TOOL("bsdtar");
  ASSERT_TRUE(fs::exists(Data("Rar.rar"))) << "test data missing at " << Data("");
  int n = 0;
  for (const auto& row : kReadable) {
    SCOPED_TRACE(row.archive);
    const std::string ours = P("ours" + std::to_string(n) + "/");
    const std::string ref = P("ref" + std::to_string(n++) + "/");
    const RunResult r = Unrar("-x -u  " + Q(Data(row.archive)) + " " + Q(ours));
    ASSERT_EQ(r.result, arc::kOk) << r.output;
    const std::string source = Data(*row.referenceArchive ? row.referenceArchive : row.archive);
    std::string log;
    fs::create_directories(ref);
    const std::string cmd = row.tool == Reference::unar
                                ? "unar -q -D -o " + Q(ref) + " " + Q(source)
                                : "bsdtar -xf " + Q(source) + " -C " + Q(ref);
    ASSERT_EQ(Shell(cmd, "", &log), 0) << cmd << "\n" << log;
    const auto expected = Tree(ref);
    ASSERT_GE(expected.size(), 1u);
    EXPECT_EQ(Tree(ours), expected);
    // A second run finds every file as new as its member and rewrites none.
    const RunResult again = Unrar("-x -u  " + Q(Data(row.archive)) + " " + Q(ours));
    EXPECT_EQ(again.result, arc::kOk) << again.output;
    EXPECT_EQ(again.output.find("展開  exe/test.exe"), std::string::npos) << again.output;
  }
}

struct Refused {
  const char* archive;
  std::int32_t result;
  std::vector<std::string> inReport;   // texts the report must hold
  std::vector<std::string> extracted;  // what may be written (a solid set's first member, folders)
};

const std::vector<Refused>& RefusedRows() {
  static const std::vector<Refused> rows = {
      {"Rar15.rar",
       unrar::kUnsupported,
       {"拒否  EXE/TEST.EXE: RAR 1.5 で圧縮されています", "TECT.TXT"},
       {"EXE/", "JPG/"}},
      {"Rar2.rar",
       unrar::kUnsupported,
       {"拒否  exe/test.exe: RAR 2.0 で圧縮されています"},
       {"exe/", "jpg/"}},
      {"Rar2.multi.rar",
       unrar::kUnsupported,
       {"拒否  jpg/test.jpg: RAR 2.0 で圧縮されています"},
       {"exe/", "jpg/"}},
      {"Rar.solid.rar",
       unrar::kUnsupported,
       {"失敗  exe/test.exe: RAR 1.5-4 のソリッド書庫の 2 番目以降のファイル"},
       {"тест.txt"}},
      {"Rar.comment.rar",
       unrar::kUnsupported,
       {"exe/test.exe: RAR 1.5-4 のソリッド書庫"},
       {"тест.txt"}},
      {"Rar.Encrypted.rar",
       unrar::kUnsupported,
       {"暗号化されています", "パスワードには対応していません"},
       {}},
      {"Rar.EncryptedParts.part01.rar", unrar::kUnsupported, {"暗号化されています"}, {}},
      {"Rar.encrypted_filesAndHeader.rar",
       unrar::kUnsupported,
       {"ヘッダーが暗号化されています"},
       {}},
      {"Rar5.encrypted_filesAndHeader.rar",
       unrar::kUnsupported,
       {"ヘッダーが暗号化されています"},
       {}},
      {"Rar.encrypted_filesOnly.rar",
       unrar::kUnsupported,
       {"拒否  exe/test.exe: 暗号化されています", "拒否  тест.txt: 暗号化されています"},
       {"Empty/", "exe/", "jpg/"}},
      {"Rar5.encrypted_filesOnly.rar",
       unrar::kUnsupported,
       {"拒否  jpg/test.jpg: 暗号化されています"},
       {"Empty/", "exe/", "jpg/"}},
      {"Rar.malformed_512byte.rar",
       arc::kNotArchive,
       {"失敗  dist/files/bin/res/common.pak: データが壊れています"},
       {}},
      {"Rar.test_invalid_exttime.rar", arc::kNotArchive, {"書庫が壊れています"}, {}},
      {"Rar4.multi.part02.rar", unrar::kUnsupported, {"最初の巻から開いてください"}, {}},
      {"Rar5.multi.part02.rar", unrar::kUnsupported, {"最初の巻から開いてください"}, {}},
      {"Rar.jpeg.jpg", arc::kNotArchive, {"は RAR の書庫ではありません"}, {}},
  };
  return rows;
}

TEST_F(CorpusTest, RefusesWhatItCannotReadAndSaysWhat) {
  int n = 0;
  for (const auto& row : RefusedRows()) {
    SCOPED_TRACE(row.archive);
    const std::string out = P("out" + std::to_string(n++) + "/");
    const RunResult r = Unrar("-x -u  " + Q(Data(row.archive)) + " " + Q(out));
    EXPECT_EQ(r.result, row.result) << r.output;
    for (const auto& text : row.inReport)
      EXPECT_NE(r.output.find(text), std::string::npos) << text << "\n" << r.output;
    // Folders may be made on the way; no file beyond those allowed.
    std::vector<std::string> written;
    for (const auto& [name, _] : Tree(out))
      if (name.back() != '/' || std::count(row.extracted.begin(), row.extracted.end(), name))
        written.push_back(name);
    std::vector<std::string> allowed = row.extracted;
    std::sort(allowed.begin(), allowed.end());
    EXPECT_EQ(written, allowed);
  }
}

TEST_F(CorpusTest, SolidRar5DecodesInOrderAndTestsClean) {
  const RunResult t = Unrar("-t  " + Q(Data("Rar5.solid.rar")));
  EXPECT_EQ(t.result, arc::kOk) << t.output;
  EXPECT_NE(t.output.find("6 件を検査し、6 件が正常でした"), std::string::npos) << t.output;
  // Asking for the last file alone still decodes the ones before it.
  const RunResult r =
      Unrar("-e -u  " + Q(Data("Rar5.solid.rar")) + " " + Q(P("one/")) + " " + Q("test.jpg"));
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  const std::string jpg = ReadFile(P("one/test.jpg"));
  EXPECT_EQ(jpg.size(), 40372u);
  EXPECT_EQ(Crc32(jpg), 0x088814E3u);
}

}  // namespace
}  // namespace unrartest
