// The shared extraction rules, with real files in a fresh folder: nothing
// lands outside the base folder, links stay inside, set-id bits go, and a
// failed member leaves no file behind.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "archivers/common/SafeExtractor.h"
#include "archivers/common/SafeText.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using arc::EntryKind;
using arc::ExtractOutcome;

arc::DataWriter Data(const std::string& text) {
  return [text](int fd) {
    return arc::DataResult{
        ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()), false, {}};
  };
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

arc::EntryToExtract Entry(const std::string& name, EntryKind kind = EntryKind::file,
                          const std::string& target = {}) {
  arc::EntryToExtract e;
  e.name = name;
  e.kind = kind;
  e.mtime = 1700000000;
  e.linkTarget = target;
  return e;
}

struct Row {
  const char* name;
  EntryKind kind;
  const char* target;
  ExtractOutcome outcome;
};

TEST(SafeExtractor, NamesAndLinksStayInsideTheBaseFolder) {
  const Row rows[] = {
      {"../evil", EntryKind::file, "", ExtractOutcome::refusedUnsafe},
      {"a/../../evil", EntryKind::file, "", ExtractOutcome::refusedUnsafe},
      {"..\\evil", EntryKind::file, "", ExtractOutcome::refusedUnsafe},
      {"/etc/evil", EntryKind::file, "", ExtractOutcome::refusedUnsafe},
      {"C:\\evil", EntryKind::file, "", ExtractOutcome::refusedUnsafe},
      {"ok/in.txt", EntryKind::file, "", ExtractOutcome::written},
      {"up", EntryKind::symlink, "../outside", ExtractOutcome::refusedUnsafe},
      {"abs", EntryKind::symlink, "/etc/passwd", ExtractOutcome::refusedUnsafe},
      {"ok/sib", EntryKind::symlink, "../ok/in.txt", ExtractOutcome::written},
      {"hard", EntryKind::hardlink, "../outside", ExtractOutcome::refusedUnsafe},
      {"hard2", EntryKind::hardlink, "ok/in.txt", ExtractOutcome::written},
      {"dev", EntryKind::special, "", ExtractOutcome::skippedLink},
  };
  testing_support::TempDir dir;
  const std::string base = dir / "base";
  arc::ExtractRules rules;
  rules.linksInside = true;
  arc::SafeExtractor x(base, rules);
  for (const auto& row : rows) {
    EXPECT_EQ(x.Extract(Entry(row.name, row.kind, row.target), Data("data")).outcome, row.outcome)
        << row.name;
  }
  EXPECT_FALSE(fs::exists(dir / "evil"));
  EXPECT_EQ(Slurp(base + "/hard2"), "data");
  EXPECT_EQ(fs::read_symlink(base + "/ok/sib"), "../ok/in.txt");
  // Every entry in the tree is one of the written ones.
  std::size_t count = 0;
  for (auto it = fs::recursive_directory_iterator(dir.Path()); it != fs::end(it); ++it) ++count;
  EXPECT_EQ(count, 5u);  // base, base/ok, ok/in.txt, ok/sib, hard2
}

TEST(SafeExtractor, ALinkOnTheWayIsNeverFollowed) {
  testing_support::TempDir dir;
  const std::string base = dir / "base";
  fs::create_directories(base);
  fs::create_directories(dir / "outside");
  fs::create_directory_symlink(dir / "outside", base + "/link");
  std::ofstream(base + "/file") << "x";
  arc::SafeExtractor x(base, {});
  EXPECT_EQ(x.Extract(Entry("link/evil"), Data("data")).outcome, ExtractOutcome::refusedUnsafe);
  // A file in the way of a folder is a write error, not an unsafe name.
  EXPECT_EQ(x.Extract(Entry("file/inner"), Data("data")).outcome, ExtractOutcome::failed);
  EXPECT_TRUE(fs::is_empty(dir / "outside"));
}

TEST(SafeExtractor, AbsoluteNamesLandBelowTheBaseWhenAsked) {
  testing_support::TempDir dir;
  arc::ExtractRules rules;
  rules.stripAbsolute = true;
  arc::SafeExtractor x(dir.Path(), rules);
  const arc::ExtractReport r = x.Extract(Entry("/Volume/dir/file"), Data("abs"));
  EXPECT_EQ(r.outcome, ExtractOutcome::written);
  EXPECT_TRUE(r.warning);
  EXPECT_EQ(Slurp(dir / "Volume/dir/file"), "abs");
  EXPECT_EQ(x.Extract(Entry("/../x"), Data("abs")).outcome, ExtractOutcome::refusedUnsafe);
}

TEST(SafeExtractor, SetIdBitsAreDroppedAndTimeKept) {
  testing_support::TempDir dir;
  arc::SafeExtractor x(dir.Path(), {});
  for (std::uint32_t mode : {04755u, 02755u, 01777u}) {
    arc::EntryToExtract e = Entry("m" + std::to_string(mode));
    e.unixMode = mode;
    ASSERT_EQ(x.Extract(e, Data("x")).outcome, ExtractOutcome::written);
    struct stat st {};
    ASSERT_EQ(::stat((dir / e.name).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode & 0777);
    EXPECT_EQ(st.st_mtime, 1700000000);
  }
}

TEST(SafeExtractor, ReplacesOnlyByANewerMemberAndAFailedMemberLeavesNothing) {
  testing_support::TempDir dir;
  ASSERT_EQ(arc::SafeExtractor(dir.Path(), {}).Extract(Entry("f"), Data("old")).outcome,
            ExtractOutcome::written);
  // A second extraction finds the file there before it.
  arc::SafeExtractor x(dir.Path(), {});
  EXPECT_EQ(x.Extract(Entry("f"), Data("same")).outcome, ExtractOutcome::skippedNotNewer);
  arc::EntryToExtract newer = Entry("f");
  newer.mtime += 2;
  const auto damaged = [](int) { return arc::DataResult{false, true, "CRC error"}; };
  const arc::ExtractReport bad = x.Extract(newer, damaged);
  EXPECT_EQ(bad.outcome, ExtractOutcome::failed);
  EXPECT_TRUE(bad.damaged);
  EXPECT_EQ(Slurp(dir / "f"), "old");
  EXPECT_EQ(x.Extract(newer, Data("new")).outcome, ExtractOutcome::written);
  EXPECT_EQ(Slurp(dir / "f"), "new");
  std::size_t count = 0;
  for (const auto& e : fs::directory_iterator(dir.Path())) count += e.exists();
  EXPECT_EQ(count, 1u);  // no temporary file left
}

TEST(SafeExtractor, TheLastCopyOfANameWins) {
  testing_support::TempDir dir;
  arc::ExtractRules rules;
  rules.linksInside = true;
  arc::SafeExtractor x(dir.Path(), rules);
  ASSERT_EQ(x.Extract(Entry("d/f"), Data("first")).outcome, ExtractOutcome::written);
  EXPECT_EQ(x.Extract(Entry("d/f"), Data("last")).outcome, ExtractOutcome::written);
  EXPECT_EQ(Slurp(dir / "d/f"), "last");
  ASSERT_EQ(x.Extract(Entry("l", EntryKind::symlink, "d"), Data("")).outcome,
            ExtractOutcome::written);
  EXPECT_EQ(x.Extract(Entry("l", EntryKind::symlink, "d/f"), Data("")).outcome,
            ExtractOutcome::written);
  EXPECT_EQ(fs::read_symlink(dir / "l"), "d/f");
}

// Each row is one archive's links in order: whatever their texts say, no
// link may resolve through another one.
TEST(SafeExtractor, AChainOfLinksNeverLeadsOutside) {
  struct Link {
    const char* name;
    const char* target;
    ExtractOutcome outcome;
  };
  const std::vector<std::vector<Link>> rows = {
      {{"b", ".", ExtractOutcome::written}, {"a", "b/b/../..", ExtractOutcome::refusedUnsafe}},
      {{"a", "c/d/../..", ExtractOutcome::written}, {"c", ".", ExtractOutcome::refusedUnsafe}},
      {{"d/b", "..", ExtractOutcome::written}, {"a", "d/b/x/../..", ExtractOutcome::refusedUnsafe}},
      {{"b", ".", ExtractOutcome::written}, {"a", "b/../etc", ExtractOutcome::refusedUnsafe}},
      {{"b", "d", ExtractOutcome::written}, {"a", "b", ExtractOutcome::written}},
  };
  for (const auto& links : rows) {
    testing_support::TempDir dir;
    const std::string base = dir / "base";
    arc::ExtractRules rules;
    rules.linksInside = true;
    arc::SafeExtractor x(base, rules);
    for (const Link& l : links)
      EXPECT_EQ(x.Extract(Entry(l.name, EntryKind::symlink, l.target), Data("")).outcome, l.outcome)
          << l.name << " -> " << l.target;
    for (auto it = fs::recursive_directory_iterator(base); it != fs::end(it); ++it) {
      std::error_code ec;
      const fs::path real = fs::weakly_canonical(it->path(), ec);
      EXPECT_EQ(real.string().rfind(fs::canonical(base).string(), 0), 0u) << it->path();
    }
  }
}

TEST(SafeText, ControlCharactersNeverReachTheReport) {
  const std::pair<std::string, std::string> rows[] = {
      {"a\nb", "a?b"},
      {"\x1b[2J", "?[2J"},
      {"x\xc2\x9b"
       "31m",
       "x?31m"},
      {"\x7f", "?"},
      {"ログ.log", "ログ.log"},
      {"caf\xc3\xa9", "caf\xc3\xa9"},
      {"\xc2\xa0", "\xc2\xa0"},
  };
  for (const auto& [in, out] : rows) EXPECT_EQ(arc::SafeText(in), out) << in;
}

}  // namespace
