#include "BlockBatch.h"

#include <unistd.h>

#include <cerrno>
#include <stop_token>

#include "common/OrderedPool.h"

namespace tar32 {

bool WriteAll(int fd, const std::string& s, int& error) {
  for (std::size_t done = 0; done < s.size();) {
    const ssize_t n = ::write(fd, s.data() + done, s.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : EIO;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool CompressInOrder(int fd, const std::vector<std::string>& blocks, std::size_t count, int threads,
                     const BlockCodec& codec, int& error) {
  if (count == 0) return true;
  std::vector<std::string> packed(count);
  arc::OrderedPool pool(count, arc::OrderedPool::ThreadsFor(threads, count), count,
                        [&](std::size_t i, std::stop_token) { codec(blocks[i], packed[i]); });
  for (std::size_t i = 0; i < count; ++i) {
    if (!pool.Take(i)) return false;
    if (!WriteAll(fd, packed[i], error)) return false;
    std::string().swap(packed[i]);
  }
  return true;
}

}  // namespace tar32
