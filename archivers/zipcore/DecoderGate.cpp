#include "DecoderGate.h"

#include <fcntl.h>
#include <unistd.h>

#include <optional>
#include <vector>

#include "DictionarySize.h"
#include "common/Messages.h"

namespace zipcore {
namespace {

constexpr std::uint16_t kStored = 0, kDeflate = 8;

// The method in libarchive's description of the entry, "lzma" in
// "ZIP 6.3 (lzma)".
std::string DescribedMethod(const char* description) {
  const std::string d = description ? description : "";
  const auto open = d.rfind('(');
  const auto close = d.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return {};
  return d.substr(open + 1, close - open - 1);
}

// Up to kDictionaryHeadSize bytes of the file from offset, as many as there
// are: libarchive reads the stream header from there whatever sizes the
// headers claim.
std::vector<std::uint8_t> Head(int fd, std::int64_t offset) {
  std::vector<std::uint8_t> head(kDictionaryHeadSize);
  std::size_t got = 0;
  while (fd >= 0 && offset >= 0 && got < head.size()) {
    const ssize_t n = ::pread(fd, head.data() + got, head.size() - got,
                              static_cast<off_t>(offset) + static_cast<off_t>(got));
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  head.resize(got);
  return head;
}

DecoderRefusal NotDecrypted(const std::string& method) {
  return {"暗号化された " + method +
              " のデータは展開しません (暗号化を解くのは無圧縮と deflate だけです)",
          false};
}

}  // namespace

DecoderGate::DecoderGate(const std::string& archive, const OpenedZip& directory)
    : fd_(::open(archive.c_str(), O_RDONLY | O_CLOEXEC)), directory_(directory) {}

DecoderGate::~DecoderGate() {
  if (fd_ >= 0) ::close(fd_);
}

DecoderRefusal DecoderGate::Check(const std::string& name, const char* description, bool encrypted,
                                  std::int64_t dataOffset) const {
  const std::string local = DescribedMethod(description);
  if (local == "aes") {
    // The method is in the directory's AES extra field. The names are
    // indexed once, at the first AES entry: most archives have none.
    if (byName_.empty())
      for (std::size_t i = 0; i < directory_.entries.size(); ++i)
        byName_.emplace(directory_.entries[i].name, i);
    const auto [first, last] = byName_.equal_range(name);
    if (first == last) return {"ローカルヘッダーと中央ディレクトリで名前が違います", true};
    for (auto it = first; it != last; ++it) {
      const std::uint16_t method = directory_.entries[it->second].method;
      if (method != kStored && method != kDeflate) return NotDecrypted(MethodName(method));
    }
    return {};
  }
  if (encrypted && local != "uncompressed" && local != "deflation") return NotDecrypted(local);
  if (local != "lzma" && local != "xz") return {};
  const DictionaryStream stream = local == "xz" ? DictionaryStream::xz : DictionaryStream::lzma;
  const auto size = DeclaredDictionary(stream, Head(fd_, dataOffset));
  if (!size) return {"ストリームのヘッダーが壊れています", true};
  if (*size > kDictionaryLimit)
    return {std::string(stream == DictionaryStream::xz ? "XZ" : "LZMA") + " のストリームが " +
            std::to_string(*size >> 20) +
            " MiB の辞書を求めています (このライブラリが展開できるのは " +
            std::to_string(kDictionaryLimit >> 20) + " MiB までです)"};
  return {};
}

}  // namespace zipcore
