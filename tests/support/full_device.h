#pragma once
// Test helper: /dev/full, the device that refuses every write as a full disk does.
// Some containers and sandboxes do not have it; the tests that need it skip there.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace mttest {

inline constexpr const char* kFullDevice = "/dev/full";
inline constexpr const char* kNoFullDevice = "no /dev/full that refuses writes as a full disk";

// True when /dev/full opens for writing and refuses a write with "no space left".
inline bool have_full_device() {
  const int fd = ::open(kFullDevice, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const char byte = 0;
  const bool full = ::write(fd, &byte, 1) < 0 && errno == ENOSPC;
  ::close(fd);
  return full;
}

}  // namespace mttest
