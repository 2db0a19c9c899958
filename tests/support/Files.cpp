#include "tests/support/Files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {

void Write(const std::string& path, const char* data, std::size_t size) {
  const fs::path parent = fs::path(path).parent_path();
  if (!parent.empty()) fs::create_directories(parent);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data, static_cast<std::streamsize>(size));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void WriteFile(const std::string& path, const std::string& content) {
  Write(path, content.data(), content.size());
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& content) {
  Write(path, reinterpret_cast<const char*>(content.data()), content.size());
}

std::vector<std::string> ListFiles(const std::string& root) {
  std::vector<std::string> files;
  if (!fs::exists(root)) return files;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file() || e.is_symlink())
      files.push_back(fs::relative(e.path(), root).string());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace testing_support
