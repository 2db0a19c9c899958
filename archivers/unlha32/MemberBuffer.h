// One member (header and data) packed ahead of its turn: kept in memory up to
// a limit, and beyond it in an unnamed temporary file, so that a few members
// in flight cost a bounded amount of memory whatever their size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lzh/LzhCodec.h"

namespace unlha {

class MemberBuffer : public lzh::Sink {
 public:
  // The temporary file, when one is needed, is made in spillDir.
  MemberBuffer(std::string spillDir, std::size_t memoryLimit);
  ~MemberBuffer() override;
  MemberBuffer(const MemberBuffer&) = delete;
  MemberBuffer& operator=(const MemberBuffer&) = delete;

  // Throws arc::Failure(kCannotWrite) when the temporary file fails.
  void write(const std::uint8_t* buf, std::size_t n) override;
  std::uint64_t size() const { return memory_.size() + spilled_; }
  // Drops everything from byte n on.
  void truncate(std::uint64_t n);
  // Replaces bytes that are still in memory (the member's header).
  void overwrite(std::size_t at, const std::vector<std::uint8_t>& bytes);
  // Appends the whole content at fd's position.
  void copyTo(int fd, const std::string& name) const;

 private:
  std::string spillDir_;
  std::size_t memoryLimit_;
  std::vector<std::uint8_t> memory_;
  int spillFd_ = -1;
  std::uint64_t spilled_ = 0;
};

}  // namespace unlha
