// Loading by file name: the executable's folder first, names without case.
#include <gtest/gtest.h>

#include "platform/DynamicLibrary.h"
#include "platform/FileSystem.h"

using namespace platform;

TEST(DynamicLibrary, FindsTheLibraryNextToTheProgramWithoutCase) {
  LibraryHandle lower = LoadLibrary("unlha32.dll");
  ASSERT_NE(lower, nullptr) << LastLoadError();
  LibraryHandle upper = LoadLibrary("UNLHA32.DLL");
  EXPECT_EQ(lower, upper);  // one library, counted twice
  const std::string file = GetModuleFileName(upper);
  EXPECT_EQ(file, ExecutableDir() + "UNLHA32.DLL");
  EXPECT_NE(GetProcAddress(upper, "Unlha"), nullptr);
  EXPECT_EQ(GetProcAddress(upper, "NoSuchEntry"), nullptr);
  FreeLibrary(lower);
  FreeLibrary(upper);
  EXPECT_EQ(LoadLibrary("NOSUCH32.DLL"), nullptr);
  EXPECT_FALSE(LastLoadError().empty());
}

TEST(FileSystem, SearchPathLooksInTheProgramFolderFirst) {
  EXPECT_EQ(SearchPath("unlha32.dll"), ExecutableDir() + "UNLHA32.DLL");
  EXPECT_FALSE(SearchPath("sh").empty());  // from PATH
  EXPECT_EQ(SearchPath("no-such-program-here"), "");
}
