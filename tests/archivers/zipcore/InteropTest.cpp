// Our archives open in the independent readers, and archives written by
// the independent writers are read bit for bit by us.
#include "ZipHarness.h"

namespace ziptest {
namespace {

// The usual inputs: logs, random bytes, an empty file, Japanese names,
// nested folders and a name with blanks.
void MakeInputs(const fs::path& src) {
  WriteFile(src / "DR1101.log", LogText(200000, 1));
  WriteFile(src / "DR1102.log", LogText(5000, 2));
  WriteFile(src / "random.bin", RandomBytes(300000, 3));
  WriteFile(src / "empty.txt", "");
  WriteFile(src / "日本語のログ.log", LogText(10000, 4));
  WriteFile(src / "フォルダ" / "名前 with blanks.txt", "こんにちは\n");
  WriteFile(src / "a" / "b" / "c" / "deep.txt", LogText(3000, 5));
}

void ExpectSameTree(const fs::path& expected, const fs::path& actual, const std::string& tool) {
  const auto want = ListFiles(expected);
  ASSERT_EQ(want, ListFiles(actual)) << tool;
  for (const auto& f : want)
    EXPECT_EQ(ReadFile(expected / f), ReadFile(actual / f)) << tool << ": " << f;
}

TEST_F(ZipTest, OurArchivesPassTheIndependentToolsBitExact) {
  for (const char* tool : {"unzip", "7zz", "bsdtar", "python3"}) SKIP_WITHOUT_TOOL(tool);
  MakeInputs(Path("src"));
  const std::string archive = P("ours.zip");
  auto r = Zip(" -r  " + Q(archive) + " " + Q(P("src") + "/") + " " + Q("*") + " ");
  ASSERT_EQ(r.result, 0) << r.output;
  std::string out;
  EXPECT_EQ(Shell("unzip -t ours.zip", dir_, &out), 0) << out;
  EXPECT_EQ(Shell("7zz t ours.zip", dir_, &out), 0) << out;
  ASSERT_EQ(Shell("unzip -qq ours.zip -d by-unzip", dir_, &out), 0) << out;
  ASSERT_EQ(Shell("7zz x -oby-7zz ours.zip", dir_, &out), 0) << out;
  fs::create_directories(Path("by-bsdtar"));
  ASSERT_EQ(Shell("bsdtar -xf ours.zip -C by-bsdtar", dir_, &out), 0) << out;
  ASSERT_EQ(Shell("python3 -c \"import zipfile; zipfile.ZipFile('ours.zip').extractall('by-py')\"",
                  dir_, &out),
            0)
      << out;
  for (const char* tool : {"by-unzip", "by-7zz", "by-bsdtar", "by-py"})
    ExpectSameTree(Path("src"), Path(tool), tool);
  // Non-ASCII names carry the UTF-8 flag; ASCII names need none.
  ASSERT_EQ(Shell("python3 -c \"import zipfile\nfor i in zipfile.ZipFile('ours.zip').infolist(): "
                  "print(i.flag_bits & 0x800, i.filename)\"",
                  dir_, &out),
            0);
  EXPECT_NE(out.find("2048 日本語のログ.log"), std::string::npos) << out;
  EXPECT_NE(out.find("0 DR1101.log"), std::string::npos) << out;
}

TEST_F(ZipTest, SwitchKStoresCp932NamesWithoutTheFlag) {
  SKIP_WITHOUT_TOOL("python3");
  WriteFile(Path("src/日本語.txt"), "data");
  auto r = Zip("-k " + Q(P("k.zip")) + " " + Q(P("src") + "/") + " " + Q("*.txt"));
  ASSERT_EQ(r.result, 0) << r.output;
  std::string out;
  ASSERT_EQ(
      Shell("python3 -c \"import zipfile\nfor i in zipfile.ZipFile('k.zip', "
            "metadata_encoding='cp932').infolist(): print(i.flag_bits & 0x800, i.create_system, "
            "i.filename)\"",
            dir_, &out),
      0)
      << out;
  EXPECT_EQ(out, "0 0 日本語.txt\n");
  // And we read it back as the same name.
  r = UnZip("-x " + Q(P("k.zip")) + " " + Q(P("out") + "/"));
  ASSERT_EQ(r.result, 0) << r.output;
  EXPECT_EQ(ReadFile(Path("out/日本語.txt")), "data");
}

struct Writer {
  const char* name;
  const char* command;  // run in the test folder, writes w.zip from src/
};

TEST_F(ZipTest, ArchivesOfTheIndependentWritersAreReadBitExact) {
  for (const char* tool : {"zip", "7zz", "python3"}) SKIP_WITHOUT_TOOL(tool);
  MakeInputs(Path("src"));
  const char* py =
      "python3 -c \"import zipfile, os, sys\n"
      "m = sys.argv[1]; z = zipfile.ZipFile(sys.argv[2], 'w', getattr(zipfile, m))\n"
      "for r, ds, fs in os.walk('.'):\n"
      "  for f in sorted(fs):\n"
      "    p = os.path.join(r, f)[2:]\n"
      "    with open(p, 'rb') as i, z.open(p, 'w', force_zip64=m == 'ZIP_STORED') as o: "
      "o.write(i.read())\n\" ";
  const std::vector<Writer> writers = {
      {"zip deflate", "cd src && zip -qr ../w.zip ."},
      {"zip stored", "cd src && zip -qr0 ../w.zip ."},
      {"zip bzip2", "cd src && zip -qr -Z bzip2 ../w.zip ."},
      {"zip to a pipe (data descriptors)", "cd src && zip -qr - . > ../w.zip"},
      {"7zz deflate", "cd src && 7zz a -tzip ../w.zip . > /dev/null"},
      {"7zz lzma", "cd src && 7zz a -tzip -mm=LZMA ../w.zip . > /dev/null"},
      {"7zz bzip2", "cd src && 7zz a -tzip -mm=BZip2 ../w.zip . > /dev/null"},
      {"python stored zip64", nullptr},
      {"python deflate", nullptr},
      {"python bzip2", nullptr},
      {"python lzma", nullptr},
  };
  const char* pyMethods[] = {"ZIP_STORED", "ZIP_DEFLATED", "ZIP_BZIP2", "ZIP_LZMA"};
  int pyIndex = 0;
  for (const auto& w : writers) {
    SCOPED_TRACE(w.name);
    fs::remove(Path("w.zip"));
    fs::remove_all(Path("out"));
    std::string cmd =
        w.command ? w.command : std::string("cd src && ") + py + pyMethods[pyIndex++] + " ../w.zip";
    std::string out;
    ASSERT_EQ(Shell(cmd, dir_, &out), 0) << out;
    auto r = UnZip("-x " + Q(P("w.zip")) + " " + Q(P("out") + "/"));
    EXPECT_EQ(r.result, 0) << r.output;
    ExpectSameTree(Path("src"), Path("out"), w.name);
  }
}

TEST_F(ZipTest, Cp932NamesWithoutTheFlagAreReadAsCp932) {
  SKIP_WITHOUT_TOOL("zip");
  // Info-ZIP stores the bytes of a name as they are, without the flag.
  const std::string cp932 = "\x93\xfa\x96\x7b\x8c\xea.txt";  // 日本語.txt
  WriteFile(Path("src") / cp932, "old tool");
  std::string out;
  ASSERT_EQ(Shell("cd src && LC_ALL=C zip -q ../w.zip *", dir_, &out), 0) << out;
  EXPECT_EQ(ListNames(kUnzip32, P("w.zip")), std::vector<std::string>{"日本語.txt"});
  auto r = UnZip("-x " + Q(P("w.zip")) + " " + Q(P("out") + "/"));
  ASSERT_EQ(r.result, 0) << r.output;
  EXPECT_EQ(ReadFile(Path("out/日本語.txt")), "old tool");
}

TEST_F(ZipTest, UnicodePathFieldWinsOverTheStoredName) {
  // From the shared corpus: the name is in the 0x7075 extra field.
  const std::string archive = std::string(DATA_DIR) + "/Zip.UnicodePathExtra.zip";
  const auto names = ListNames(kUnzip32, archive);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0], "궖귛궖귙귪궖귗귪궖귙_wav.frq");
}

}  // namespace
}  // namespace ziptest
