// Finding an archive appended to an ELF program: on a real built program
// with and without bytes after it, and on small 32- and 64-bit images
// whose headers are broken one field at a time.
#include <elf.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/AppendedData.h"
#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

std::optional<arc::AppendedData> FindIn(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return std::nullopt;
  auto found = arc::FindAppendedData(fd);
  EXPECT_EQ(lseek(fd, 0, SEEK_CUR), 0) << "the file offset moved";
  close(fd);
  return found;
}

TEST(AppendedData, ARealProgramEndsWhereItsFileEndsUntilBytesAreAppended) {
  TempDir dir;
  const std::string program = ReadFile("/proc/self/exe");
  ASSERT_GT(program.size(), 4096u);
  WriteFile(dir / "plain", program);
  auto found = FindIn(dir / "plain");
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->offset, program.size());
  EXPECT_TRUE(found->Empty());

  // An archive (here any bytes, even another ELF header) after the program.
  const std::string archive =
      "\x7f"
      "ELF-lookalike, then archive bytes" +
      std::string(5000, '\0');
  WriteFile(dir / "sfx", program + archive);
  found = FindIn(dir / "sfx");
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->offset, program.size());
  EXPECT_EQ(found->fileSize, program.size() + archive.size());

  // The running program finds itself, with nothing after it.
  auto own = arc::FindOwnAppendedData();
  ASSERT_TRUE(own.has_value());
  EXPECT_EQ(own->offset, program.size());
}

TEST(AppendedData, WhatIsNoElfFileIsRefused) {
  TempDir dir;
  for (const std::string& bytes :
       {std::string(),
        std::string("\x7f"
                    "EL"),
        std::string("PK\x03\x04 an archive, not a program"), std::string(64, '\0')}) {
    WriteFile(dir / "f", bytes);
    EXPECT_FALSE(FindIn(dir / "f").has_value()) << bytes.size() << " bytes";
  }
  const int fd = open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY);
  EXPECT_FALSE(arc::FindAppendedData(fd).has_value());  // a folder
  close(fd);
}

struct Elf32 {
  using Ehdr = Elf32_Ehdr;
  using Phdr = Elf32_Phdr;
  using Shdr = Elf32_Shdr;
  static constexpr unsigned char kClass = ELFCLASS32;
};
struct Elf64 {
  using Ehdr = Elf64_Ehdr;
  using Phdr = Elf64_Phdr;
  using Shdr = Elf64_Shdr;
  static constexpr unsigned char kClass = ELFCLASS64;
};

// Header, one segment over the first 0x180 bytes, the section table at
// 0x200, and a last section (.comment) behind the table, so the image ends
// with a section, not with a table. .bss takes no file space.
template <typename T>
struct SmallImage {
  static constexpr std::uint32_t kShoff = 0x200;
  typename T::Ehdr eh{};
  typename T::Phdr ph{};
  typename T::Shdr sh[4]{};

  SmallImage() {
    std::memcpy(eh.e_ident, ELFMAG, SELFMAG);
    eh.e_ident[EI_CLASS] = T::kClass;
    eh.e_ident[EI_DATA] = ELFDATA2LSB;
    eh.e_ident[EI_VERSION] = EV_CURRENT;
    eh.e_type = ET_EXEC;
    eh.e_version = EV_CURRENT;
    eh.e_ehsize = sizeof eh;
    eh.e_phoff = sizeof eh;
    eh.e_phentsize = sizeof ph;
    eh.e_phnum = 1;
    eh.e_shoff = kShoff;
    eh.e_shentsize = sizeof sh[0];
    eh.e_shnum = 4;
    ph.p_type = PT_LOAD;
    ph.p_filesz = 0x180;
    ph.p_memsz = 0x180;
    sh[1].sh_type = SHT_PROGBITS;  // .text
    sh[1].sh_offset = 0x100;
    sh[1].sh_size = 0x80;
    sh[2].sh_type = SHT_NOBITS;  // .bss
    sh[2].sh_offset = 0x10000;
    sh[2].sh_size = 0x10000;
    sh[3].sh_type = SHT_PROGBITS;  // .comment
    sh[3].sh_offset = kShoff + sizeof sh;
    sh[3].sh_size = 0x30;
  }
  std::uint64_t End() const { return kShoff + sizeof sh + 0x30; }
  std::string Bytes() const {
    std::string out(End(), '\xCC');
    std::memcpy(out.data(), &eh, sizeof eh);
    std::memcpy(out.data() + sizeof eh, &ph, sizeof ph);  // where e_phoff points unless broken
    std::memcpy(out.data() + kShoff, sh, sizeof sh);
    return out;
  }
};

template <typename T>
class SmallElf : public ::testing::Test {
 protected:
  std::optional<arc::AppendedData> Find(const std::string& bytes) {
    WriteFile(dir_ / "image", bytes);
    return FindIn(dir_ / "image");
  }
  TempDir dir_;
};

using Classes = ::testing::Types<Elf32, Elf64>;
TYPED_TEST_SUITE(SmallElf, Classes);

TYPED_TEST(SmallElf, TheImageEndsAfterTheFurthestSectionTableOrSegment) {
  SmallImage<TypeParam> image;
  auto found = this->Find(image.Bytes() + "archive");
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->offset, image.End());
  EXPECT_EQ(found->fileSize, image.End() + 7);

  // A segment reaching further than every section decides the end.
  image.ph.p_filesz = image.End() + 3;
  found = this->Find(image.Bytes() + "archive");
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->offset, image.End() + 3);

  // With the count in section 0 (many sections), the same end is found.
  SmallImage<TypeParam> many;
  many.eh.e_shnum = 0;
  many.sh[0].sh_size = 4;
  found = this->Find(many.Bytes());
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->offset, many.End());
  EXPECT_TRUE(found->Empty());
}

TYPED_TEST(SmallElf, NonsenseHeadersAreRefused) {
  using Image = SmallImage<TypeParam>;
  const struct {
    const char* fault;
    std::function<void(Image&)> breakIt;
  } cases[] = {
      {"big-endian", [](Image& i) { i.eh.e_ident[EI_DATA] = ELFDATA2MSB; }},
      {"unknown class", [](Image& i) { i.eh.e_ident[EI_CLASS] = 3; }},
      {"unknown version", [](Image& i) { i.eh.e_ident[EI_VERSION] = 0; }},
      {"header size too small", [](Image& i) { i.eh.e_ehsize = 16; }},
      {"program header entries too small", [](Image& i) { i.eh.e_phentsize = 8; }},
      {"section header entries too small", [](Image& i) { i.eh.e_shentsize = 8; }},
      {"program header table past the end", [](Image& i) { i.eh.e_phoff = i.End() - 4; }},
      {"section table past the end", [](Image& i) { i.eh.e_shnum = 40; }},
      {"segment past the end", [](Image& i) { i.ph.p_filesz = 0x100000; }},
      {"segment offset wraps around",
       [](Image& i) { i.ph.p_offset = decltype(i.ph.p_offset)(-8); }},
      {"section past the end", [](Image& i) { i.sh[3].sh_size = 0x100000; }},
      {"section offset wraps around",
       [](Image& i) { i.sh[1].sh_offset = decltype(i.sh[1].sh_offset)(-8); }},
      {"section count in section 0 too large",
       [](Image& i) {
         i.eh.e_shnum = 0;
         i.sh[0].sh_size = 0x7fffffff;
       }},
  };
  for (const auto& c : cases) {
    Image image;
    c.breakIt(image);
    EXPECT_FALSE(this->Find(image.Bytes()).has_value()) << c.fault;
  }
  // Cut inside the header, or inside the section table.
  const std::string whole = Image().Bytes();
  EXPECT_FALSE(this->Find(whole.substr(0, sizeof(typename TypeParam::Ehdr) - 1)).has_value());
  EXPECT_FALSE(this->Find(whole.substr(0, Image::kShoff + 10)).has_value());
}

}  // namespace
