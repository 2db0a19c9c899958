// Round trips with independent tools: what we write is listed and extracted
// bit for bit by GNU tar, bsdtar, 7zz and Python's tarfile (gzip -t and
// bzip2 -t accept it),
// and what they write is extracted bit for bit by us.
#include <fcntl.h>

#include <fstream>

#include "TarHarness.h"

namespace tartest {
namespace {

struct Form {
  const char* name;
  const char* ext;
  const char* sw;
  const char* check;  // integrity tool, or ""
};

const Form kForms[] = {
    {"tar", ".tar", "", ""}, {"tgz", ".tgz", "-z9", "gzip -t"}, {"tbz", ".tbz", "-B", "bzip2 -t"}};

class InteropTest : public TempDirTest, public ::testing::WithParamInterface<Form> {
 protected:
  // An empty file, big logs, nested folders, Japanese names, links.
  void MakeSource() {
    WriteFile(Path("src/empty.log"), "");
    WriteFile(Path("src/DR0701.log"), LogText(3 << 20, 1));
    WriteFile(Path("src/DR0702.log"), LogText(700000, 2));
    WriteFile(Path("src/a/b/c/deep.txt"), "deep\n");
    WriteFile(Path("src/日本語/ログ_七月.log"), LogText(5000, 3));
    WriteFile(Path("src/" + std::string(150, 'n') + ".txt"), "long name\n");
    fs::create_directories(Path("src/emptydir"));
    fs::create_symlink("DR0702.log", Path("src/latest"));
    fs::create_hard_link(Path("src/DR0701.log"), Path("src/a/hard.log"));
  }
  // Extracts archive with a tool into out and gives the tree.
  std::map<std::string, std::string> ExtractWith(const std::string& tool,
                                                 const std::string& archive, bool compressed,
                                                 const std::string& out) {
    fs::create_directories(Path(out));
    std::string cmd;
    if (tool == "tar")
      cmd = "tar xf " + Q(archive) + " -C " + Q(P(out));
    else if (tool == "bsdtar")
      cmd = "bsdtar xf " + Q(archive) + " -C " + Q(P(out));
    else if (tool == "python3")
      cmd = "python3 -c 'import sys, tarfile; tarfile.open(sys.argv[1]).extractall(sys.argv[2])' " +
            Q(archive) + " " + Q(P(out));
    else if (compressed)
      cmd = "7zz x -so " + Q(archive) + " >inner.tar && 7zz x -ttar -y inner.tar -o" + Q(P(out)) +
            " && rm inner.tar";
    else
      cmd = "7zz x -y " + Q(archive) + " -o" + Q(P(out));
    std::string log;
    EXPECT_EQ(Shell(cmd, dir_, &log), 0) << tool << ": " << log;
    return Tree(Path(out));
  }
};

TEST_P(InteropTest, OurArchivesAreReadBitExactByGnuTarBsdtar7zzAndPython) {
  SKIP_WITHOUT_TOOL("tar");
  SKIP_WITHOUT_TOOL("bsdtar");
  SKIP_WITHOUT_TOOL("7zz");
  SKIP_WITHOUT_TOOL("python3");
  const Form f = GetParam();
  MakeSource();
  const std::string archive = P(std::string("out") + f.ext);
  auto r = Tar(std::string("c ") + f.sw + " -f " + Q(archive) + " -o " + Q(P("src") + "/") + " *");
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  if (*f.check) {
    std::string log;
    EXPECT_EQ(Shell(std::string(f.check) + " " + Q(archive), dir_, &log), 0);
    EXPECT_EQ(log, "") << "the integrity check complained";
  }
  const auto want = Tree(Path("src"));
  const bool compressed = *f.check != '\0';
  EXPECT_EQ(ExtractWith("tar", archive, compressed, "gnu"), want);
  EXPECT_EQ(ExtractWith("bsdtar", archive, compressed, "bsd"), want);
  EXPECT_EQ(ExtractWith("7zz", archive, compressed, "7z"), want);
  EXPECT_EQ(ExtractWith("python3", archive, compressed, "py"), want);
  EXPECT_TRUE(fs::is_directory(Path("gnu/emptydir")));
  EXPECT_EQ(fs::hard_link_count(Path("gnu/a/hard.log")), 2u);
  std::string listing;
  ASSERT_EQ(Shell("tar tvf " + Q(archive), dir_, &listing), 0);
  EXPECT_NE(listing.find("日本語/ログ_七月.log"), std::string::npos) << listing;
  EXPECT_NE(listing.find("latest -> DR0702.log"), std::string::npos) << listing;
  // And we read back what we wrote.
  ASSERT_EQ(Tar("x -f " + Q(archive) + " -o " + Q(P("ours") + "/")).result, arc::kOk);
  EXPECT_EQ(Tree(Path("ours")), want);
}

INSTANTIATE_TEST_SUITE_P(Forms, InteropTest, ::testing::ValuesIn(kForms),
                         [](const auto& info) { return std::string(info.param.name); });

class ForeignWriterTest : public TempDirTest {
 protected:
  void MakeSource() {
    WriteFile(Path("src/empty.log"), "");
    WriteFile(Path("src/big.log"), LogText(1 << 20, 7));
    WriteFile(Path("src/sub/" + std::string(120, 'x') + "/" + std::string(110, 'y') + ".log"),
              "long path\n");
    WriteFile(Path("src/日本/名前.txt"), "japanese\n");
    fs::create_symlink("big.log", Path("src/link"));
  }
};

TEST_F(ForeignWriterTest, ArchivesFromGnuTarBsdtarAnd7zzAreReadBitExact) {
  SKIP_WITHOUT_TOOL("tar");
  SKIP_WITHOUT_TOOL("bsdtar");
  SKIP_WITHOUT_TOOL("7zz");
  MakeSource();
  const auto want = Tree(Path("src"));
  const std::vector<std::pair<std::string, std::string>> writers = {
      {"gnu.tar", "tar --format=gnu -cf gnu.tar -C src ."},
      {"posix.tar", "tar --format=posix -cf posix.tar -C src ."},
      {"oldgnu.tgz", "tar --format=oldgnu -czf oldgnu.tgz -C src ."},
      {"pax.tbz", "tar --format=posix -cjf pax.tbz -C src ."},
      {"bsd.tar", "bsdtar -cf bsd.tar -C src ."},
      {"bsd.tgz", "bsdtar -czf bsd.tgz -C src ."},
      {"7z.tar", "cd src && 7zz a -ttar -snl ../7z.tar . >/dev/null"},
  };
  for (const auto& [name, cmd] : writers) {
    std::string log;
    ASSERT_EQ(Shell(cmd, dir_, &log), 0) << cmd << ": " << log;
    auto r = Tar("x -f " + Q(P(name)) + " -o " + Q(P("x-" + name) + "/"));
    EXPECT_EQ(r.result, arc::kOk) << name << ": " << r.output;
    EXPECT_EQ(Tree(Path("x-" + name)), want) << name;
  }
  // ustar has no room for the long path: GNU tar refuses it, so that form
  // gets the short names only.
  fs::remove_all(Path("src/sub"));
  std::string log;
  ASSERT_EQ(Shell("tar --format=ustar -cf ustar.tar -C src .", dir_, &log), 0) << log;
  ASSERT_EQ(Tar("x -f " + Q(P("ustar.tar")) + " -o " + Q(P("x-ustar") + "/")).result, arc::kOk);
  EXPECT_EQ(Tree(Path("x-ustar")), Tree(Path("src")));
}

TEST_F(ForeignWriterTest, GnuSparseFilesKeepTheirHoles) {
  SKIP_WITHOUT_TOOL("tar");
  const std::string data = LogText(10000, 9);
  fs::create_directories(Path("src"));
  {
    int fd = ::open(P("src/sparse.bin").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, data.data(), data.size(), 1 << 24), static_cast<ssize_t>(data.size()));
    ASSERT_EQ(::ftruncate(fd, (1 << 25) + 5), 0);
    ::close(fd);
  }
  for (const char* format : {"gnu", "posix"}) {
    const std::string name = std::string(format) + ".tar";
    std::string log;
    ASSERT_EQ(
        Shell("tar -S --format=" + std::string(format) + " -cf " + name + " -C src .", dir_, &log),
        0)
        << log;
    ASSERT_EQ(Tar("x -f " + Q(P(name)) + " -o " + Q(P(format) + "/")).result, arc::kOk);
    const std::string out = ReadFile(Path(std::string(format) + "/sparse.bin"));
    ASSERT_EQ(out.size(), (1u << 25) + 5) << format;
    EXPECT_EQ(out.substr(1 << 24, data.size()), data) << format;
    EXPECT_EQ(out.find_first_not_of('\0'), 1u << 24) << format;
    struct stat st {};
    ASSERT_EQ(::stat(P(std::string(format) + "/sparse.bin").c_str(), &st), 0);
    EXPECT_LT(st.st_blocks * 512, 1 << 22) << format << ": the holes were filled";
  }
}

// A file over 4 GiB, made sparse so the test stays fast: the archive holds
// its data regions only, and the length survives every reader.
TEST_F(ForeignWriterTest, FileOver4GiBAsSparseFile) {
  SKIP_WITHOUT_TOOL("tar");
  SKIP_WITHOUT_TOOL("bsdtar");
  const std::uint64_t size = (5ull << 30) + 123;
  const std::string head = "head of the file\n", tail = "tail of the file\n";
  fs::create_directories(Path("src"));
  {
    int fd = ::open(P("src/huge.log").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    if (::ftruncate(fd, static_cast<off_t>(size)) != 0) {
      ::close(fd);
      GTEST_SKIP() << "the disk refuses a sparse file of 5 GiB";
    }
    ASSERT_EQ(::pwrite(fd, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
    ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), static_cast<off_t>(size - tail.size())),
              static_cast<ssize_t>(tail.size()));
    ::close(fd);
  }
  struct stat src {};
  ASSERT_EQ(::stat(P("src/huge.log").c_str(), &src), 0);
  if (static_cast<std::uint64_t>(src.st_blocks) * 512 > (64u << 20))
    GTEST_SKIP() << "this file system does not keep holes";
  for (const char* form : {"-z1", ""}) {
    SCOPED_TRACE(form);
    const std::string archive = P(*form ? "huge.tgz" : "huge.tar");
    auto r = Tar(std::string("c ") + form + " -f " + Q(archive) + " -o " + Q(P("src") + "/") +
                 " huge.log");
    ASSERT_EQ(r.result, arc::kOk) << r.output;
    EXPECT_LT(fs::file_size(archive), 1u << 20);
    auto listed = List(archive);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].info.OriginalSize, 0xFFFFFFFFu);  // clamped
    for (const std::string tool : {"tar", "bsdtar", "ours"}) {
      const fs::path out = Path(tool + (*form ? "-z" : ""));
      fs::create_directories(out);
      if (tool == "ours") {
        ASSERT_EQ(Tar("x -f " + Q(archive) + " -o " + Q(out.string() + "/")).result, arc::kOk);
      } else {
        std::string log;
        ASSERT_EQ(Shell(tool + " xf " + Q(archive) + " -C " + Q(out.string()), dir_, &log), 0)
            << log;
      }
      const fs::path got = out / "huge.log";
      ASSERT_EQ(fs::file_size(got), size) << tool;
      std::ifstream in(got, std::ios::binary);
      std::string h(head.size(), '\0'), t(tail.size(), '\0');
      in.read(h.data(), h.size());
      in.seekg(static_cast<std::streamoff>(size - tail.size()));
      in.read(t.data(), t.size());
      EXPECT_EQ(h, head) << tool;
      EXPECT_EQ(t, tail) << tool;
      fs::remove_all(out);
    }
  }
}

}  // namespace
}  // namespace tartest

namespace tartest {
namespace {

// Times outside the ustar field (after 2242, before 1970) go into pax
// headers, and GNU tar and bsdtar restore them to the second.
TEST_F(ForeignWriterTest, TimesOutsideTheUstarRangeSurvive) {
  SKIP_WITHOUT_TOOL("tar");
  SKIP_WITHOUT_TOOL("bsdtar");
  const std::pair<const char*, std::int64_t> files[] = {{"far.log", 10000000000},
                                                        {"old.log", -100000000}};
  for (const auto& [name, when] : files) {
    WriteFile(Path(std::string("src/") + name), name);
    struct timespec times[2] = {{static_cast<time_t>(when), 0}, {static_cast<time_t>(when), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, P(std::string("src/") + name).c_str(), times, 0), 0);
  }
  ASSERT_EQ(Tar("c -f " + Q(P("t.tar")) + " -o " + Q(P("src/")) + " *").result, arc::kOk);
  for (const std::string tool : {"tar", "bsdtar"}) {
    fs::create_directories(Path(tool));
    std::string log;
    ASSERT_EQ(Shell(tool + " xf t.tar -C " + tool, dir_, &log), 0) << log;
    for (const auto& [name, when] : files) {
      struct stat st {};
      ASSERT_EQ(::stat(P(tool + "/" + name).c_str(), &st), 0);
      EXPECT_EQ(st.st_mtime, when) << tool << " " << name;
    }
  }
}

}  // namespace
}  // namespace tartest
