// What the benchmarks share: timing a run (wall and CPU) and the three 64 KiB
// page-aligned pattern buffers that the direct "limit" runs write from.
#pragma once

#include <sys/resource.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace bench {

struct Measure {
  double seconds = 0;
  double cpu_seconds = 0;
};

inline double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto secs = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return secs(usage.ru_utime) + secs(usage.ru_stime);
}

// Wall and CPU time of `body` (CPU of the whole process, worker threads included).
template <typename F>
Measure Time(F&& body) {
  const double cpu = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  body();
  const auto end = std::chrono::steady_clock::now();
  return {std::chrono::duration<double>(end - start).count(), CpuSeconds() - cpu};
}

// Zeros, ones and a byte pattern, 64 KiB each, page aligned (fit for O_DIRECT).
class Patterns {
 public:
  static constexpr size_t kSize = 65536;
  Patterns() {
    for (size_t b = 0; b < buffers_.size(); ++b) {
      buffers_[b] = static_cast<char*>(std::aligned_alloc(4096, kSize));
      std::memset(buffers_[b], b == 0 ? 0x00 : b == 1 ? 0xFF : 0x5A, kSize);
    }
  }
  ~Patterns() {
    for (char* b : buffers_) std::free(b);
  }
  Patterns(const Patterns&) = delete;
  Patterns& operator=(const Patterns&) = delete;

  const std::array<char*, 3>& buffers() const { return buffers_; }

 private:
  std::array<char*, 3> buffers_{};
};

}  // namespace bench
