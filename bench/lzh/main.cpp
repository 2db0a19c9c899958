// bench_lzh: times our LZH codec on a file, for bench/lzh/run.sh.
//   bench_lzh encode METHOD EFFORT IN OUT      compress IN into the raw stream OUT
//   bench_lzh decode METHOD SIZE IN            decompress the raw stream IN (SIZE bytes out) and
//   discard bench_lzh decode-archive ARCHIVE           decompress the first member of an LZH
//   archive and discard
// Each prints one line "<bytes in> <bytes out> <seconds>" (best of `--repeat N` runs, default 1).
#include "LzhCodec.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class FileSource : public lzh::Source {
 public:
  explicit FileSource(const char* path, long offset = 0) : f_(std::fopen(path, "rb")) {
    if (!f_) throw std::runtime_error(std::string("cannot open ") + path);
    std::fseek(f_, offset, SEEK_SET);
    std::setvbuf(f_, nullptr, _IOFBF, 1 << 16);
  }
  ~FileSource() override { std::fclose(f_); }
  std::size_t read(std::uint8_t* buf, std::size_t n) override {
    std::size_t k = std::fread(buf, 1, n, f_);
    if (k == 0 && std::ferror(f_)) throw std::runtime_error("read error");
    return k;
  }

 private:
  std::FILE* f_;
};

class FileSink : public lzh::Sink {
 public:
  explicit FileSink(const char* path) : f_(std::fopen(path, "wb")) {
    if (!f_) throw std::runtime_error(std::string("cannot create ") + path);
  }
  ~FileSink() override { std::fclose(f_); }
  void write(const std::uint8_t* buf, std::size_t n) override {
    if (std::fwrite(buf, 1, n, f_) != n) throw std::runtime_error("write error");
  }

 private:
  std::FILE* f_;
};

class NullSink : public lzh::Sink {
 public:
  void write(const std::uint8_t*, std::size_t n) override { bytes += n; }
  std::uint64_t bytes = 0;
};

double now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// The first member of an archive with header level 0, 1 or 2: method, sizes, data offset.
struct Member {
  std::string method;
  std::uint64_t packed = 0, original = 0;
  long offset = 0;
};

Member firstMember(const char* path) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) throw std::runtime_error(std::string("cannot open ") + path);
  std::vector<std::uint8_t> h(4096);
  std::size_t n = std::fread(h.data(), 1, h.size(), f);
  std::fclose(f);
  if (n < 26) throw std::runtime_error("not an LZH archive");
  auto u16 = [&](std::size_t at) { return static_cast<std::uint32_t>(h[at] | (h[at + 1] << 8)); };
  auto u32 = [&](std::size_t at) { return u16(at) | (u16(at + 2) << 16); };
  Member m;
  m.method.assign(reinterpret_cast<const char*>(&h[2]), 5);
  m.packed = u32(7);
  m.original = u32(11);
  int level = h[20];
  if (level == 2) {
    std::size_t at = 24, next = u16(24);
    at += 2;
    while (next && at + next <= n) {
      std::size_t following = u16(at + next - 2);
      at += next;
      next = following;
    }
    m.offset = static_cast<long>(std::max<std::size_t>(u16(0), at));
  } else {
    std::size_t at = h[0] + 2u;
    if (level == 1) {
      std::size_t next = u16(at - 2);
      while (next && at + next <= n) {
        m.packed -= next;
        at += next;
        next = u16(at - 2);
      }
    }
    m.offset = static_cast<long>(at);
  }
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  int repeat = 1;
  for (std::size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == "--repeat") {
      repeat = std::max(1, std::atoi(args[i + 1].c_str()));
      args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
      break;
    }
  try {
    double best = 1e30;
    std::uint64_t in = 0, out = 0;
    for (int r = 0; r < repeat; ++r) {
      double t0 = now();
      if (args.size() == 5 && args[0] == "encode") {
        FileSource src(args[3].c_str());
        FileSink sink(args[4].c_str());
        lzh::EncodeResult e = lzh::encode(args[1], src, sink, std::atoi(args[2].c_str()));
        in = e.originalSize;
        out = e.packedSize;
      } else if (args.size() == 4 && args[0] == "decode") {
        FileSource src(args[3].c_str());
        NullSink sink;
        lzh::DecodeResult d = lzh::decode(args[1], src, UINT64_MAX, sink,
                                          std::strtoull(args[2].c_str(), nullptr, 10));
        if (d.status != lzh::Status::kOk) throw std::runtime_error(d.message);
        out = d.written;
      } else if (args.size() == 2 && args[0] == "decode-archive") {
        Member m = firstMember(args[1].c_str());
        FileSource src(args[1].c_str(), m.offset);
        NullSink sink;
        lzh::DecodeResult d = lzh::decode(m.method, src, m.packed, sink, m.original);
        if (d.status != lzh::Status::kOk) throw std::runtime_error(d.message);
        in = m.packed;
        out = d.written;
      } else {
        std::fprintf(stderr,
                     "usage: bench_lzh [--repeat N] encode METHOD EFFORT IN OUT | decode METHOD "
                     "SIZE IN | decode-archive ARCHIVE\n");
        return 2;
      }
      best = std::min(best, now() - t0);
    }
    std::printf("%llu %llu %.4f\n", static_cast<unsigned long long>(in),
                static_cast<unsigned long long>(out), best);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_lzh: %s\n", e.what());
    return 1;
  }
  return 0;
}
