// The fuzz programs have no one to wait for. Pumped sleeps (the pauses that
// pace speech for a listener, DelayMs) return at once here, so that an input
// is judged by the work it causes and not by the time a voice would take to
// say it. Defined in the program, this nanosleep stands in for the C
// library's in the fuzzers and their regression test only.
#include <time.h>

extern "C" int nanosleep(const struct timespec*, struct timespec* remaining) {
  if (remaining) {
    remaining->tv_sec = 0;
    remaining->tv_nsec = 0;
  }
  return 0;
}
