#include "console/clock.h"

#include <sys/time.h>

#include <ctime>

namespace morventa {

LocalDateTime LocalNow() {
  timeval tv;
  gettimeofday(&tv, nullptr);
  std::tm tm;
  const time_t secs = tv.tv_sec;
  localtime_r(&secs, &tm);
  const int ms = static_cast<int>(tv.tv_usec / 1000);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday, tm.tm_hour,
          tm.tm_min, tm.tm_sec, ms / 10, ms};
}

unsigned UtcMillisecondsOfDay() {
  timeval tv;
  gettimeofday(&tv, nullptr);
  return static_cast<unsigned>((tv.tv_sec % 86400) * 1000 + tv.tv_usec / 1000);
}

}  // namespace morventa
