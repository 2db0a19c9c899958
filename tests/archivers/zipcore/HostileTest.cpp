// Hostile archives from the generator: each gives a clean result and
// nothing is written outside the target folder.
#include "HostileZip.h"
#include "ZipHarness.h"

namespace ziptest {
namespace {

class HostileTest : public ZipTest {
 protected:
  RunResult Extract(const std::vector<HostileEntry>& entries) {
    WriteFile(Path("evil.zip"), HostileZip::Build(entries));
    return UnZip("-x -o " + Q(P("evil.zip")) + " " + Q(P("out") + "/"));
  }
  // Only the archive and the target folder are in the test folder.
  void ExpectNothingOutside() {
    for (const auto& e : fs::directory_iterator(dir_)) {
      const std::string n = e.path().filename().string();
      EXPECT_TRUE(n == "evil.zip" || n == "out") << "written outside: " << n;
    }
  }
};

TEST_F(HostileTest, ParentFolderNamesAreRefused) {
  auto r = Extract({HostileZip::Stored("../evil.txt", "x", Crc32("x")),
                    HostileZip::Stored("a/../../evil2.txt", "x", Crc32("x")),
                    HostileZip::Stored("..\\evil3.txt", "x", Crc32("x")),
                    HostileZip::Stored("good.txt", "ok", Crc32("ok"))});
  EXPECT_EQ(r.result, arc::kUnsafeName) << r.output;
  EXPECT_EQ(ListFiles(Path("out")), std::vector<std::string>{"good.txt"});
  ExpectNothingOutside();
}

TEST_F(HostileTest, AbsoluteNamesLandInsideTheFolder) {
  const std::string target = P("abs-target/abs.txt");
  auto r = Extract({HostileZip::Stored(target, "x", Crc32("x")),
                    HostileZip::Stored("\\windows\\evil.txt", "y", Crc32("y"))});
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_FALSE(fs::exists(target));
  EXPECT_EQ(ReadFile(Path("out") / target.substr(1)), "x");
  EXPECT_EQ(ReadFile(Path("out/windows/evil.txt")), "y");
  ExpectNothingOutside();
}

TEST_F(HostileTest, LinksPointingOutsideAreRefusedAndNeverFollowed) {
  auto r = Extract({HostileZip::Stored("up", "../..", Crc32("../.."), 0120777),
                    HostileZip::Stored("abs", P(""), Crc32(P("")), 0120777),
                    HostileZip::Stored("up/escape.txt", "x", Crc32("x")),
                    HostileZip::Stored("a.txt", "inside", Crc32("inside")),
                    HostileZip::Stored("inner", "a.txt", Crc32("a.txt"), 0120777)});
  EXPECT_EQ(r.result, arc::kUnsafeName) << r.output;
  EXPECT_FALSE(fs::is_symlink(Path("out/up")));
  EXPECT_FALSE(fs::is_symlink(Path("out/abs")));
  ASSERT_TRUE(fs::is_symlink(Path("out/inner")));
  EXPECT_EQ(fs::read_symlink(Path("out/inner")), "a.txt");
  ExpectNothingOutside();
}

TEST_F(HostileTest, ALocalHeaderThatDisagreesWithTheDirectoryWritesNothingOutside) {
  HostileEntry e = HostileZip::Stored("good.txt", "x", Crc32("x"));
  e.localName = "../bad.txt";
  auto r = Extract({e});
  EXPECT_NE(r.result, arc::kOk) << r.output;  // refused or reported damaged
  ExpectNothingOutside();
}

TEST_F(HostileTest, EntriesSharingOneDataBlockAreRefused) {
  // A small "zip bomb": a thousand names for the same compressed block.
  const std::string block = HostileZip::DeflateStored(std::string(60000, 'A'));
  std::vector<HostileEntry> entries;
  HostileEntry first;
  first.name = "0.txt";
  first.method = 8;
  first.data = block;
  first.crc = Crc32(std::string(60000, 'A'));
  first.originalSize = 60000;
  first.compressedSize = static_cast<std::uint32_t>(block.size());
  entries.push_back(first);
  for (int i = 1; i < 1000; ++i) {
    HostileEntry e = first;
    e.name = std::to_string(i) + ".txt";
    e.sharesDataOf = 0;
    entries.push_back(e);
  }
  auto r = Extract(entries);
  EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
  EXPECT_NE(r.output.find("同じデータ"), std::string::npos) << r.output;
  EXPECT_TRUE(ListFiles(Path("out")).empty());
  EXPECT_EQ(ListNames(kUnzip32, P("evil.zip")).size(), 0u);
  ExpectNothingOutside();
}

TEST_F(HostileTest, AHugeClaimedSizeEndsAsDamagedWithNoFile) {
  HostileEntry e;
  e.name = "huge.bin";
  e.method = 8;
  e.data = HostileZip::DeflateStored("only ten b");
  e.crc = Crc32("only ten b");
  e.originalSize = 0xFFFFFFFFu;
  e.compressedSize = static_cast<std::uint32_t>(e.data.size());
  auto r = Extract({e});
  EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
  EXPECT_TRUE(ListFiles(Path("out")).empty());
  ExpectNothingOutside();
}

// The damaged stream comes first: it leaves the reader unusable, and the
// sound entry and the CRC mismatch after it must still be tested.
TEST_F(HostileTest, TestReportsEveryDamagedEntryAndGoesOn) {
  HostileEntry badCrc = HostileZip::Stored("bad-crc.txt", "some text", Crc32("other text"));
  HostileEntry badStream;
  badStream.name = "bad-stream.txt";
  badStream.method = 8;
  badStream.data = "\x07 not a deflate stream";  // a final block of the reserved type
  badStream.crc = Crc32("whatever");
  badStream.originalSize = 8;
  badStream.compressedSize = static_cast<std::uint32_t>(badStream.data.size());
  WriteFile(
      Path("evil.zip"),
      HostileZip::Build({badStream, HostileZip::Stored("sound.txt", "ok", Crc32("ok")), badCrc}));
  auto r = UnZip("-t " + Q(P("evil.zip")));
  EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
  EXPECT_NE(r.output.find("破損  bad-crc.txt: "), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("正常  sound.txt"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("破損  bad-stream.txt: "), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("\n3 件を検査しました (破損 2 件)"), std::string::npos) << r.output;
}

TEST_F(HostileTest, DecodersGetNeitherHugeDictionariesNorCiphertext) {
  const std::string lzma2GiB("\x09\x14\x05\x00\x5D\x00\x00\x00\x80\x00\x83\xFF\xFB", 13);
  std::string xz4GiB(
      "\xFD"
      "7zXZ\x00\x00\x04\x00\x00\x00\x00",
      12);
  xz4GiB += std::string("\x02\x00\x21\x01\x28\x00\x00\x00\x00\x00\x00\x00", 12);
  struct Row {
    std::uint16_t method;
    int localMethod;
    std::string data;
    std::uint32_t claimed;  // compressed size in the headers; 0: the data's
    std::int32_t result;
    const char* says;
  } rows[] = {
      // The dictionary is read where the decoder reads it, whatever the
      // directory says: another method, or a size that cuts the header short.
      {0, 14, lzma2GiB, 0, arc::kWarning, "2048 MiB の辞書"},
      {14, -1, lzma2GiB, 4, arc::kWarning, "2048 MiB の辞書"},
      {95, -1, xz4GiB, 0, arc::kWarning, "4095 MiB の辞書"},
      {95, -1, "not an xz stream", 0, arc::kNotArchive, "ストリームのヘッダーが壊れています"},
      {14, -1, lzma2GiB, 0, arc::kWarning, "2048 MiB の辞書"},
  };

  for (const Row& row : rows) {
    HostileEntry e;
    e.name = "big.log";
    e.method = row.method;
    e.localMethod = row.localMethod;
    e.data = row.data;
    e.originalSize = 100;
    e.compressedSize = row.claimed ? row.claimed : static_cast<std::uint32_t>(row.data.size());
    auto r = Extract({e, HostileZip::Stored("ok.txt", "ok", Crc32("ok"))});
    EXPECT_EQ(r.result, row.result) << r.output;
    EXPECT_NE(r.output.find(row.says), std::string::npos) << r.output;
    EXPECT_EQ(ListFiles(Path("out")), std::vector<std::string>{"ok.txt"}) << r.output;
    EXPECT_EQ(UnZip("-t " + Q(P("evil.zip"))).result, row.result);
    fs::remove_all(Path("out"));
  }
  // libarchive decrypts stored and deflated data only and would take other
  // ciphertext for the stream: such entries are skipped, even a sound one,
  // never decoded or called damaged. The first row is the last row's archive.
  const std::string data = DATA_DIR;
  const struct {
    std::string plain;
    std::int32_t result;
    const char* says;
  } encrypted[] = {{P("evil.zip"), arc::kWarning, "暗号化された lzma のデータ"},
                   {data + "/Zip.bzip2.zip", arc::kWarning, "暗号化された bzip2 のデータ"},
                   {data + "/Zip.deflate.zip", arc::kOk, "正常"}};
  for (const auto& row : encrypted) {
    HostileZip::EncryptAes(row.plain, P("aes.zip"), "pw");
    auto r = UnZip("-t -Ppw " + Q(P("aes.zip")));
    EXPECT_EQ(r.result, row.result) << r.output;
    EXPECT_NE(r.output.find(row.says), std::string::npos) << r.output;
  }
}

TEST_F(HostileTest, EntriesSharingALocalHeaderAreDamageInListTestAndExtract) {
  // Three small entries on one local header claim less than the file holds.
  HostileEntry first = HostileZip::Stored("a.txt", "shared", Crc32("shared"));
  HostileEntry second = first, third = first;
  second.name = "b.txt";
  second.sharesDataOf = 0;
  third.name = "c.txt";
  third.sharesDataOf = 0;
  auto r = Extract({first, second, third});
  EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
  EXPECT_NE(r.output.find("同じデータ"), std::string::npos) << r.output;
  EXPECT_FALSE(fs::exists(Path("out/a.txt")));
  EXPECT_EQ(UnZip("-t " + Q(P("evil.zip"))).result, arc::kNotArchive);
  EXPECT_EQ(UnZip("-l " + Q(P("evil.zip"))).result, arc::kNotArchive);
  EXPECT_TRUE(ListNames(kUnzip32, P("evil.zip")).empty());
}

TEST_F(HostileTest, DamagedDirectoriesSayWhatIsWrong) {
  HostileEntry noZip64 = HostileZip::Stored("big.bin", "data", Crc32("data"));
  noZip64.compressedSize = 0xFFFFFFFFu;
  const struct {
    std::string archive;
    const char* says;
  } rows[] = {
      {HostileZip::Build({noZip64}), "0xFFFFFFFF"},
      {HostileZip::WithEncryptedDirectory({HostileZip::Stored("a.txt", "x", Crc32("x"))}),
       "暗号化"},
  };
  for (const auto& row : rows) {
    WriteFile(Path("evil.zip"), row.archive);
    for (const char* command : {"-l", "-t", "-x -o"}) {
      auto r = UnZip(std::string(command) + " " + Q(P("evil.zip")) + " " + Q(P("out") + "/"));
      EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
      EXPECT_NE(r.output.find(row.says), std::string::npos) << command << ": " << r.output;
    }
  }
}

// Names flagged UTF-8 that are not, and unflagged names that are neither
// UTF-8 nor cp932 (CP437, the format's own code page), each under its
// own name; no two collapse into one.
TEST_F(HostileTest, NamesAreReadByTheCodePageRuleWhateverTheirFlag) {
  const struct {
    std::string raw;
    std::uint16_t flags;
    const char* name;
  } rows[] = {
      {"\x93\xfa\x96\x7b.txt", 0x0800, "日本.txt"},
      {"Caf\x82.txt", 0x0800, "Café.txt"},
      {"Caf\x82.log", 0, "Café.log"},
      {"Caf\x8a.log", 0, "Cafè.log"},
  };
  std::vector<HostileEntry> entries;
  std::vector<std::string> names;
  for (const auto& row : rows) {
    entries.push_back(HostileZip::Stored(row.raw, row.name, Crc32(row.name)));
    entries.back().flags = row.flags;
    names.push_back(row.name);
  }
  auto r = Extract(entries);
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  for (const auto& name : names) EXPECT_EQ(ReadFile(Path("out") / name), name) << r.output;
  EXPECT_EQ(ListNames(kUnzip32, P("evil.zip")), names);
  // Stored names that still read as one (UTF-8 and cp932 of one name) are
  // said to land on one file.
  fs::remove_all(Path("out"));
  r = Extract({HostileZip::Stored("日本.txt", "utf-8", Crc32("utf-8")),
               HostileZip::Stored("\x93\xfa\x96\x7b.txt", "cp932", Crc32("cp932"))});
  EXPECT_EQ(r.result, arc::kWarning) << r.output;
  EXPECT_NE(r.output.find("日本.txt: "), std::string::npos) << r.output;
  EXPECT_EQ(ReadFile(Path("out/日本.txt")), "cp932");
}

TEST_F(HostileTest, AnArchiveBehindAStubWithOffsetsNotAdjustedIsRead) {
  WriteFile(Path("evil.zip"),
            "#!/bin/sh\necho a stub that was never told of the archive\n" +
                HostileZip::Build({HostileZip::Stored("a.txt", "A", Crc32("A")),
                                   HostileZip::Stored("b.txt", "B", Crc32("B"))}));
  EXPECT_EQ(ListNames(kUnzip32, P("evil.zip")), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(UnZip("-t " + Q(P("evil.zip"))).result, arc::kOk);
  auto r = UnZip("-x " + Q(P("evil.zip")) + " " + Q(P("out") + "/"));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(Path("out/b.txt")), "B");
}

TEST_F(HostileTest, ALinkOfAMethodNotSupportedIsSkippedAndTheRestExtracted) {
  HostileEntry link =
      HostileZip::Stored("link", "\x01\x02\x03 imploded bytes", 0x12345678u, 0120777);
  link.method = 6;
  auto r = Extract({link, HostileZip::Stored("a.txt", "A", Crc32("A"))});
  EXPECT_EQ(r.result, arc::kWarning) << r.output;
  EXPECT_EQ(ReadFile(Path("out/a.txt")), "A");
  EXPECT_FALSE(fs::exists(fs::symlink_status(Path("out/link"))));
}

TEST_F(HostileTest, AChainOfLinksNeverLeadsOutside) {
  auto r = Extract({HostileZip::Stored("b", ".", Crc32("."), 0120777),
                    HostileZip::Stored("a", "b/b/../..", Crc32("b/b/../.."), 0120777),
                    HostileZip::Stored("a/escape.txt", "x", Crc32("x"))});
  EXPECT_EQ(r.result, arc::kUnsafeName) << r.output;
  EXPECT_FALSE(fs::is_symlink(Path("out/a")));
  ExpectNothingOutside();
}

// Without -o, as unzip -n would not: the first copy is no older than the
// second, and still the second is what the archive means.
TEST_F(HostileTest, TheLastCopyOfANameWins) {
  WriteFile(Path("evil.zip"),
            HostileZip::Build({HostileZip::Stored("f.txt", "first", Crc32("first")),
                               HostileZip::Stored("f.txt", "last", Crc32("last"))}));
  auto r = UnZip("-x " + Q(P("evil.zip")) + " " + Q(P("out") + "/"));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(Path("out/f.txt")), "last");
}

}  // namespace
}  // namespace ziptest
