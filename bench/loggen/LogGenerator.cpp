#include "LogGenerator.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace loggen {
namespace {

// A small fixed generator, so the files are the same on every platform.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 0x1234567) {}
  std::uint64_t next() {
    std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }
  // Small values far more often than large ones.
  unsigned skewed(unsigned n) { return below(below(n) + 1); }

 private:
  std::uint64_t s_;
};

const char* const kHosts[] = {"web01",   "web02",      "web03",   "app-a1",  "app-a2",
                              "db-main", "db-replica", "batch01", "gw-east", "gw-west"};
const char* const kServices[] = {"OrderService", "AuthFilter",   "ReportJob",     "InventorySync",
                                 "MailQueue",    "SessionStore", "PaymentGateway"};
const char* const kPaths[] = {"/",
                              "/index.html",
                              "/api/v1/orders",
                              "/api/v1/orders/{id}",
                              "/api/v1/users/login",
                              "/api/v1/users/{id}/profile",
                              "/api/v1/inventory?warehouse={n}",
                              "/static/js/app.{n}.js",
                              "/static/css/site.css",
                              "/health",
                              "/reports/monthly?year=2026&month={n}",
                              "/api/v1/search?q=item{n}&page={n}",
                              "/favicon.ico"};
const char* const kMethods[] = {"GET", "GET", "GET", "GET", "POST", "POST", "PUT", "DELETE"};
const char* const kAgents[] = {
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/131.0 "
    "Safari/537.36",
    "Mozilla/5.0 (Macintosh; Intel Mac OS X 14_6) AppleWebKit/605.1.15 (KHTML, like Gecko) "
    "Version/18.1 Safari/605.1.15",
    "curl/8.5.0", "Pelsok-Monitor/1.2",
    "Mozilla/5.0 (X11; Linux x86_64; rv:133.0) Gecko/20100101 Firefox/133.0"};
const char* const kMessages[] = {
    "request completed in {n} ms",
    "cache miss for key order:{id}, loading from database",
    "connection pool usage {n}/64",
    "user {id} logged in from {ip}",
    "retrying upstream call (attempt {n} of 3)",
    "slow query detected: SELECT * FROM orders WHERE customer_id = {n} took {n} ms",
    "scheduled job finished, {n} records processed",
    "session {id} expired after {n} s of inactivity",
    "payment authorised: amount={n}.{n} JPY ref={id}",
    "disk usage on /var at {n}%",
};
const char* const kStack[] = {
    "\tat com.corvane.shop.OrderService.place(OrderService.java:{n})",
    "\tat com.corvane.shop.web.OrderController.post(OrderController.java:{n})",
    "\tat java.base/java.lang.Thread.run(Thread.java:1583)"};

class DayWriter {
 public:
  DayWriter(const Options& o, int day, Rng& rng) : o_(o), day_(day), rng_(rng) {}

  std::string build() {
    std::string out;
    out.reserve(o_.bytesPerDay + 512);
    double seconds = 0;
    const double step = 86400.0 / (static_cast<double>(o_.bytesPerDay) / 150.0 + 1);
    while (out.size() < o_.bytesPerDay) {
      seconds += step * (0.2 + 1.6 * static_cast<double>(rng_.below(1000)) / 1000.0);
      if (seconds >= 86399.999) seconds = 86399.999;
      line(out, seconds);
    }
    out.resize(o_.bytesPerDay);
    if (!out.empty()) out.back() = '\n';
    return out;
  }

 private:
  std::string fill(const char* pattern) {
    std::string s;
    char buf[64];
    for (const char* p = pattern; *p; ++p) {
      if (*p == '{') {
        const char* e = p;
        while (*e && *e != '}') ++e;
        std::string what(p + 1, e);
        if (what == "n")
          std::snprintf(buf, sizeof buf, "%u", rng_.skewed(5000));
        else if (what == "id")
          std::snprintf(buf, sizeof buf, "%08llx",
                        static_cast<unsigned long long>(rng_.next() & 0xFFFFFFFF));
        else
          std::snprintf(buf, sizeof buf, "%s", ip().c_str());
        s += buf;
        p = *e ? e : e - 1;
      } else {
        s += *p;
      }
    }
    return s;
  }
  std::string ip() {
    char buf[32];
    unsigned client = rng_.skewed(400);
    std::snprintf(buf, sizeof buf, "10.%u.%u.%u", 20 + client % 7, client / 7 % 250,
                  1 + client % 250);
    return buf;
  }
  void line(std::string& out, double seconds) {
    auto t = static_cast<unsigned>(seconds * 1000);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02u:%02u:%02u.%03u", o_.year, o_.month,
                  day_, t / 3600000, t / 60000 % 60, t / 1000 % 60, t % 1000);
    char buf[640];
    unsigned pick = rng_.below(100);
    if (pick < 55) {
      unsigned status =
          rng_.below(100) < 90 ? 200 : (rng_.below(2) ? 404 : (rng_.below(4) ? 302 : 500));
      std::snprintf(buf, sizeof buf, "%s %s INFO  [http-%u] %s %s %s %u %u %u ms \"%s\"\n", stamp,
                    kHosts[rng_.below(4)], rng_.below(32), ip().c_str(), kMethods[rng_.below(8)],
                    fill(kPaths[rng_.skewed(13)]).c_str(), status, rng_.skewed(60000),
                    rng_.skewed(900), kAgents[rng_.skewed(5)]);
    } else {
      static const char* const kLevels[] = {"INFO ", "DEBUG", "WARN ", "ERROR"};
      unsigned level = pick < 80 ? 0 : pick < 92 ? 1 : pick < 98 ? 2 : 3;
      std::snprintf(buf, sizeof buf, "%s %s %s [%s] %s\n", stamp, kHosts[rng_.below(10)],
                    kLevels[level], kServices[rng_.skewed(7)],
                    fill(kMessages[rng_.skewed(10)]).c_str());
      if (level == 3) {
        out += buf;
        std::snprintf(buf, sizeof buf, "java.lang.IllegalStateException: order %s is locked\n",
                      fill("{id}").c_str());
        out += buf;
        for (const char* frame : kStack) out += fill(frame) + "\n";
        return;
      }
    }
    out += buf;
  }

  const Options& o_;
  int day_;
  Rng& rng_;
};

}  // namespace

int daysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

std::string fileName(const Options& o, int day) {
  char buf[32];
  if (o.sixDigit)
    std::snprintf(buf, sizeof buf, "%02d%02d%02d.log", o.year % 100, o.month, day);
  else
    std::snprintf(buf, sizeof buf, "%02d%02d.log", o.month, day);
  return o.kind + buf;
}

void generateMonth(const Options& o) {
  std::filesystem::create_directories(o.outDir);
  for (int day = 1; day <= daysInMonth(o.year, o.month); ++day) {
    Rng rng(o.seed * 1000 + static_cast<std::uint64_t>(day));
    std::string text = DayWriter(o, day, rng).build();
    std::string path = (std::filesystem::path(o.outDir) / fileName(o, day)).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot create " + path);
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) throw std::runtime_error("cannot write " + path);
  }
}

}  // namespace loggen
