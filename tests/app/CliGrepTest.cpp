// pelsok-cli grep on real archives of every format: the same lines as
// extracting with an independent tool and running grep, a line across the
// data's chunks, a damaged member in the middle of a year, -l and -c, the
// exit codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "app/text/LineBreaks.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/Corpus.h"

namespace {

using testing_support::CommandResult;
using testing_support::RunCommand;
using testing_support::ShellQuote;

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

class CliGrepTest : public apptest::AppTest {
 protected:
  void SetUp() override {
    if (!platform::FileExists(platform::ExtractFilePath(PELSOK_CLI) + "UNLHA32.DLL"))
      GTEST_SKIP() << "the archiver libraries are not built next to pelsok-cli yet";
  }
  CommandResult Cli(const std::string& args) {
    return RunCommand(std::string("'") + PELSOK_CLI + "' " + args, dir.Path());
  }
  // Three days of logs with Japanese text, packed as DR2611 in format.
  std::string Packed(const std::string& format) {
    for (int d = 1; d <= 3; ++d) {
      std::string text;
      for (int n = 0; n < 2000; ++n)
        text += "2026-11-0" + std::to_string(d) + " 要求 " + std::to_string(n * 7 + d) +
                (n % 97 == 0 ? " ｅｒｒｏｒ 接続が切れました" : " 正常") + "\n";
      testing_support::WriteFile(dir / ("DR110" + std::to_string(d) + ".log"), text);
    }
    const auto r = Cli("--folder . --kind DR --year 26 --month 11 --format " + format);
    EXPECT_EQ(r.status, 0) << r.output;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
      if (e.path().stem() == "DR2611") return e.path().filename().string();
    return "DR2611";
  }
};

struct ToolRow {
  std::string format;   // ours packs it; else a corpus archive
  std::string archive;  // corpus archive, relative to tests/data
  std::string extract;  // the independent tool, run in an empty folder "x" with $A the archive
  std::string member;   // --member mask and grep's --include
};

const ToolRow kTools[] = {
    {"lzh", "", "lhasa xq $A", ""},
    {"zip", "", "unzip -q $A", ""},
    {"tgz", "", "tar xzf $A", ""},
    {"tbz", "", "tar xjf $A", ""},
    {"tar", "", "tar xf $A", ""},
    {"cab", "", "cabextract -q $A", ""},
    {"", "arj/sample.arj", "7zz x -bd -y $A >/dev/null", "*.log"},
    {"", "rar/Rar5.rar", "bsdtar xf $A", "*.txt"},
};

struct PatternRow {
  std::string flags;
  std::string pattern;
};

const PatternRow kPatterns[] = {
    {"-F", "接続が切れました"},
    {"-E", "要求 1[0-9]{2}4 "},
    {"", "要求 \\(12\\|34\\)5"},
    {"-i", "ＥＲＲＯＲ"},
    {"-i -F", "ＥＲＲＯＲ 接続"},
    {"-c", "正常"},
    {"-F", "1-0"},
};

TEST_F(CliGrepTest, FindsWhatExtractingAndGrepFindInEveryFormat) {
  for (const auto& tool : kTools) {
    SCOPED_TRACE(tool.format + tool.archive);
    std::string archive;
    if (tool.format.empty()) {
      archive = std::filesystem::path(tool.archive).filename().string();
      std::filesystem::copy_file(
          testing_support::CorpusDir(std::filesystem::path(tool.archive).parent_path().string()) +
              "/" + archive,
          dir / archive);
    } else {
      archive = Packed(tool.format);
    }
    std::filesystem::remove_all(dir / "x");
    std::filesystem::create_directory(dir / "x");
    std::string extract = tool.extract;
    extract.replace(extract.find("$A"), 2, ShellQuote(dir / archive));
    ASSERT_EQ(RunCommand(extract, dir / "x").status, 0) << extract;
    const std::string member = tool.member.empty() ? "" : " --member " + ShellQuote(tool.member);
    const std::string include = tool.member.empty() ? "" : " --include=" + ShellQuote(tool.member);
    for (const auto& p : kPatterns) {
      SCOPED_TRACE(p.flags + " " + p.pattern);
      const auto ours =
          Cli("grep " + p.flags + member + " " + ShellQuote(p.pattern) + " " + ShellQuote(archive));
      // grep -r names each file "./path"; the archive's lines name it "ARCHIVE:path".
      const auto theirs =
          RunCommand("bash -o pipefail -c " +
                         ShellQuote("LC_ALL=C.UTF-8 grep -r -H -n " + p.flags + include + " " +
                                    ShellQuote(p.pattern) + " . | sed 's|^\\./|" + archive + ":|'"),
                     dir / "x");
      EXPECT_EQ(SortedLines(ours.output), SortedLines(theirs.output));
      EXPECT_EQ(ours.status, theirs.status) << ours.output;
      if (!tool.format.empty() && p.flags != "-E") {
        EXPECT_FALSE(ours.output.empty());
      }
    }
    std::filesystem::remove(dir / archive);
  }
}

TEST_F(CliGrepTest, ALineAcrossChunksAndAVeryLongLineAreFound) {
  // The needle straddles every 4 KiB boundary in turn: whatever size the
  // libraries hand their data in, some chunk ends inside one of them.
  std::string text(1 << 18, 'a');
  for (std::size_t at = 4096 - 3; at + 6 < text.size(); at += 4096 + 1)
    text.replace(at, 6, "needle");
  text += "\nend needle\n";
  testing_support::WriteFile(dir / "DR1101.log", text);
  for (const std::string format : {"lzh", "zip", "tgz", "cab"}) {
    SCOPED_TRACE(format);
    ASSERT_EQ(Cli("--folder . --kind DR --year 26 --month 11 --format " + format).status, 0);
    const std::string archive = format == "lzh"
                                    ? "DR2611.LZH"
                                    : "DR2611." + std::string(format == "zip"   ? "ZIP"
                                                              : format == "tgz" ? "TGZ"
                                                                                : "CAB");
    const auto r = Cli("grep -c needle " + archive);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find(":2\n"), std::string::npos) << r.output;
    EXPECT_NE(Cli("grep -F 'end needle' " + archive).output.find(":2:end needle\n"),
              std::string::npos);
  }
}

TEST_F(CliGrepTest, ADamagedMemberInTheMiddleOfAYearIsReportedAndTheRestSearched) {
  std::filesystem::create_directory(dir / "year");
  for (int month = 1; month <= 3; ++month) {
    const std::string mm = "0" + std::to_string(month);
    for (int d = 1; d <= 3; ++d) {
      // Numbers that hardly compress, so the data outweighs the headers.
      std::string noise;
      for (unsigned v = static_cast<unsigned>(d); noise.size() < 20000;
           v = v * 1103515245u + 12345u)
        noise += std::to_string(v >> 8) + " ";
      testing_support::WriteFile(dir / ("DR" + mm + "0" + std::to_string(d) + ".log"),
                                 noise + "\nhit " + mm + "\n" + noise + "\n");
    }
    ASSERT_EQ(
        Cli("--folder . --kind DR --year 26 --month " + std::to_string(month) + " --delete").status,
        0);
    std::filesystem::rename(dir / ("DR26" + mm + ".LZH"), dir / ("year/DR26" + mm + ".LZH"));
  }
  // The middle month's second member gets a wrong byte inside its data.
  std::string bytes = testing_support::ReadFile(dir / "year/DR2602.LZH");
  bytes[bytes.size() / 2] ^= 0x55;
  testing_support::WriteFile(dir / "year/DR2602.LZH", bytes);
  const auto r = Cli("grep hit year");
  EXPECT_EQ(r.status, 2) << r.output;
  EXPECT_NE(r.output.find("DR2602.LZH:DR0202.log:"), std::string::npos) << r.output;
  for (const char* line : {"DR2601.LZH:DR0101.log:2:hit 01", "DR2601.LZH:DR0103.log:2:hit 01",
                           "DR2602.LZH:DR0201.log:2:hit 02", "DR2602.LZH:DR0203.log:2:hit 02",
                           "DR2603.LZH:DR0303.log:2:hit 03"})
    EXPECT_NE(r.output.find(std::string("year/") + line + "\n"), std::string::npos) << line;
  // Archive order, then member order.
  EXPECT_LT(r.output.find("DR2601.LZH:DR0103"), r.output.find("DR2603.LZH:DR0301"));
}

TEST_F(CliGrepTest, NamesOnlyStopsAtTheFirstLineAndTheExitCodesAreGreps) {
  const std::string archive = Packed("zip");
  auto r = Cli("grep -l 正常 " + archive);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output,
            archive + ":DR1101.log\n" + archive + ":DR1102.log\n" + archive + ":DR1103.log\n");
  EXPECT_EQ(Cli("grep -F 'no such text' " + archive).status, 1);
  EXPECT_EQ(Cli("grep '\\(' " + archive).status, 2);
  EXPECT_EQ(Cli("grep -q x " + archive).status, 2);
  EXPECT_EQ(Cli("grep x missing.lzh").status, 2);
  r = Cli("grep -c 正常 --member 'DR1102*' " + archive);
  EXPECT_EQ(r.output, archive + ":DR1102.log:1979\n");
}

// Line numbers rest on this count; it works sixteen bytes at a time and
// adds up its lanes every 255 blocks.
TEST(LineBreaksTest, CountsEveryBreakWhateverTheLengthAndTheBytesAround) {
  struct Row {
    std::size_t length;
    std::size_t every;  // a break every this many bytes
    char filler;
  } const rows[] = {{0, 1, 'a'},
                    {15, 1, 'a'},
                    {16, 1, 'a'},
                    {17, 3, '\x8a'},
                    {4080, 1, '\xff'},
                    {4081, 1, 'a'},
                    {4096 * 3 + 7, 130, '\x0b'},
                    {100000, 7, '\x80'}};
  for (const Row& row : rows) {
    std::string text(row.length, row.filler);
    for (std::size_t i = 0; i < text.size(); i += row.every) text[i] = '\n';
    for (std::size_t skip : {std::size_t{0}, std::size_t{1}, std::size_t{5}}) {
      if (skip > text.size()) continue;
      const std::string_view view = std::string_view(text).substr(skip);
      EXPECT_EQ(pelsok::app::CountLineBreaks(view),
                static_cast<std::uint64_t>(std::count(view.begin(), view.end(), '\n')))
          << row.length << " every " << row.every << " from " << skip;
    }
  }
}

}  // namespace
