// Shared pieces of the UNARJ32J.DLL tests: the real library loaded with
// dlopen from bin/, a fresh temporary folder per test, file helpers and the
// independent tools (arj, 7zz, unar) found on PATH.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/ArchiverApi.h"
#include "tests/support/Command.h"
#include "tests/support/Files.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tools.h"

namespace unarjtest {

namespace fs = std::filesystem;
using testing_support::FindTool;
using testing_support::ReadFile;

struct Library {
  void* handle = nullptr;
  ArcCommandProc command = nullptr;
  ArcOpenProc open = nullptr;
  ArcCloseProc close = nullptr;
  ArcFindFirstProc findFirst = nullptr;
  ArcFindNextProc findNext = nullptr;
  ArcSetProgressProc setProgress = nullptr;
  ArcCheckArchiveProc check = nullptr;

  static Library& Get() {
    static Library lib = [] {
      Library l;
      l.handle = ::dlopen(UNARJ32J_PATH, RTLD_NOW | RTLD_LOCAL);
      if (!l.handle) return l;
      l.command = reinterpret_cast<ArcCommandProc>(::dlsym(l.handle, "Unarj"));
      l.open = reinterpret_cast<ArcOpenProc>(::dlsym(l.handle, "UnarjOpenArchive"));
      l.close = reinterpret_cast<ArcCloseProc>(::dlsym(l.handle, "UnarjCloseArchive"));
      l.findFirst = reinterpret_cast<ArcFindFirstProc>(::dlsym(l.handle, "UnarjFindFirst"));
      l.findNext = reinterpret_cast<ArcFindNextProc>(::dlsym(l.handle, "UnarjFindNext"));
      l.setProgress =
          reinterpret_cast<ArcSetProgressProc>(::dlsym(l.handle, "UnarjSetProgressCallback"));
      l.check = reinterpret_cast<ArcCheckArchiveProc>(::dlsym(l.handle, "UnarjCheckArchive"));
      return l;
    }();
    return lib;
  }
};

struct RunResult {
  std::int32_t result = -1;
  std::string output;
};

inline RunResult Unarj(const std::string& cmd) {
  std::vector<char> buf(1 << 16, '\x7f');
  RunResult r;
  r.result = Library::Get().command(nullptr, cmd.c_str(), buf.data(),
                                    static_cast<std::uint32_t>(buf.size()));
  r.output = buf.data();
  return r;
}

inline std::string Q(const std::string& s) { return "\"" + s + "\""; }

// One listing of the archive through the find entries: name, size, CRC.
struct Listed {
  std::string name;
  std::uint32_t size = 0;
  std::uint32_t crc = 0;
  TArchiveEntryInfo info{};
};
inline std::vector<Listed> ListArchive(const std::string& archive, const char* wild = "*.*") {
  Library& lib = Library::Get();
  std::vector<Listed> out;
  ArcHandle h = lib.open(nullptr, archive.c_str(), 0);
  if (h == 0) return out;
  TArchiveEntryInfo info{};
  for (int r = lib.findFirst(h, wild, &info); r == 0; r = lib.findNext(h, &info))
    out.push_back({info.FileName, info.OriginalSize, info.Crc, info});
  lib.close(h);
  return out;
}

// Runs a shell command in folder; returns the exit status, output in *out.
inline int Shell(const std::string& cmd, const fs::path& folder, std::string* out = nullptr) {
  testing_support::CommandResult r = testing_support::RunCommand(cmd, folder.string());
  if (out) *out = r.output;
  return r.status;
}

// Every file, folder and link below root, relative ('/' after folders), sorted.
inline std::vector<std::string> ListTree(const fs::path& root) {
  std::vector<std::string> names;
  if (!fs::exists(root)) return names;
  for (auto& e : fs::recursive_directory_iterator(root))
    names.push_back(fs::relative(e.path(), root).string() + (e.is_directory() ? "/" : ""));
  std::sort(names.begin(), names.end());
  return names;
}

// A fresh temporary folder for each test.
class UnarjTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Library::Get().handle, nullptr) << "cannot load " << UNARJ32J_PATH;
  }
  fs::path Path(const std::string& rel) const { return fs::path(dir_.Path()) / rel; }
  std::string P(const std::string& rel) const { return Path(rel).string(); }
  std::string Write(const std::string& rel, const std::string& data) const {
    return dir_.Write(rel, data);
  }

  testing_support::TempDir dir_;
};

}  // namespace unarjtest
