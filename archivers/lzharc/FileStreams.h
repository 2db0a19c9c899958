// Codec streams over POSIX file descriptors: a source that reads a byte range
// of a file, a sink that appends to a file, and one that only counts.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "common/MemberReading.h"
#include "lzh/LzhCodec.h"

namespace lzh {

// An I/O failure with the file's name and the system's reason.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads [offset, offset + length) of fd with pread; the fd stays the caller's.
class FileRangeSource : public Source {
 public:
  FileRangeSource(int fd, std::uint64_t offset, std::uint64_t length, std::string name);
  std::size_t read(std::uint8_t* buf, std::size_t n) override;
  std::uint64_t consumed() const { return pos_; }

 private:
  int fd_;
  std::uint64_t offset_, length_, pos_ = 0;
  std::string name_;
};

// Reads a whole file from its current position to the end with read(2).
class FileSource : public Source {
 public:
  FileSource(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
  std::size_t read(std::uint8_t* buf, std::size_t n) override;

 private:
  int fd_;
  std::string name_;
};

// Writes to fd at its current position, retrying short writes.
class FileSink : public Sink {
 public:
  FileSink(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
  void write(const std::uint8_t* buf, std::size_t n) override;
  std::uint64_t written() const { return written_; }

 private:
  int fd_;
  std::string name_;
  std::uint64_t written_ = 0;
};

// Discards the data (testing an archive's CRCs).
class NullSink : public Sink {
 public:
  void write(const std::uint8_t*, std::size_t) override {}
};

// Hands the data to the calling thread's read walk (arc::MemberReading),
// or discards it when none runs (testing an archive's CRCs).
class ReadingSink : public Sink {
 public:
  void write(const std::uint8_t* buf, std::size_t n) override { arc::ReadingData(buf, n); }
};

// Writes all n bytes or throws FileError.
void WriteAll(int fd, const void* buf, std::size_t n, const std::string& name);
// Reads exactly n bytes at offset or throws FileError (also on a short file).
void ReadAt(int fd, void* buf, std::size_t n, std::uint64_t offset, const std::string& name);

}  // namespace lzh
