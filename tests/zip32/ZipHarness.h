// Shared pieces of the UNZIP32.DLL and ZIP32J.DLL tests: the real libraries
// loaded with dlopen, a fresh temporary folder per test, file helpers; the
// external tools (unzip, zip, 7zz, bsdtar, python3) through tests/support.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/ArchiverApi.h"
#include "tests/support/Command.h"
#include "tests/support/Crc32.h"
#include "tests/support/Tools.h"

namespace ziptest {

namespace fs = std::filesystem;

struct Library {
  void* handle = nullptr;
  ArcCommandProc command = nullptr;
  ArcOpenProc open = nullptr;
  ArcCloseProc close = nullptr;
  ArcFindFirstProc findFirst = nullptr;
  ArcFindNextProc findNext = nullptr;
  ArcSetProgressProc setProgress = nullptr;

  static Library Load(const char* path, const char* command, const char* progress) {
    Library l;
    l.handle = ::dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!l.handle) return l;
    l.command = reinterpret_cast<ArcCommandProc>(::dlsym(l.handle, command));
    l.open = reinterpret_cast<ArcOpenProc>(::dlsym(l.handle, "UnZipOpenArchive"));
    l.close = reinterpret_cast<ArcCloseProc>(::dlsym(l.handle, "UnZipCloseArchive"));
    l.findFirst = reinterpret_cast<ArcFindFirstProc>(::dlsym(l.handle, "UnZipFindFirst"));
    l.findNext = reinterpret_cast<ArcFindNextProc>(::dlsym(l.handle, "UnZipFindNext"));
    l.setProgress = reinterpret_cast<ArcSetProgressProc>(::dlsym(l.handle, progress));
    return l;
  }
  static Library& Zip() {
    static Library lib = Load(ZIP32J_PATH, "Zip", "ZipSetProgressCallback");
    return lib;
  }
  static Library& UnZip() {
    static Library lib = Load(UNZIP32_PATH, "UnZip", "UnZipSetProgressCallback");
    return lib;
  }
};

struct RunResult {
  std::int32_t result = -1;
  std::string output;
};

inline RunResult Call(Library& lib, const std::string& cmd, std::uint32_t size) {
  std::vector<char> buf(size + 1, '\x7f');
  RunResult r;
  r.result = lib.command(nullptr, cmd.c_str(), size ? buf.data() : nullptr, size);
  if (size) r.output = buf.data();
  return r;
}
inline RunResult Zip(const std::string& cmd, std::uint32_t size = 65536) {
  return Call(Library::Zip(), cmd, size);
}
inline RunResult UnZip(const std::string& cmd, std::uint32_t size = 65536) {
  return Call(Library::UnZip(), cmd, size);
}

inline std::string Q(const std::string& s) { return "\"" + s + "\""; }

inline void WriteFile(const fs::path& p, const std::string& data) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << data;
}

inline std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline std::string RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(rng());
  return s;
}

// Log-like text: repetitive lines with varying numbers.
inline std::string LogText(std::size_t bytes, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s;
  const char* words[] = {"INFO", "WARN", "ERROR", "connect", "request", "timeout", "user", "id"};
  while (s.size() < bytes) {
    s += "2026-11-" + std::to_string(1 + rng() % 28) + " 12:" + std::to_string(rng() % 60) + " " +
         words[rng() % 8] + " " + words[rng() % 8] + " n=" + std::to_string(rng() % 100000) + "\n";
  }
  s.resize(bytes);
  return s;
}

inline std::uint32_t Crc32(const std::string& data) { return testing_support::Crc32(data); }

inline std::string FindTool(const std::string& name) { return testing_support::FindTool(name); }

#define REQUIRE_TOOL(name) SKIP_WITHOUT_TOOL(name)

// Runs a shell command in folder; returns the exit status and output.
inline int Shell(const std::string& cmd, const fs::path& folder, std::string* out = nullptr) {
  const testing_support::CommandResult r = testing_support::RunCommand(cmd, folder.string());
  if (out) *out = r.output;
  return r.status;
}

// Every regular file and link below root, relative, sorted.
inline std::vector<std::string> ListFiles(const fs::path& root) {
  std::vector<std::string> files;
  if (!fs::exists(root)) return files;
  for (auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file() || e.is_symlink())
      files.push_back(fs::relative(e.path(), root).string());
  std::sort(files.begin(), files.end());
  return files;
}

// Names the listing entries give, in order.
inline std::vector<std::string> ListNames(Library& lib, const std::string& archive,
                                          const char* wild = "*") {
  std::vector<std::string> names;
  const ArcHandle h = lib.open(nullptr, archive.c_str(), 0);
  if (h == 0) return names;
  TArchiveEntryInfo info{};
  for (int r = lib.findFirst(h, wild, &info); r == 0; r = lib.findNext(h, &info))
    names.push_back(info.FileName);
  lib.close(h);
  return names;
}

// A fresh temporary folder for each test, removed afterwards.
class ZipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Library::Zip().handle, nullptr) << "cannot load " << ZIP32J_PATH;
    ASSERT_NE(Library::UnZip().handle, nullptr) << "cannot load " << UNZIP32_PATH;
    std::string pattern = (fs::temp_directory_path() / "zip-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    for (auto& e : fs::recursive_directory_iterator(dir_, ec))
      if (e.is_directory())
        fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  fs::path Path(const std::string& rel) const { return dir_ / rel; }
  std::string P(const std::string& rel) const { return (dir_ / rel).string(); }
  fs::path dir_;
};

}  // namespace ziptest
