// SHA-256 as sha256sum prints it (64 lower-case hexadecimal digits),
// computed by OpenSSL's libcrypto over data handed in pieces.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pelsok::app {

class TSha256 {
 public:
  TSha256();
  ~TSha256();
  TSha256(TSha256&&) noexcept;
  TSha256& operator=(TSha256&&) noexcept;
  void Add(const void* data, std::size_t n);
  // The digest of everything added; the hash starts again empty.
  std::string HexDigest();

 private:
  struct Context;
  std::unique_ptr<Context> ctx_;
};

std::string TextSha256(std::string_view text);

// nullopt when the file cannot be read to its end.
std::optional<std::string> FileSha256(const std::string& path);

}  // namespace pelsok::app
