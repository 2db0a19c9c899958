#include "tests/support/GeneratedData.h"

#include <random>

namespace testing_support {

std::string LogText(std::size_t bytes, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s;
  const char* words[] = {"INFO", "WARN", "ERROR", "connect", "request", "timeout", "user", "id"};
  while (s.size() < bytes)
    s += "2026-11-" + std::to_string(1 + rng() % 28) + " 12:" + std::to_string(rng() % 60) + " " +
         words[rng() % 8] + " " + words[rng() % 8] + " n=" + std::to_string(rng() % 100000) + "\n";
  s.resize(bytes);
  return s;
}

std::string RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(rng());
  return s;
}

}  // namespace testing_support
