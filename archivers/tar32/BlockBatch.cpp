#include "BlockBatch.h"

#include <unistd.h>

#include <cerrno>
#include <stop_token>
#include <utility>

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

BatchPipeline::BatchPipeline(int fd, int threads, BlockCodec codec)
    : fd_(fd), threads_(threads), codec_(std::move(codec)) {}

BatchPipeline::~BatchPipeline() {
  if (worker_.joinable()) worker_.join();
}

bool BatchPipeline::Wait(int& error) {
  if (worker_.joinable()) worker_.join();
  if (thrown_) std::rethrow_exception(std::exchange(thrown_, nullptr));
  if (!ok_) {
    error = error_;
    return false;
  }
  return true;
}

bool BatchPipeline::Submit(std::vector<std::string>& blocks, std::size_t count, int& error) {
  if (!Wait(error)) return false;
  inFlight_.resize(blocks.size());
  inFlight_.swap(blocks);
  // The buffers of the batch before come back empty, their room kept.
  for (auto& b : blocks) b.clear();
  if (count == 0) return true;
  worker_ = std::thread([this, count] {
    try {
      ok_ = CompressInOrder(fd_, inFlight_, count, threads_, codec_, error_);
    } catch (...) {
      thrown_ = std::current_exception();
    }
  });
  return true;
}

}  // namespace tar32
