// The number of workers, from TARN_JOBS or the cores.
#include "workers.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

unsigned workers_for(const char* setting, unsigned cores) {
  if (setting && *setting >= '0' && *setting <= '9') {  // strtoul would take a sign or blanks
    char* end = nullptr;
    unsigned long asked = std::strtoul(setting, &end, 10);
    if (*end == '\0' && asked > 0) return static_cast<unsigned>(std::min<unsigned long>(asked, max_workers));
  }
  return std::clamp(cores, 1u, max_workers);
}

unsigned configured_workers(size_t tasks) {
  unsigned workers = workers_for(std::getenv("TARN_JOBS"), std::thread::hardware_concurrency());
  return static_cast<unsigned>(std::clamp<size_t>(tasks, 1, workers));
}
