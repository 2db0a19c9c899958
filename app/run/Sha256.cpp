#include "app/run/Sha256.h"

#include <openssl/evp.h>

#include <fstream>
#include <new>
#include <vector>

namespace pelsok::app {

struct TSha256::Context {
  EVP_MD_CTX* Md = EVP_MD_CTX_new();
  ~Context() { EVP_MD_CTX_free(Md); }
};

TSha256::TSha256() : ctx_(std::make_unique<Context>()) {
  if (ctx_->Md == nullptr || EVP_DigestInit_ex(ctx_->Md, EVP_sha256(), nullptr) != 1)
    throw std::bad_alloc();
}

TSha256::~TSha256() = default;
TSha256::TSha256(TSha256&&) noexcept = default;
TSha256& TSha256::operator=(TSha256&&) noexcept = default;

void TSha256::Add(const void* data, std::size_t n) {
  if (n != 0) EVP_DigestUpdate(ctx_->Md, data, n);
}

std::string TSha256::HexDigest() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(ctx_->Md, digest, &length);
  EVP_DigestInit_ex(ctx_->Md, EVP_sha256(), nullptr);
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  for (unsigned int i = 0; i < length; ++i) {
    text += kHex[digest[i] >> 4];
    text += kHex[digest[i] & 15];
  }
  return text;
}

std::string TextSha256(std::string_view text) {
  TSha256 sha;
  sha.Add(text.data(), text.size());
  return sha.HexDigest();
}

std::optional<std::string> FileSha256(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  TSha256 sha;
  std::vector<char> buffer(1 << 16);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    sha.Add(buffer.data(), static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad() || !in.eof()) return std::nullopt;
  return sha.HexDigest();
}

}  // namespace pelsok::app
