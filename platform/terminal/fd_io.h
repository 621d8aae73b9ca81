// Writing a whole buffer to a descriptor, across short writes and signals.
#pragma once

#include <errno.h>
#include <unistd.h>

#include <string>

namespace morventa {

inline bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace morventa
