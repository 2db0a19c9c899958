// A test that runs in a fresh temporary folder of its own, removed with
// everything in it afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/TempDir.h"

namespace testing_support {

class TempDirFixture : public ::testing::Test {
 protected:
  // The path of relative inside the folder.
  std::filesystem::path Path(const std::string& relative) const { return dir_ / relative; }
  std::string P(const std::string& relative) const { return Path(relative).string(); }
  // Writes content to relative, making its folders; returns its path.
  std::string Write(const std::string& relative, const std::string& content) const {
    return temp_.Write(relative, content);
  }

  TempDir temp_;
  const std::filesystem::path dir_{temp_.Path()};
};

}  // namespace testing_support
