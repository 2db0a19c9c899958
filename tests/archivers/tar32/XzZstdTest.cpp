// tar + xz and tar + zstd: what we write is read bit for bit by GNU tar (-J,
// --zstd), bsdtar, 7zz and Python's tarfile, what they write is read by us,
// and a cut or damaged stream is damage, never a success.
#include <fcntl.h>

#include "TarHarness.h"

namespace tartest {
namespace {

struct Codec {
  const char* name;
  const char* ext;        // of the archive we write
  const char* sw;         // our switch
  const char* gnu;        // GNU tar's switch
  const char* filter;     // the compressor as a command
  std::int32_t type;      // TarGetArchiveType of a tar
  std::int32_t loneType;  // ... of a lone compressed file
  const char* pyRead;     // python: how to get the tar out of the archive in sys.argv[1]
};

// Python 3.11's tarfile reads xz itself; zstd it reads from the tool's pipe.
const Codec kCodecs[] = {
    {"xz", ".txz", "-J", "-J", "xz", 8, 9, "tarfile.open(sys.argv[1], 'r:xz')"},
    {"zstd", ".tzst", "--zstd", "--zstd", "zstd -q", 10, 11,
     "tarfile.open(fileobj=subprocess.Popen(['zstd', '-dcq', sys.argv[1]], "
     "stdout=subprocess.PIPE).stdout, mode='r|')"},
};

class XzZstdTest : public TempDirTest, public ::testing::WithParamInterface<Codec> {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    for (const char* tool : {"tar", "bsdtar", "7zz", "python3", "xz", "zstd"})
      if (FindTool(tool).empty()) GTEST_SKIP() << tool << " is not on PATH";
  }
  void MakeSource() {
    WriteFile(Path("src/empty.log"), "");
    WriteFile(Path("src/DR0701.log"), LogText(2 << 20, 1));
    WriteFile(Path("src/a/b/deep.log"), LogText(70000, 2));
    WriteFile(Path("src/日本語/ログ.log"), LogText(5000, 3));
    WriteFile(Path("src/" + std::string(150, 'n') + ".txt"), "long name\n");
    fs::create_symlink("DR0701.log", Path("src/latest"));
  }
  std::string Run(const std::string& cmd) {
    std::string log;
    EXPECT_EQ(Shell(cmd, dir_, &log), 0) << cmd << ": " << log;
    return log;
  }
};

TEST_P(XzZstdTest, OurArchivesAreReadBitExactByEveryTool) {
  const Codec c = GetParam();
  MakeSource();
  const std::string archive = P(std::string("out") + c.ext);
  auto r = Tar(std::string("c ") + c.sw + " -f " + Q(archive) + " -o " + Q(P("src") + "/") + " *");
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(Type(archive), c.type);
  Run(std::string(c.filter) + " -t " + Q(archive));
  const auto want = Tree(Path("src"));
  const std::vector<std::pair<std::string, std::string>> readers = {
      {"gnu", std::string("tar ") + c.gnu + " -xf " + Q(archive) + " -C gnu"},
      {"bsd", "bsdtar -xf " + Q(archive) + " -C bsd"},
      {"7z", "7zz x -so " + Q(archive) +
                 " >inner.tar && 7zz x -ttar -snl -y inner.tar -o7z "
                 ">/dev/null && rm inner.tar"},
      {"py", std::string("python3 -c \"import sys, tarfile, subprocess; t = ") + c.pyRead +
                 "; t.extractall('py', filter='tar')\" " + Q(archive)},
  };
  for (const auto& [out, cmd] : readers) {
    fs::create_directories(Path(out));
    Run(cmd);
    EXPECT_EQ(Tree(Path(out)), want) << out;
  }
  auto listed = List(archive);
  ASSERT_FALSE(listed.empty());
  EXPECT_STREQ(listed[0].info.Method, c.name);
}

TEST_P(XzZstdTest, ArchivesTheToolsWriteAreReadBitExact) {
  const Codec c = GetParam();
  MakeSource();
  const auto want = Tree(Path("src"));
  const std::string f = c.filter;
  const std::vector<std::pair<std::string, std::string>> writers = {
      {"gnu.tar.x", std::string("tar ") + c.gnu + " -cf gnu.tar.x -C src ."},
      {"bsd.tar.x", std::string("bsdtar -c --") + c.name + " -f bsd.tar.x -C src ."},
      {"multi.tar.x", "tar cf - -C src . | " + f + " -T2 > multi.tar.x"},
      {"py.tar.x",
       "python3 -c \"import tarfile; t = tarfile.open('py.tar', 'w', "
       "format=tarfile.PAX_FORMAT); t.add('src', arcname='.'); t.close()\" && " +
           f + " -c py.tar > py.tar.x"},
  };
  for (const auto& [name, cmd] : writers) {
    Run(cmd);
    EXPECT_EQ(Type(P(name)), c.type) << name;
    auto r = Tar("x -f " + Q(P(name)) + " -o " + Q(P("x-" + name) + "/"));
    EXPECT_EQ(r.result, arc::kOk) << name << ": " << r.output;
    EXPECT_EQ(Tree(Path("x-" + name)), want) << name;
  }
  // A lone compressed log, as logrotate leaves it, is one member.
  WriteFile(Path("day.log"), LogText(30000, 4));
  Run(f + " -k day.log");
  const std::string lone = P(std::string("day.log") + (c.type == 8 ? ".xz" : ".zst"));
  EXPECT_EQ(Type(lone), c.loneType);
  ASSERT_EQ(Tar("x -f " + Q(lone) + " -o " + Q(P("lone") + "/")).result, arc::kOk);
  EXPECT_EQ(ReadFile(Path("lone/day.log")), ReadFile(Path("day.log")));
}

// Every cut and every flipped byte is refused by the listing and by x,
// which writes nothing.
TEST_P(XzZstdTest, CutOrDamagedStreamsAreDamage) {
  const Codec c = GetParam();
  WriteFile(Path("src/a.log"), LogText(300000, 5));
  WriteFile(Path("src/b.log"), LogText(1000, 6));
  const std::string archive = P(std::string("good") + c.ext);
  ASSERT_EQ(Tar(std::string("c ") + c.sw + " -f " + Q(archive) + " -o " + Q(P("src") + "/") + " *")
                .result,
            arc::kOk);
  const std::string good = ReadFile(archive);
  struct Harm {
    const char* what;
    std::string bytes;
  };
  std::string flipped = good, flippedEnd = good, garbage = good + "not a stream";
  flipped[good.size() / 2] ^= 0x55;
  flippedEnd[good.size() - 6] ^= 0x01;
  const Harm harms[] = {
      {"the last byte cut", good.substr(0, good.size() - 1)},
      {"the last 20 bytes cut", good.substr(0, good.size() - 20)},
      {"cut in half", good.substr(0, good.size() / 2)},
      {"a byte in the middle flipped", flipped},
      {"a byte of the end flipped", flippedEnd},
      {"garbage after the stream", garbage},
  };
  for (const auto& h : harms) {
    SCOPED_TRACE(h.what);
    const std::string bad = P(std::string("bad") + c.ext);
    WriteFile(bad, h.bytes);
    bool opened = true;
    List(bad, "*", &opened);
    EXPECT_FALSE(opened);
    fs::remove_all(Path("out"));
    auto r = Tar("x -f " + Q(bad) + " -o " + Q(P("out") + "/"));
    EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
    EXPECT_TRUE(!fs::exists(Path("out")) || fs::is_empty(Path("out")));
  }
}

TEST_P(XzZstdTest, LevelsAndExtensionsChooseTheCompression) {
  const Codec c = GetParam();
  WriteFile(Path("src/a.log"), LogText(200000, 7));
  const std::string base = std::string(c.ext).substr(2);  // "xz", "zst"
  for (const std::string& name : {std::string("n") + c.ext, "n.tar." + base, "N.TAR." + base}) {
    ASSERT_EQ(Tar("c -f " + Q(P(name)) + " -o " + Q(P("src") + "/") + " a.log").result, arc::kOk);
    EXPECT_EQ(Type(P(name)), c.type) << name;
  }
  const std::string lvl = c.type == 8 ? std::string("-J1") : std::string("--zstd=1");
  ASSERT_EQ(
      Tar("c " + lvl + " -f " + Q(P("fast.tar")) + " -o " + Q(P("src") + "/") + " a.log").result,
      arc::kOk);
  EXPECT_EQ(Type(P("fast.tar")), c.type);
  EXPECT_GT(fs::file_size(Path("fast.tar")), fs::file_size(Path(std::string("n") + c.ext)));
  const std::vector<std::string> bad =
      c.type == 8 ? std::vector<std::string>{"-J10", "-Jx"}
                  : std::vector<std::string>{"--zstd=20", "--zstd=", "--zstdx"};
  for (const auto& sw : bad)
    EXPECT_EQ(
        Tar("c " + sw + " -f " + Q(P("b.tar")) + " -o " + Q(P("src") + "/") + " a.log").result,
        arc::kBadCommand)
        << sw;
}

INSTANTIATE_TEST_SUITE_P(Codecs, XzZstdTest, ::testing::ValuesIn(kCodecs),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tartest
