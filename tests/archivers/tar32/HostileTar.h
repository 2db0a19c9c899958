// Builds ustar archives byte by byte with whatever a hostile writer would
// put in them (".." names, absolute names, links pointing out, devices,
// set-id bits, pax headers with whatever records), which no well-behaved
// tool writes.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tartest {

struct RawMember {
  RawMember(std::string n, char t = '0', std::string d = {}, std::string l = {},
            std::uint32_t m = 0644, std::int64_t time = 1700000000)
      : name(std::move(n)),
        type(t),
        data(std::move(d)),
        linkName(std::move(l)),
        mode(m),
        mtime(time) {}
  std::string name;
  char type;  // '0' file, '1' hard link, '2' symlink, '3' char device, '5' folder, '6' FIFO
  std::string data;
  std::string linkName;
  std::uint32_t mode;
  std::int64_t mtime;
  std::string pax;  // pax records ("17 path=a/b/c.d\n"...): an 'x' header goes before
};

// One pax record, its length counted in: "<len> key=value\n".
std::string PaxRecord(const std::string& key, const std::string& value);

// The whole archive: one 512-byte header and padded data per member, then
// two zero blocks.
std::string BuildTar(const std::vector<RawMember>& members);

}  // namespace tartest
