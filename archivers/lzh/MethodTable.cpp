#include "MethodTable.h"

#include "DataError.h"

#include <stdexcept>
#include <string>

namespace lzh {
namespace {

constexpr MethodEntry kMethods[] = {
    {"-lh0-", Family::stored, true, {0, 0, 0, 0}},
    {"-lz4-", Family::stored, false, {0, 0, 0, 0}},
    {"-lh1-", Family::lh1, false, {kLh1DictBits, 0, 0, 0}},
    {"-lzs-", Family::lzs, false, {kLzsDictBits, 0, 0, 0}},
    {"-lz5-", Family::lz5, false, {kLz5DictBits, 0, 0, 0}},
    {"-lh4-", Family::lhNew, false, {12, 4, 14, 0}},
    {"-lh5-", Family::lhNew, true, {13, 4, 14, 0}},
    {"-lh6-", Family::lhNew, true, {15, 5, 16, 0}},
    {"-lh7-", Family::lhNew, true, {16, 5, 17, 0}},
};

}  // namespace

const MethodEntry* findMethod(std::string_view id) {
  for (const auto& m : kMethods)
    if (m.id == id) return &m;
  return nullptr;
}

bool canDecode(std::string_view method) { return findMethod(method) != nullptr; }

bool canEncode(std::string_view method) {
  const MethodEntry* m = findMethod(method);
  return m && m->encodes;
}

EncodeResult encode(std::string_view method, Source& in, Sink& out, int effort,
                    std::uint64_t packedLimit) {
  const MethodEntry* m = findMethod(method);
  if (!m || !m->encodes)
    throw std::invalid_argument("圧縮方式 " + std::string(method) + " では圧縮できません");
  if (m->family == Family::stored) return encodeStored(in, out, packedLimit);
  return encodeNew(in, out, effort, packedLimit, m->params);
}

DecodeResult decode(std::string_view method, Source& in, std::uint64_t packedSize, Sink& out,
                    std::uint64_t originalSize) {
  const MethodEntry* m = findMethod(method);
  if (!m) {
    DecodeResult r;
    r.status = Status::kFailed;
    r.message = "不明な圧縮方式です: " + std::string(method);
    return r;
  }
  if (m->family == Family::stored) return decodeStored(in, packedSize, out, originalSize);

  BitReader br(in, packedSize);
  std::uint8_t fill = 0x20;
  std::size_t start = 0;
  if (m->family == Family::lzs) start = kLzsStart;
  if (m->family == Family::lz5) start = kLz5Start;
  // The newer methods refer back by distance alone, so their ring may hold twice the
  // dictionary: the spare half lets matches be copied in whole words.
  const bool byDistance = m->family == Family::lhNew;
  const std::size_t dict = std::size_t{1} << m->params.dictBits;
  DecodeWindow w(out, m->params.dictBits + (byDistance ? 1 : 0), fill, start,
                 byDistance ? dict : 0);
  if (m->family == Family::lz5) seedLz5Ring(w.ring());
  DecodeResult r;
  try {
    switch (m->family) {
      case Family::lh1:
        decodeLh1(br, w, originalSize);
        break;
      case Family::lzs:
        decodeLzs(br, w, originalSize);
        break;
      case Family::lz5:
        decodeLz5(br, w, originalSize);
        break;
      case Family::lhNew:
        decodeNew(br, w, originalSize, m->params);
        break;
      case Family::stored:
        break;
    }
  } catch (const DataError& e) {
    r.status = Status::kFailed;
    r.message = e.what();
  }
  w.flush();
  r.written = w.written();
  r.crc = w.crc();
  return r;
}

}  // namespace lzh
