// The method families behind the MethodTable. Each decoder writes into the window
// until `originalSize` bytes are out and raises DataError for damaged data.
#pragma once

#include "BitReader.h"
#include "DecodeWindow.h"
#include "LzhCodec.h"

#include <cstdint>

namespace lzh {

// Parameters of the -lh4- to -lh7- family.
struct NewMethodParams {
  int dictBits;  // 12, 13, 15, 16
  int pbit;      // bits that give the number of offset codes: 4 or 5
  int np;        // largest number of offset codes a stream may declare
  // Matches may reach at most this far back; 0 means the whole 2^dictBits
  // ring (a format whose window is not a power of two sets its own limit).
  std::size_t maxDistance = 0;
};

// -lh0- and -lz4-: the data as it is.
DecodeResult decodeStored(Source& in, std::uint64_t packedSize, Sink& out,
                          std::uint64_t originalSize);
EncodeResult encodeStored(Source& in, Sink& out, std::uint64_t packedLimit);

// -lh1-: 4 KiB LZSS with an adaptive Huffman code.
void decodeLh1(BitReader& br, DecodeWindow& w, std::uint64_t originalSize);
inline constexpr int kLh1DictBits = 12;

// -lzs-: 2 KiB LZSS with fixed-width fields.
void decodeLzs(BitReader& br, DecodeWindow& w, std::uint64_t originalSize);
inline constexpr int kLzsDictBits = 11;
inline constexpr std::size_t kLzsStart = 2048 - 17;

// -lz5-: 4 KiB LZSS over a ring seeded with a fixed pattern.
void decodeLz5(BitReader& br, DecodeWindow& w, std::uint64_t originalSize);
void seedLz5Ring(std::uint8_t* ring);  // 4096 bytes
inline constexpr int kLz5DictBits = 12;
inline constexpr std::size_t kLz5Start = 4096 - 18;

// -lh4- to -lh7-: LZ77 with static Huffman codes per block.
void decodeNew(BitReader& br, DecodeWindow& w, std::uint64_t originalSize,
               const NewMethodParams& p);
EncodeResult encodeNew(Source& in, Sink& out, int effort, std::uint64_t packedLimit,
                       const NewMethodParams& p);

}  // namespace lzh
