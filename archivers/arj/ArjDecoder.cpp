#include "ArjDecoder.h"

#include <algorithm>
#include <vector>

#include "ArjCrc32.h"
#include "ArjMethods.h"
#include "common/Messages.h"
#include "lzh/DataError.h"

namespace arj {
namespace {

// Passes bytes on, with their CRC-32 and count.
class CheckingSink : public lzh::Sink {
 public:
  CheckingSink(lzh::Sink& out, const ByteCounter& counter) : out_(out), counter_(counter) {}
  void write(const std::uint8_t* buf, std::size_t n) override {
    crc_ = Crc32(crc_, buf, n);
    out_.write(buf, n);
    written_ += n;
    if (counter_ && !counter_(n)) throw Cancelled();
  }
  std::uint32_t crc() const { return crc_; }
  std::uint64_t written() const { return written_; }

  struct Cancelled {};

 private:
  lzh::Sink& out_;
  const ByteCounter& counter_;
  std::uint32_t crc_ = 0;
  std::uint64_t written_ = 0;
};

void CopyStored(lzh::Source& in, std::uint64_t size, CheckingSink& out) {
  std::vector<std::uint8_t> buf(1 << 16);
  while (size > 0) {
    const std::size_t n =
        in.read(buf.data(), static_cast<std::size_t>(std::min<std::uint64_t>(size, buf.size())));
    if (n == 0) throw lzh::DataError("無圧縮データがファイルの終わりより前で途切れています");
    out.write(buf.data(), n);
    size -= n;
  }
}

}  // namespace

std::string Unsupported(const Header& h) {
  if (h.flags & kGarbled) return arc::msg::Encrypted();
  if (h.HasData() && h.method > kMaxMethod)
    return "不明な圧縮方式です: " + std::to_string(h.method);
  return {};
}

DecodeOutcome DecodeData(const Header& h, lzh::Source& in, lzh::Sink& out,
                         const ByteCounter& counter) {
  if (std::string why = Unsupported(h); !why.empty()) return {false, false, why};
  CheckingSink sink(out, counter);
  try {
    if (h.method == 0) {
      if (h.packedSize != h.originalSize)
        return {false, false, "無圧縮のファイルの圧縮サイズと元のサイズが違います"};
      CopyStored(in, h.originalSize, sink);
    } else {
      lzh::BitReader br(in, h.packedSize);
      lzh::DecodeWindow w(sink, kRingBits);
      w.disableCrc16();
      if (h.method == 4)
        DecodeFastest(br, w, h.originalSize);
      else
        lzh::decodeNew(br, w, h.originalSize, kHuffmanParams);
      w.flush();
    }
  } catch (const lzh::DataError& e) {
    return {false, false, e.what()};
  } catch (const CheckingSink::Cancelled&) {
    return {false, true, arc::msg::Cancelled()};
  }
  if (sink.written() != h.originalSize) return {false, false, arc::msg::WrongLength()};
  if (sink.crc() != h.crc) return {false, false, arc::msg::CrcMismatch()};
  return {true, false, {}};
}

}  // namespace arj
