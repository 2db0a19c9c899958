// The ZIP back end against the recording doubles of its three libraries:
// which library each operation uses, the lines it hands over, the messages,
// and the old archive on the LMZIP32.DLL road.
#include <gtest/gtest.h>

#include <filesystem>

#include "archivecore/EArchiver.h"
#include "backends/Zip32.h"
#include "platform/DynamicLibrary.h"
#include "tests/support/Files.h"
#include "tests/support/ScopedLibraryPath.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::ReadFile;
using testing_support::ScopedLibraryPath;
using testing_support::TempDir;

namespace {

// Reads and steers the double that stands in for one of the libraries.
class Double {
 public:
  explicit Double(std::size_t lib) : lib_(TZip32::Library().Handle(lib)) {}
  int Count() const { return Fn<int (*)()>("Double_CallCount")(); }
  std::string Entry(int i) const { return Fn<const char* (*)(int)>("Double_Entry")(i); }
  std::string Text(int i) const { return Fn<const char* (*)(int)>("Double_Text")(i); }
  const void* Buffer(int i) const { return Fn<const void* (*)(int)>("Double_Buffer")(i); }
  std::uint32_t Number(int i) const { return Fn<std::uint32_t (*)(int)>("Double_Number")(i); }
  bool WatchedExisted(int i) const { return Fn<int (*)(int)>("Double_WatchedExisted")(i) != 0; }
  void SetResult(std::int32_t r) const { Fn<void (*)(std::int32_t)>("Double_SetResult")(r); }
  void Watch(const std::string& p) const { Fn<void (*)(const char*)>("Double_Watch")(p.c_str()); }
  void WriteOnCommand(const std::string& p, const std::string& t) const {
    Fn<void (*)(const char*, const char*)>("Double_WriteOnCommand")(p.c_str(), t.c_str());
  }
  int Last() const { return Count() - 1; }

 private:
  template <typename F>
  F Fn(const char* name) const {
    return reinterpret_cast<F>(platform::GetProcAddress(lib_, name));
  }
  platform::LibraryHandle lib_;
};

std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EArchiver& e) {
    return e.Message();
  }
  return "(nothing raised)";
}

platform::TStringList OneLine(const char* line) {
  platform::TStringList l;
  l.Add(line);
  return l;
}

// Each test plants the doubles it wants in a folder of its own; the binding
// starts and ends unloaded.
class Zip32BackEnd : public ::testing::Test {
 protected:
  void SetUp() override { TZip32::Library().Unload(); }
  void TearDown() override { TZip32::Library().Unload(); }
  void Plant(std::initializer_list<const char*> names) {
    for (const char* name : names)
      std::filesystem::copy_file(std::string(ZIP_RECORDING_DIR "/") + name, libs_ / name);
  }
  TempDir dir_;
  std::filesystem::path libs_ = [this] {
    std::filesystem::create_directories(dir_ / "libs");
    return std::filesystem::path(dir_ / "libs");
  }();
  ScopedLibraryPath path_{libs_.string()};
  TArchiverOptions options_;
  std::string output_ = std::string(64, '\0');
  platform::TStringList list_ = OneLine("F");
};

TEST_F(Zip32BackEnd, NoLibraryRaisesTheLoadMessageEveryTime) {
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(MessageOf([] { TZip32 z; }),
              "ZIP 形式書庫を解凍するには UNZIP32.DLL が、作成するには ZIP32J.DLL が必要です。");
  EXPECT_FALSE(IsZipArchive(dir_ / "x.zip"));
}

TEST_F(Zip32BackEnd, OnlyUnzip32ExtractsAndListsButCannotCreate) {
  Plant({"UNZIP32.DLL"});
  TZip32 zip;
  Double d(TZip32::kUnzip32);
  EXPECT_EQ(zip.Unpack(nullptr, "A.zip", options_, "/out", &list_, output_), 0);
  EXPECT_EQ(d.Entry(d.Last()), "UnZip");
  EXPECT_EQ(d.Text(d.Last()), "-x  \"A.zip\" \"/out/\" \"F\" ");
  EXPECT_EQ(zip.CommandLine, d.Text(d.Last()));
  EXPECT_EQ(d.Number(d.Last()), 64u);
  EXPECT_EQ(d.Buffer(d.Last()), output_.data());

  const std::string archive = dir_.Write("a.zip", "x");
  const ArcHandle h = zip.OpenArchive(nullptr, archive, 5);
  EXPECT_EQ(h, 9);
  EXPECT_EQ(d.Entry(d.Last()), "UnZipOpenArchive");
  EXPECT_EQ(d.Number(d.Last()), 5u);
  TArchiveEntryInfo info{};
  EXPECT_EQ(zip.FindFirst(h, info, "*.*"), 0);
  EXPECT_STREQ(info.FileName, "LOG/DR0701.log");
  EXPECT_NE(zip.FindNext(h, info), 0);
  EXPECT_EQ(zip.CloseArchive(h), 0);
  EXPECT_EQ(d.Entry(d.Last()), "UnZipCloseArchive");

  const char* creation = "ZIP 形式書庫の作成には ZIP32J.DLL または LMZIP32.DLL が必要です。";
  EXPECT_EQ(MessageOf([&] { zip.Pack(nullptr, "A.zip", options_, "", &list_, output_); }),
            creation);
  EXPECT_EQ(MessageOf([&] { zip.Remove(nullptr, "A.zip", options_, "", &list_, output_); }),
            creation);
  EXPECT_EQ(MessageOf([&] { zip.MakeSfx(nullptr, "A.zip", options_, output_); }),
            "この形式では自己解凍書庫の作成をサポートしておりません。");
}

TEST_F(Zip32BackEnd, OnlyLmZip32UsesItsSpellingAndItsPackLine) {
  Plant({"LMZIP32.DLL"});
  TZip32 zip;
  Double d(TZip32::kLmZip32);
  const std::string archive = dir_.Write("DR2607.zip", "old archive");
  d.Watch(archive);
  EXPECT_EQ(zip.Pack(nullptr, archive, options_, "/base", &list_, output_), 0);
  EXPECT_EQ(d.Entry(d.Last()), "Zip");
  EXPECT_EQ(d.Text(d.Last()), "-ru  \"" + archive + "\" \"F\" ");  // no base folder
  EXPECT_FALSE(d.WatchedExisted(d.Last()));                 // the library writes a new archive
  EXPECT_FALSE(std::filesystem::exists(archive + ".old"));  // dropped after success

  EXPECT_EQ(zip.Unpack(nullptr, "A.zip", options_, "", &list_, output_), 0);
  EXPECT_EQ(d.Entry(d.Last()), "Unzip");
  const std::string real = dir_.Write("b.zip", "y");
  EXPECT_TRUE(IsZipArchive(real));
  EXPECT_EQ(d.Entry(d.Last()), "UnzipCloseArchive");
  EXPECT_EQ(d.Entry(d.Last() - 1), "UnzipOpenArchive");
  EXPECT_EQ(d.Number(d.Last() - 1), 0x800002u);
  TArchiveEntryInfo info{};
  const ArcHandle h = zip.OpenArchive(nullptr, real, 0);
  zip.FindFirst(h, info, "*");
  zip.FindNext(h, info);
  EXPECT_EQ(d.Entry(d.Last() - 1), "UnzipFindFirst");
  EXPECT_EQ(d.Entry(d.Last()), "UnzipFindNext");
}

TEST_F(Zip32BackEnd, OnlyLmZip32KeepsTheOldArchiveWhenTheCallFails) {
  Plant({"LMZIP32.DLL"});
  TZip32 zip;
  Double d(TZip32::kLmZip32);
  const std::string archive = dir_.Write("DR2607.zip", "old archive");
  d.SetResult(0x8003);
  d.WriteOnCommand(archive, "half-written new archive");
  EXPECT_EQ(zip.Pack(nullptr, archive, options_, "", &list_, output_), 0x8003);
  EXPECT_EQ(ReadFile(archive), "old archive");
  EXPECT_FALSE(std::filesystem::exists(archive + ".old"));
  // Success: the new archive stays and the old one is gone.
  d.SetResult(0);
  EXPECT_EQ(zip.Pack(nullptr, archive, options_, "", &list_, output_), 0);
  EXPECT_EQ(ReadFile(archive), "half-written new archive");
  EXPECT_FALSE(std::filesystem::exists(archive + ".old"));
  // No old archive: nothing to keep, nothing to put back.
  d.SetResult(0x8001);
  d.WriteOnCommand(dir_ / "elsewhere", "");
  std::filesystem::remove(archive);
  EXPECT_EQ(zip.Pack(nullptr, archive, options_, "", &list_, output_), 0x8001);
  EXPECT_FALSE(std::filesystem::exists(archive));
}

TEST_F(Zip32BackEnd, Zip32jAndLmZip32TogetherPackThroughZip32j) {
  Plant({"ZIP32J.DLL", "LMZIP32.DLL"});
  TZip32 zip;
  Double j(TZip32::kZip32j), lm(TZip32::kLmZip32);
  const std::string archive = dir_.Write("DR2607.zip", "old archive");
  j.Watch(archive);
  options_.x = 1;
  EXPECT_EQ(zip.Pack(nullptr, archive, options_, "", &list_, output_), 0);
  EXPECT_EQ(j.Entry(j.Last()), "Zip");
  EXPECT_EQ(j.Text(j.Last()), " -D  \"" + archive + "\" \"F\" ");
  EXPECT_TRUE(j.WatchedExisted(j.Last()));  // not deleted first
  EXPECT_EQ(lm.Count(), 0);
  EXPECT_EQ(zip.Remove(nullptr, archive, options_, "/base", &list_, output_), 0);
  EXPECT_EQ(j.Text(j.Last()), "-d -D  \"" + archive + "\" \"F\" ");
  // Listing is asked of LMZIP32.DLL first.
  EXPECT_NE(zip.OpenArchive(nullptr, archive, 0), 0);
  EXPECT_EQ(lm.Entry(lm.Last()), "UnzipOpenArchive");
  // "UnZip" comes from LMZIP32.DLL when UNZIP32.DLL is missing.
  zip.Unpack(nullptr, archive, options_, "", &list_, output_);
  EXPECT_EQ(lm.Entry(lm.Last()), "Unzip");
}

TEST_F(Zip32BackEnd, Zip32jAloneCannotExtractAndNamesAMissingEntry) {
  Plant({"ZIP32J.DLL"});
  TZip32 zip;
  EXPECT_EQ(MessageOf([&] { zip.Unpack(nullptr, "A.zip", options_, "", &list_, output_); }),
            "ZIP 形式書庫の解凍には UNZIP32.DLL または LMZIP32.DLL が必要です。");
  // A library loaded later is used from then on.
  Plant({"UNZIP32.DLL"});
  EXPECT_EQ(zip.Unpack(nullptr, "A.zip", options_, "", &list_, output_), 0);
  EXPECT_EQ(Double(TZip32::kUnzip32).Entry(0), "UnZip");
}

TEST_F(Zip32BackEnd, ZeroOutputSizePassesANullBuffer) {
  Plant({"ZIP32J.DLL"});
  TZip32 zip;
  Double d(TZip32::kZip32j);
  std::string none;
  EXPECT_EQ(zip.Pack(nullptr, "A.zip", options_, "", &list_, none), 0);
  EXPECT_EQ(d.Buffer(d.Last()), nullptr);
  EXPECT_EQ(d.Number(d.Last()), 0u);
}

TEST_F(Zip32BackEnd, IsZipArchiveOnAnUnopenableFileDoesNotClose) {
  Plant({"UNZIP32.DLL"});
  const std::string empty = dir_.Write("empty.zip", "");
  EXPECT_FALSE(IsZipArchive(empty));
  Double d(TZip32::kUnzip32);
  ASSERT_EQ(d.Count(), 1);
  EXPECT_EQ(d.Entry(0), "UnZipOpenArchive");
  EXPECT_EQ(d.Text(0), empty);
}

}  // namespace
