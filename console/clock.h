// The local date and time as the console reports them.
#pragma once

namespace morventa {

struct LocalDateTime {
  int year, month, day;
  int weekday;  // 0 = Sunday
  int hour, minute, second;
  int hundredths;  // milliseconds / 10
  int millisecond;
};

LocalDateTime LocalNow();
// Milliseconds since midnight by the UTC clock.
unsigned UtcMillisecondsOfDay();

}  // namespace morventa
