// The option set of one archive operation. Switch values are signed 8-bit,
// -1 meaning not given; string options use NoValue for not given.
#pragma once

#include <cstdint>
#include <string>

#include "archivecore/NoValue.h"
#include "platform/Component.h"
#include "platform/StringList.h"

namespace pelsok {

enum TPackFilter : std::uint8_t { pfArchiver = 0, pfComponent = 1 };
enum TResFileUse : std::uint8_t { ruOnPack = 0, ruOnUnpack = 1, ruOnRemoveItem = 2 };

// Set of TResFileUse, bit n for member n.
class TResFileUsage {
 public:
  constexpr TResFileUsage() = default;
  constexpr TResFileUsage(std::initializer_list<TResFileUse> members) {
    for (auto m : members) bits_ |= static_cast<std::uint8_t>(1u << m);
  }
  constexpr bool Contains(TResFileUse m) const { return (bits_ >> m) & 1u; }
  constexpr void Include(TResFileUse m) { bits_ |= static_cast<std::uint8_t>(1u << m); }
  constexpr void Exclude(TResFileUse m) { bits_ &= static_cast<std::uint8_t>(~(1u << m)); }
  constexpr std::uint8_t Bits() const { return bits_; }
  constexpr bool operator==(const TResFileUsage&) const = default;

 private:
  std::uint8_t bits_ = 0;
};

using TSwitch = std::int8_t;

class TArchiverOptions : public platform::TPersistent {
 public:
  TArchiverOptions();
  TArchiverOptions(const TArchiverOptions&) = delete;
  TArchiverOptions& operator=(const TArchiverOptions&) = delete;

  // Copies every option of a TArchiverOptions source (jx line by line);
  // any other source raises the assignment error.
  void Assign(const platform::TPersistent& source) override;
  std::string ClassName() const override { return "TArchiverOptions"; }

  // In declaration order; the one- to three-letter names are the archivers' switches.
  // NOLINTBEGIN(readability-identifier-naming)
  TSwitch a = -1, c = -1, e = -1, f = -1, h = -1, i = -1, l = -1, m = -1, n = -1, o = -1, p = -1,
          r = -1, s = -1, t = -1, u = -1;
  std::string w = NoValue;
  TSwitch x = -1, y = -1, z = -1, jc = -1, jd = -1, je = -1, jf = -1, jh = -1, ji = -1, jm = -1,
          jn = -1;
  std::string jo = NoValue, job = NoValue;
  TSwitch jp = -1, jr = -1, jss = -1, jw = -1;
  platform::TStringList jx;
  TSwitch jyc = -1, jyd = -1, jyk = -1, jyn = -1, jyo = -1;
  std::string jz = NoValue;
  TSwitch ga = -1, gd = -1, ge = -1, gf = -1, gj = -1, gm = -1, gn = -1, go = -1, gp = -1;
  std::string gr = NoValue;
  TSwitch gs = -1, gu = -1, gw = -1;
  // NOLINTEND(readability-identifier-naming)
  std::string UserOptions;
  std::string UserFileList;
  TPackFilter PackFilter = pfArchiver;
  std::string ResFileName;
  TResFileUsage ResFileUsage{ruOnPack, ruOnUnpack, ruOnRemoveItem};
};

}  // namespace pelsok
