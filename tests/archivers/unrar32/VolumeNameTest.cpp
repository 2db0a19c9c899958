// The names of the volume after a given one.
#include <gtest/gtest.h>

#include "RarVolumes.h"

namespace {

TEST(VolumeNameTest, EachNamingScheme) {
  struct Row {
    const char* name;
    const char* next;
  } rows[] = {
      {"/a/set.part1.rar", "/a/set.part2.rar"},
      {"set.part09.rar", "set.part10.rar"},
      {"set.part99.rar", "set.part100.rar"},
      {"SET.PART01.RAR", "SET.PART02.RAR"},
      {"set.rar", "set.r00"},
      {"SET.RAR", "SET.R00"},
      {"set.r00", "set.r01"},
      {"set.r09", "set.r10"},
      {"set.r99", "set.s00"},
      {"set.z99", ""},
      {"set.001", "set.002"},
      {"set.099", "set.100"},
      {"dir.part1/set.rar", "dir.part1/set.r00"},
      {"noext", ""},
      {"/a.b/noext", ""},
      {"set.partx.rar", "set.partx.r00"},
      {"log.txt", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(unrar::NextVolumeName(row.name), row.next) << row.name;
}

}  // namespace
