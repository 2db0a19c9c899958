// The foreign archives in tests/data/zip (copied from the shared corpus):
// each is extracted as 7zz extracts it, or refused with a clear reason.
#include <set>

#include "ZipHarness.h"

namespace ziptest {
namespace {

struct Row {
  const char* archive;
  std::int32_t result;
  std::size_t files;      // files we extract (folders not counted)
  const char* reportHas;  // a piece of the report, or ""
};

const Row kRows[] = {
    {"PrePostHeaders.zip", arc::kOk, 3, ""},
    {"WinZip26.zip", arc::kOk, 3, ""},
    {"WinZip26_BZip2.zipx", arc::kOk, 3, ""},
    {"WinZip26_LZMA.zipx", arc::kOk, 3, ""},
    {"WinZip27_XZ.zipx", arc::kOk, 3, ""},
    {"WinZip27_ZSTD.zipx", arc::kOk, 3, ""},
    {"Zip.644.zip", arc::kOk, 1, ""},
    {"Zip.EntryComment.zip", arc::kOk, 1, ""},
    {"Zip.LongComment.zip", arc::kOk, 1, ""},
    {"Zip.UnicodePathExtra.zip", arc::kOk, 1, ""},
    {"Zip.bzip2.dd.zip", arc::kOk, 3, ""},
    {"Zip.bzip2.noEmptyDirs.zip", arc::kOk, 3, ""},
    {"Zip.bzip2.zip", arc::kOk, 3, ""},
    {"Zip.deflate.dd-.zip", arc::kOk, 3, ""},
    {"Zip.deflate.dd.zip", arc::kOk, 3, ""},
    {"Zip.deflate.mod.zip", arc::kOk, 2, ""},
    {"Zip.deflate.mod2.zip", arc::kOk, 3, ""},
    {"Zip.deflate.noEmptyDirs.zip", arc::kOk, 3, ""},
    {"Zip.deflate.zip", arc::kOk, 3, ""},
    {"Zip.lzma.dd.zip", arc::kOk, 3, ""},
    {"Zip.lzma.noEmptyDirs.zip", arc::kOk, 3, ""},
    {"Zip.lzma.zip", arc::kOk, 3, ""},
    {"Zip.none.datadescriptors.zip", arc::kOk, 2, ""},
    {"Zip.none.issue86.zip", arc::kOk, 5, ""},
    {"Zip.none.noEmptyDirs.zip", arc::kOk, 3, ""},
    {"Zip.none.zip", arc::kOk, 3, ""},
    {"Zip.ppmd.dd.zip", arc::kOk, 3, ""},
    {"Zip.ppmd.noEmptyDirs.zip", arc::kOk, 3, ""},
    {"Zip.ppmd.zip", arc::kOk, 3, ""},
    {"Zip.uncompressed.zip", arc::kOk, 4, ""},
    {"Zip.zip64.zip", arc::kOk, 3, ""},
    {"Zip.zipx", arc::kOk, 3, ""},
    {"test_477.zip", arc::kOk, 4, ""},
    // An empty LZMA entry (7zz refuses it; Python's zipfile writes such entries).
    {"Zip.lzma.empty.zip", arc::kOk, 1, ""},
    // Methods neither library decodes: named per entry, the rest extracted.
    {"Zip.deflate64.zip", arc::kWarning, 0, "deflation-64-bit"},
    {"Zip.implode.zip", arc::kWarning, 1, "imploded"},
    {"Zip.shrink.zip", arc::kWarning, 1, "shrinking"},
    {"Zip.reduce1.zip", arc::kWarning, 0, "reduced-1"},
    {"Zip.reduce4.zip", arc::kWarning, 0, "reduced-4"},
    // Encrypted entries without a password; the plain ones are extracted.
    {"Zip.none.encrypted.zip", arc::kCannotRead, 0, "暗号化されています"},
    {"Zip.deflate.pkware.zip", arc::kCannotRead, 0, "暗号化されています"},
    {"Zip.deflate.WinzipAES.zip", arc::kCannotRead, 0, "暗号化されています"},
    {"Zip.zstd.WinzipAES.mixed.zip", arc::kCannotRead, 2, "暗号化されています"},
    {"zipcrypto.zip", arc::kCannotRead, 0, "暗号化されています"},
    // Multi-volume sets, damaged and hostile archives.
    {"Infozip.nocomp.multi.zip", arc::kNotArchive, 0, "分割書庫には対応していません"},
    {"WinZip26.nocomp.multi.zip", arc::kNotArchive, 0, "分割書庫には対応していません"},
    {"Zip.zip64.compressedonly.zip", arc::kNotArchive, 0, "書庫が壊れています"},
    {"Zip.badlocalextra.zip", arc::kNotArchive, 0, "破損"},
    {"Zip.Evil.zip", arc::kUnsafeName, 1, "拒否"},
};

// CRC and size of every regular file below root.
std::multiset<std::pair<std::uint32_t, std::size_t>> Contents(const fs::path& root) {
  std::multiset<std::pair<std::uint32_t, std::size_t>> out;
  for (const auto& f : ListFiles(root)) {
    const std::string data = ReadFile(root / f);
    out.insert({Crc32(data), data.size()});
  }
  return out;
}

TEST_F(ZipTest, ForeignArchivesAreExtractedAs7zzDoesOrRefusedClearly) {
  SKIP_WITHOUT_TOOL("7zz");
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.archive);
    const std::string archive = std::string(DATA_DIR) + "/" + row.archive;
    const fs::path ours = Path(std::string("ours-") + row.archive);
    const fs::path ref = Path(std::string("ref-") + row.archive);
    auto r = UnZip("-x " + Q(archive) + " " + Q(ours.string() + "/"));
    EXPECT_EQ(r.result, row.result) << r.output;
    EXPECT_NE(r.output.find(row.reportHas), std::string::npos) << r.output;
    const auto got = Contents(ours);
    EXPECT_EQ(got.size(), row.files) << r.output;
    // Every file we wrote is one that 7zz writes too (names aside: a name
    // without the UTF-8 flag is read as cp932 here).
    Shell("7zz x -pnone -y -o" + Q(ref.string()) + " " + Q(archive), dir_);
    const auto want = Contents(ref);
    for (const auto& c : got) EXPECT_EQ(want.count(c), got.count(c)) << std::hex << c.first;
    // Nothing lands beside the target folder.
    for (const auto& e : fs::directory_iterator(dir_)) {
      const std::string n = e.path().filename().string();
      EXPECT_TRUE(n.rfind("ours-", 0) == 0 || n.rfind("ref-", 0) == 0) << n;
    }
  }
}

TEST_F(ZipTest, ForeignArchivesListAsTheirDirectorySays) {
  // The last name is cp866 without the flag: read as cp932, as the rule says.
  const std::vector<std::string> expected = {"Empty/", "exe/",         "exe/test.exe",
                                             "jpg/",   "jpg/test.jpg", "筵矮.txt"};
  EXPECT_EQ(ListNames(kUnzip32, std::string(DATA_DIR) + "/Zip.none.zip"), expected);
  // An archive the directory reader refuses opens no listing.
  EXPECT_TRUE(ListNames(kUnzip32, std::string(DATA_DIR) + "/Infozip.nocomp.multi.zip").empty());
  EXPECT_EQ(ListNames(kZip32j, std::string(DATA_DIR) + "/Zip.zip64.zip").size(), 3u);
}

TEST_F(ZipTest, AWrongPasswordGivesDamagedDataNeverGarbage) {
  const std::string archive = std::string(DATA_DIR) + "/Zip.none.encrypted.zip";
  auto r = UnZip("-x -Pwrong " + Q(archive) + " " + Q(P("out") + "/"));
  EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
  EXPECT_TRUE(ListFiles(Path("out")).empty());
}

}  // namespace
}  // namespace ziptest
