#include "MemberBuffer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "common/ArchiverApi.h"
#include "common/Failure.h"
#include "common/Messages.h"
#include "lzharc/FileStreams.h"

namespace unlha {
namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw arc::Failure(arc::kCannotWrite, what + arc::msg::Because(std::strerror(errno)));
}

}  // namespace

MemberBuffer::MemberBuffer(std::string spillDir, std::size_t memoryLimit)
    : spillDir_(std::move(spillDir)), memoryLimit_(memoryLimit) {}

MemberBuffer::~MemberBuffer() {
  if (spillFd_ >= 0) ::close(spillFd_);
}

void MemberBuffer::write(const std::uint8_t* buf, std::size_t n) {
  if (spillFd_ < 0 && memory_.size() + n <= memoryLimit_) {
    memory_.insert(memory_.end(), buf, buf + n);
    return;
  }
  if (spillFd_ < 0) {
    std::string path = spillDir_ + "/.unlha-member-XXXXXX";
    spillFd_ = ::mkostemp(path.data(), O_CLOEXEC);
    if (spillFd_ < 0)
      Fail(arc::msg::CannotCreate("フォルダ " + arc::msg::Quoted(spillDir_) + " に一時ファイル"));
    ::unlink(path.c_str());  // gone from the folder; it lives while it is open
  }
  try {
    lzh::WriteAll(spillFd_, buf, n, spillDir_ + "/.unlha-member-XXXXXX");
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  spilled_ += n;
}

void MemberBuffer::truncate(std::uint64_t n) {
  if (n <= memory_.size()) {
    memory_.resize(static_cast<std::size_t>(n));
    n = 0;
  } else {
    n -= memory_.size();
  }
  if (n >= spilled_) return;
  if (spillFd_ >= 0 && (::ftruncate(spillFd_, static_cast<off_t>(n)) != 0 ||
                        ::lseek(spillFd_, static_cast<off_t>(n), SEEK_SET) < 0))
    Fail("フォルダ " + arc::msg::Quoted(spillDir_) + " の一時ファイルを切り詰められません");
  spilled_ = n;
}

void MemberBuffer::overwrite(std::size_t at, const std::vector<std::uint8_t>& bytes) {
  if (at + bytes.size() > memory_.size())
    throw std::logic_error("MemberBuffer::overwrite: メモリに置いた範囲を超えています");
  std::copy(bytes.begin(), bytes.end(), memory_.begin() + static_cast<std::ptrdiff_t>(at));
}

void MemberBuffer::copyTo(int fd, const std::string& name) const {
  try {
    lzh::WriteAll(fd, memory_.data(), memory_.size(), name);
    std::vector<std::uint8_t> chunk(std::min<std::uint64_t>(spilled_, 1 << 20));
    for (std::uint64_t at = 0; at < spilled_;) {
      const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), spilled_ - at));
      lzh::ReadAt(spillFd_, chunk.data(), n, at, spillDir_ + "/.unlha-member-XXXXXX");
      lzh::WriteAll(fd, chunk.data(), n, name);
      at += n;
    }
  } catch (const arc::Failure&) {
    throw;
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
}

}  // namespace unlha
