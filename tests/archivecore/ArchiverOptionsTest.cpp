#include <gtest/gtest.h>

#include "archive/ArchiveFile.h"
#include "archivecore/ArchiverOptions.h"
#include "platform/Exceptions.h"

using namespace pelsok;

namespace {

// Every switch option, in declaration order, as pointers to members.
const std::vector<TSwitch TArchiverOptions::*> kSwitches = {
    &TArchiverOptions::a,   &TArchiverOptions::c,   &TArchiverOptions::e,   &TArchiverOptions::f,
    &TArchiverOptions::h,   &TArchiverOptions::i,   &TArchiverOptions::l,   &TArchiverOptions::m,
    &TArchiverOptions::n,   &TArchiverOptions::o,   &TArchiverOptions::p,   &TArchiverOptions::r,
    &TArchiverOptions::s,   &TArchiverOptions::t,   &TArchiverOptions::u,   &TArchiverOptions::x,
    &TArchiverOptions::y,   &TArchiverOptions::z,   &TArchiverOptions::jc,  &TArchiverOptions::jd,
    &TArchiverOptions::je,  &TArchiverOptions::jf,  &TArchiverOptions::jh,  &TArchiverOptions::ji,
    &TArchiverOptions::jm,  &TArchiverOptions::jn,  &TArchiverOptions::jp,  &TArchiverOptions::jr,
    &TArchiverOptions::jss, &TArchiverOptions::jw,  &TArchiverOptions::jyc, &TArchiverOptions::jyd,
    &TArchiverOptions::jyk, &TArchiverOptions::jyn, &TArchiverOptions::jyo, &TArchiverOptions::ga,
    &TArchiverOptions::gd,  &TArchiverOptions::ge,  &TArchiverOptions::gf,  &TArchiverOptions::gj,
    &TArchiverOptions::gm,  &TArchiverOptions::gn,  &TArchiverOptions::go,  &TArchiverOptions::gp,
    &TArchiverOptions::gs,  &TArchiverOptions::gu,  &TArchiverOptions::gw};

const std::vector<std::string TArchiverOptions::*> kNoValueStrings = {
    &TArchiverOptions::w, &TArchiverOptions::jo, &TArchiverOptions::job, &TArchiverOptions::jz,
    &TArchiverOptions::gr};

}  // namespace

TEST(ArchiverOptions, ResetValues) {
  TArchiverOptions o;
  // 47 switches + 5 NoValue strings + jx + 2 free texts + PackFilter + ResFileName + usage = 58.
  ASSERT_EQ(kSwitches.size() + kNoValueStrings.size() + 6, 58u);
  for (auto sw : kSwitches) EXPECT_EQ(o.*sw, -1);
  for (auto str : kNoValueStrings) {
    EXPECT_TRUE(IsNoValue(o.*str));
    EXPECT_NE(o.*str, "");
  }
  EXPECT_TRUE(o.jx.Empty());
  EXPECT_EQ(o.UserOptions, "");
  EXPECT_EQ(o.UserFileList, "");
  EXPECT_EQ(o.PackFilter, pfArchiver);
  EXPECT_EQ(o.ResFileName, "");
  EXPECT_EQ(o.ResFileUsage.Bits(), 0x07);
}

TEST(ArchiverOptions, AssignCopiesEverythingAndJxLineByLine) {
  TArchiverOptions src;
  TSwitch v = 0;
  for (auto sw : kSwitches) src.*sw = v++;
  for (auto str : kNoValueStrings) src.*str = "s";
  src.jx.Add("one");
  src.jx.Add("two");
  src.UserOptions = "-uo";
  src.UserFileList = "f";
  src.PackFilter = pfComponent;
  src.ResFileName = "list.txt";
  src.ResFileUsage = TResFileUsage{ruOnUnpack};

  TArchiverOptions dst;
  dst.jx.Add("old");
  dst.Assign(src);
  v = 0;
  for (auto sw : kSwitches) EXPECT_EQ(dst.*sw, v++);
  for (auto str : kNoValueStrings) EXPECT_EQ(dst.*str, "s");
  ASSERT_EQ(dst.jx.Count(), 2u);
  EXPECT_EQ(dst.jx[0], "one");
  EXPECT_EQ(dst.UserOptions, "-uo");
  EXPECT_EQ(dst.UserFileList, "f");
  EXPECT_EQ(dst.PackFilter, pfComponent);
  EXPECT_EQ(dst.ResFileName, "list.txt");
  EXPECT_EQ(dst.ResFileUsage, TResFileUsage{ruOnUnpack});

  // The lists stay separate objects.
  src.jx.Add("three");
  dst.jx.Set(0, "changed");
  EXPECT_EQ(dst.jx.Count(), 2u);
  EXPECT_EQ(src.jx[0], "one");
}

TEST(ArchiverOptions, AssignFromAnotherClassFailsAndChangesNothing) {
  TArchiverOptions dst;
  dst.x = 1;
  TArchiveFile other(nullptr);
  EXPECT_THROW(dst.Assign(other), platform::EAssignError);
  EXPECT_EQ(dst.x, 1);
}
