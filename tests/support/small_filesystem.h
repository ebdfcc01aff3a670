#pragma once
// Test helper: a disk of a few pages that every file on it shares, as a real disk is
// (the small-disk runner limits each file on its own). It is a tmpfs mounted in a mount
// namespace of a child process's own, so that nothing outside the child sees it. Where
// the tests may not make a namespace or mount (no privilege), the test skips.
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/child.h"
#include "support/run_program.h"

namespace mttest {

// Exit status of a child that could not make the small filesystem; no program of the
// suite ends with it.
inline constexpr int kNoSmallFilesystem = 123;

namespace detail {

[[noreturn]] inline void no_small_filesystem(const std::string& why) {
  const std::string line = "mttest: " + why + ": " + std::strerror(errno) + "\n";
  [[maybe_unused]] const ssize_t ignored = ::write(2, line.data(), line.size());
  ::_exit(kNoSmallFilesystem);
}

inline void write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
}

}  // namespace detail

// Runs a program of the suite as run_program does, while a tmpfs of `bytes` (whole
// pages) is mounted on the empty directory `mountpoint`. The tmpfs goes with the run:
// the files on it are copied first into `copy_to` (made if missing). nullopt when the
// child could not make the tmpfs; the reason is in skip_reason.
inline std::optional<ChildResult> run_program_on_small_filesystem(
    const std::string& exe, const std::string& stdin_text, const std::filesystem::path& cwd,
    const std::filesystem::path& mountpoint, std::uint64_t bytes,
    const std::filesystem::path& copy_to, std::string& skip_reason) {
  const ChildResult r = run_child([&] {
    if (::unshare(CLONE_NEWNS) != 0) detail::no_small_filesystem("no mount namespace");
    // Mounts made here must not reach the namespace the tests run in.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
      detail::no_small_filesystem("cannot make the mounts private");
    const std::string size = "size=" + std::to_string(bytes);
    if (::mount("tmpfs", mountpoint.c_str(), "tmpfs", 0, size.c_str()) != 0)
      detail::no_small_filesystem("cannot mount a tmpfs on " + mountpoint.string());
    const RunResult run = run_program(exe, {}, stdin_text, cwd.string());
    std::filesystem::create_directories(copy_to);
    for (const auto& entry : std::filesystem::directory_iterator(mountpoint))
      std::filesystem::copy_file(entry.path(), copy_to / entry.path().filename());
    detail::write_all(1, run.out);
    detail::write_all(2, run.err);
    ::_exit(run.status);
  });
  if (r.status != kNoSmallFilesystem) return r;
  skip_reason = r.err;
  return std::nullopt;
}

}  // namespace mttest
