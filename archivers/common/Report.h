// The text a command leaves in the caller's output buffer: lines collected
// while the command runs, then copied cut to the buffer's size.
#pragma once

#include <cstdint>
#include <string>

namespace arc {

class Report {
 public:
  void Line(const std::string& text) { text_ += text + "\n"; }
  const std::string& Text() const { return text_; }
  // Copies at most size - 1 bytes (never splitting a UTF-8 character) and a
  // NUL; writes nothing when buffer is null or size is 0.
  void CopyTo(char* buffer, std::uint32_t size) const;

 private:
  std::string text_;
};

}  // namespace arc
