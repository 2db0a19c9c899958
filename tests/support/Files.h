// Whole files read and written in one go, and the files below a folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// The file's bytes; "" when it cannot be read (the comparison that follows
// then shows what was expected).
std::string ReadFile(const std::string& path);
// The same as bytes; throws std::runtime_error when the file cannot be read.
std::vector<std::uint8_t> ReadBytes(const std::string& path);

// Replaces the file's contents, making its folders; throws
// std::runtime_error when it cannot be written.
void WriteFile(const std::string& path, const std::string& content);
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& content);

// Every regular file and symbolic link below root, relative to it, sorted;
// none when root does not exist.
std::vector<std::string> ListFiles(const std::string& root);

}  // namespace testing_support
