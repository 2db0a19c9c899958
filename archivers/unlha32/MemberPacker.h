// Packs one file as an archive member: a level 2 header, then the compressed
// data, or the plain data (-lh0-) when compressing would not make it smaller.
// Runs on any thread: it touches nothing but the file and the buffer given.
#pragma once

#include <atomic>
#include <cstdint>
#include <stop_token>
#include <string>

#include "FileGatherer.h"
#include "MemberBuffer.h"

namespace unlha {

struct PackedFile {
  std::string method;
  std::uint64_t originalSize = 0;
  std::uint64_t packedSize = 0;
};

struct PackSettings {
  std::string method;
  int effort = 0;
  bool cp932Names = false;
};

// What a packing run shares with the thread that watches it.
struct PackSignals {
  std::stop_token stop;                   // requested: the next read gives up with kCancelled
  std::atomic<std::uint64_t>& bytesRead;  // source bytes read so far, all members together
};

// Appends the member to out. Throws arc::Failure: kCannotRead when the
// source cannot be read (vanished, unreadable, changed size class),
// kCannotWrite when the member cannot be stored, kCancelled once
// signals.stop is requested.
PackedFile PackMember(const SourceFile& file, const PackSettings& settings, MemberBuffer& out,
                      const PackSignals& signals);

}  // namespace unlha
