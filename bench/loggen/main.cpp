// pelsok-loggen: sample daily log files for one kind and month.
#include "LogGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

int usage(const char* why) {
  std::fprintf(stderr,
               "pelsok-loggen: %s\n"
               "usage: pelsok-loggen --out DIR --kind KIND --year YYYY --month MM [--six] "
               "[--bytes-per-day N] [--seed S]\n",
               why);
  return 2;
}

bool number(const char* text, long long lo, long long hi, long long& out) {
  char* end = nullptr;
  out = std::strtoll(text, &end, 10);
  return end && *end == '\0' && end != text && out >= lo && out <= hi;
}

}  // namespace

int main(int argc, char** argv) {
  loggen::Options o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    long long n = 0;
    if (a == "--six") {
      o.sixDigit = true;
    } else if (a == "--out") {
      const char* v = value();
      if (!v) return usage("--out needs a folder");
      o.outDir = v;
    } else if (a == "--kind") {
      const char* v = value();
      if (!v || !*v) return usage("--kind needs a name");
      o.kind = v;
    } else if (a == "--year") {
      const char* v = value();
      if (!v || !number(v, 1900, 2999, n)) return usage("--year needs a year such as 2026");
      o.year = static_cast<int>(n);
    } else if (a == "--month") {
      const char* v = value();
      if (!v || !number(v, 1, 12, n)) return usage("--month needs 1 to 12");
      o.month = static_cast<int>(n);
    } else if (a == "--bytes-per-day") {
      const char* v = value();
      if (!v || !number(v, 1, 1LL << 40, n))
        return usage("--bytes-per-day needs a positive number");
      o.bytesPerDay = static_cast<std::uint64_t>(n);
    } else if (a == "--seed") {
      const char* v = value();
      if (!v || !number(v, 0, 1LL << 62, n)) return usage("--seed needs a number");
      o.seed = static_cast<std::uint64_t>(n);
    } else {
      return usage(("unknown argument " + a).c_str());
    }
  }
  if (o.outDir.empty() || o.kind.empty() || o.year == 0 || o.month == 0)
    return usage("--out, --kind, --year and --month are required");
  try {
    loggen::generateMonth(o);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pelsok-loggen: %s\n", e.what());
    return 1;
  }
  return 0;
}
