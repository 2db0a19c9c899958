// A real RAR archive through the archive component and our UNRAR32.DLL:
// found by content under a name that says nothing, listed, extracted with
// and without folders, and checked against what bsdtar extracts.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "archive/ArchiveFile.h"
#include "archive/GetArchiverType.h"
#include "backends/Archiver.h"
#include "backends/Rar32.h"
#include "tests/support/Command.h"
#include "tests/support/Corpus.h"
#include "tests/support/Files.h"
#include "tests/support/ScopedCwd.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tools.h"

using namespace pelsok;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

const std::string kData = testing_support::CorpusDir("rar");

std::set<std::string> Files(const std::string& root) {
  std::set<std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    if (e.is_regular_file()) files.insert(std::filesystem::relative(e.path(), root).string());
  return files;
}

}  // namespace

TEST(RarRoad, ARenamedArchiveIsFoundByContentListedAndExtracted) {
  SKIP_WITHOUT_TOOL("bsdtar");
  for (const char* source : {"Rar4.rar", "Rar5.rar"}) {
    SCOPED_TRACE(source);
    TempDir dir;
    const std::string archive = dir / "month.dat";
    std::filesystem::copy_file(kData + "/" + source, archive);
    EXPECT_EQ(GetArchiverType(archive, true), atNone);
    EXPECT_EQ(GetArchiverType(archive, false), atRar);
    EXPECT_TRUE(IsRarArchive(archive));
    EXPECT_FALSE(IsRarArchive(kData + "/README.md"));

    TArchiveFile file(nullptr);
    file.SetFileName(archive);  // the extension binds nothing
    EXPECT_EQ(file.Archiver(), nullptr);
    ASSERT_NE(file.OpenArchive(nullptr, 0), 0);
    EXPECT_EQ(file.ArchiverType(), atRar);
    std::set<std::string> listed;
    TArchiveEntryInfo info{};
    for (int rc = file.FindFirst("*.*", info); rc == 0; rc = file.FindNext(info))
      listed.insert(info.FileName);
    file.CloseArchive();
    std::set<std::string> names = {"exe/", "jpg/", "exe/test.exe", "jpg/test.jpg", "тест.txt"};
    if (std::string(source) == "Rar5.rar") names.insert("Empty/");
    EXPECT_EQ(listed, names);

    // x: with folders, bit for bit as bsdtar extracts them.
    TempDir ref;
    const auto bsdtar =
        testing_support::RunCommand("bsdtar -xf " + testing_support::ShellQuote(archive) + " -C " +
                                    testing_support::ShellQuote(ref.Path()));
    ASSERT_EQ(bsdtar.status, 0) << bsdtar.output;
    TArchiver& rar = *file.Archiver();
    std::string output(4096, '\0');
    ASSERT_EQ(rar.Unpack(nullptr, archive, file.Options(), dir / "x", nullptr, output), 0)
        << output.c_str();
    EXPECT_EQ(rar.CommandLine, "-x -u  \"" + archive + "\" \"" + (dir / "x") + "/\" ");
    const auto files = Files(ref.Path());
    ASSERT_EQ(Files(dir / "x"), files);
    for (const auto& name : files)
      EXPECT_EQ(ReadFile(dir / ("x/" + name)), ReadFile(ref / name)) << name;

    // e with a file list: the named files, no folders.
    TArchiverOptions flat;
    flat.x = 0;
    platform::TStringList list;
    list.Add("*.jpg");
    list.Add("*.txt");
    ASSERT_EQ(rar.Unpack(nullptr, archive, flat, dir / "e", &list, output), 0) << output.c_str();
    EXPECT_EQ(Files(dir / "e"), (std::set<std::string>{"test.jpg", "тест.txt"}));
    EXPECT_EQ(ReadFile(dir / "e/test.jpg"), ReadFile(ref / "jpg/test.jpg"));

    // The library's failures come back as its result, not as exceptions.
    EXPECT_EQ(rar.Unpack(nullptr, dir / "missing.rar", flat, dir / "e", nullptr, output), 0x8002);
  }
}
