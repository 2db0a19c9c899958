// Independent programs that check our archives (lhasa, 7zz, bsdtar, jlha, ...).
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace testing_support {

// The tool's absolute path when an executable of that name is on PATH, else "".
std::string FindTool(const std::string& name);

}  // namespace testing_support

// Skips the running test when the tool is not on PATH. Use it in the test
// body (or SetUp): in a helper it only returns from the helper.
#define SKIP_WITHOUT_TOOL(name)                                                        \
  do {                                                                                 \
    if (::testing_support::FindTool(name).empty())                                     \
      GTEST_SKIP() << (name) << " is not on PATH (tools/install-deps.sh installs it)"; \
  } while (0)
