#pragma once
// Resident-size figures of this process, read from /proc/self/status.

#include <cstdio>
#include <cstring>

namespace chain::bench {

// The value in kB of a line such as "VmHWM:  12345 kB"; -1 when absent.
inline long StatusKb(const char* key) {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (f == nullptr) return -1;
  char line[256];
  long kb = -1;
  const std::size_t n = std::strlen(key);
  while (std::fgets(line, sizeof line, f) != nullptr) {
    if (std::strncmp(line, key, n) == 0 && line[n] == ':') {
      std::sscanf(line + n + 1, "%ld", &kb);
      break;
    }
  }
  std::fclose(f);
  return kb;
}

// One line per checkpoint: passes done, peak resident size, current resident size.
inline void PrintMemory(long passes) {
  std::printf("passes=%ld peak_rss_kb=%ld rss_kb=%ld\n", passes, StatusKb("VmHWM"),
              StatusKb("VmRSS"));
  std::fflush(stdout);
}

}  // namespace chain::bench
