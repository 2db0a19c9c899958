// lzharc_write_seeds <folder>: writes the hostile_* fuzz seeds of
// fuzz/lzharc/seeds from the same generator as the tests, so the fuzzers
// start from extended-header chains, UTF-16 names, MacBinary members and
// members that claim more than their data holds.
#include <cstdio>
#include <string>

#include "HostileArchives.h"
#include "tests/support/Files.h"

using namespace lzhtest;

namespace {

Bytes Unicode() {
  MemberSpec a;
  a.name = "______.log";
  a.data = Text("log line\n");
  a.extensions = {{0x44, Utf16Le(u"ログ.log")}, {0x45, Utf16Le(u"月\uFFFF日\\時")}};
  MemberSpec b;
  b.data = Text("x");
  b.extensions = {{0x01, Text("______")},
                  {0x02, Text("dir\xFF")},
                  {0x44, Utf16Le(u"\xD83D\xDE00\xD800.log")},
                  {0x50, {0xA4, 0x81}},
                  {0x54, {0x00, 0x2F, 0x6A, 0x65}}};
  return Archive({Level1Member(a), Level2Member(b)});
}

Bytes MacBinary() {
  MemberSpec s;
  s.name = "Read Me";
  s.osId = 'm';
  s.data = MacBinaryImage("Read Me", Text("data fork\n"), Bytes(40, 0xA5), true);
  MemberSpec one = s;
  one.data = MacBinaryImage("Old", Text("data"), {}, false);
  return Archive({Level1Member(s), Level1Member(one)});
}

Bytes Chains() {
  MemberSpec mixed;
  mixed.name = "mixed.log";
  mixed.data = Text("mixed");
  mixed.extensions = {
      {0x7E, {}}, {0x01, Text("real.log")}, {0x40, {0x20, 0x00}}, {0x7F, {}}, {0x42, Bytes(16, 0)}};
  mixed.extensions[4].data[0] = 5;  // packed size 5
  mixed.extensions[4].data[8] = 5;  // original size 5
  return Archive({EmptyExtensionChain(200), Level1Member(mixed)});
}

Bytes Bomb() {
  MemberSpec s;
  s.method = "-lh5-";
  s.data = SingleCodeBlocks(8);
  s.originalSize = 9 * kSingleCodeBlockOutput;
  s.extensions = {{0x01, Text("bomb.log")}};
  return Archive({Level2Member(s)});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: lzharc_write_seeds <folder>\n");
    return 2;
  }
  const std::string dir = argv[1];
  testing_support::WriteFile(dir + "/hostile_unicode.lzh", Unicode());
  testing_support::WriteFile(dir + "/hostile_macbinary.lzh", MacBinary());
  testing_support::WriteFile(dir + "/hostile_chains.lzh", Chains());
  testing_support::WriteFile(dir + "/hostile_long_chain.lzh", Archive({EmptyExtensionChain(300)}));
  testing_support::WriteFile(dir + "/hostile_bomb.lzh", Bomb());
  return 0;
}
