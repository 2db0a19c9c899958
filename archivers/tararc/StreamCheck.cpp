#include "StreamCheck.h"

#include <lzma.h>
#include <unistd.h>
#include <zstd.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace tararc {
namespace {

constexpr std::size_t kBlock = 1 << 16;

// Reads the next piece of fd at pos; -1 on a read error.
ssize_t ReadAt(int fd, std::uint64_t pos, std::vector<std::uint8_t>& buf) {
  for (;;) {
    ssize_t n = ::pread(fd, buf.data(), buf.size(), static_cast<off_t>(pos));
    if (n < 0 && errno == EINTR) continue;
    return n;
  }
}

struct LzmaEnd {
  void operator()(lzma_stream* s) const {
    lzma_end(s);
    delete s;
  }
};

}  // namespace

std::optional<std::string> CheckXzStream(int fd, std::uint64_t offset) {
  std::unique_ptr<lzma_stream, LzmaEnd> s(new lzma_stream(LZMA_STREAM_INIT));
  if (lzma_stream_decoder(s.get(), UINT64_MAX, LZMA_CONCATENATED) != LZMA_OK)
    return std::string("xz の伸長を始められません");
  std::vector<std::uint8_t> in(kBlock), out(kBlock);
  std::uint64_t pos = offset;
  lzma_action action = LZMA_RUN;
  for (;;) {
    if (s->avail_in == 0 && action == LZMA_RUN) {
      const ssize_t n = ReadAt(fd, pos, in);
      if (n < 0) return std::string("書庫を読めません");
      pos += static_cast<std::uint64_t>(n);
      s->next_in = in.data();
      s->avail_in = static_cast<std::size_t>(n);
      if (n == 0) action = LZMA_FINISH;
    }
    s->next_out = out.data();
    s->avail_out = out.size();
    const lzma_ret ret = lzma_code(s.get(), action);
    if (ret == LZMA_STREAM_END) return std::nullopt;
    if (ret == LZMA_OK) continue;
    switch (ret) {
      case LZMA_BUF_ERROR:
        return std::string("xz ストリームが途中で切れています");
      case LZMA_DATA_ERROR:
      case LZMA_FORMAT_ERROR:
        return std::string("xz ストリームが壊れています");
      case LZMA_MEM_ERROR:
        return std::string("メモリが足りません");
      default:
        return std::string("xz ストリームが壊れています (") + std::to_string(ret) + ")";
    }
  }
}

std::optional<std::string> CheckZstdStream(int fd, std::uint64_t offset) {
  std::unique_ptr<ZSTD_DCtx, decltype(&ZSTD_freeDCtx)> d(ZSTD_createDCtx(), &ZSTD_freeDCtx);
  if (!d) return std::string("メモリが足りません");
  std::vector<std::uint8_t> in(ZSTD_DStreamInSize()), out(ZSTD_DStreamOutSize());
  std::uint64_t pos = offset;
  std::size_t pending = 0;  // what the last call still wanted: 0 between frames
  bool any = false;
  for (;;) {
    const ssize_t n = ReadAt(fd, pos, in);
    if (n < 0) return std::string("書庫を読めません");
    if (n == 0) break;
    pos += static_cast<std::uint64_t>(n);
    any = true;
    ZSTD_inBuffer input{in.data(), static_cast<std::size_t>(n), 0};
    while (input.pos < input.size) {
      ZSTD_outBuffer output{out.data(), out.size(), 0};
      pending = ZSTD_decompressStream(d.get(), &output, &input);
      if (ZSTD_isError(pending))
        return std::string("zstd ストリームが壊れています (") + ZSTD_getErrorName(pending) + ")";
    }
    // Output the decoder still holds is drained on the next call.
    for (;;) {
      ZSTD_outBuffer output{out.data(), out.size(), 0};
      ZSTD_inBuffer none{in.data(), 0, 0};
      if (pending == 0) break;
      pending = ZSTD_decompressStream(d.get(), &output, &none);
      if (ZSTD_isError(pending))
        return std::string("zstd ストリームが壊れています (") + ZSTD_getErrorName(pending) + ")";
      if (output.pos == 0) break;
    }
  }
  if (!any) return std::string("zstd ストリームが空です");
  if (pending != 0) return std::string("zstd ストリームが途中で切れています");
  return std::nullopt;
}

}  // namespace tararc
