#pragma once
// Shared by the fuzz targets. A target runs many inputs in one process, so an end of
// the program (error report, failure end) becomes an exception that the target
// catches, after which every unit is closed. Files the routines read are written to
// one scratch file per target in a scratch directory.
// Standard input is empty: a routine that asks a question meets end of input.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "common/end.h"
#include "common/io/units.h"

namespace fuzz {

// Thrown instead of exiting.
struct ProgramEnded {
  int status = 0;
};

[[noreturn]] inline void throw_end(int status) { throw ProgramEnded{status}; }

// Made at first use below $MT_FUZZ_SCRATCH (scripts/fuzz removes that) or /tmp, and
// removed at a normal exit (the string outlives that exit handler).
inline const std::string& scratch_dir() {
  static const std::string* dir = [] {
    const char* base = std::getenv("MT_FUZZ_SCRATCH");
    auto* d = new std::string(std::string(base != nullptr && *base != '\0' ? base : "/tmp") +
                              "/mtfuzz-" + std::to_string(::getpid()));
    ::mkdir(d->c_str(), 0700);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(scratch_dir(), ignored);
    });
    return d;
  }();
  return *dir;
}

// Once per process: the interceptor, the program name and empty standard input.
inline void setup() {
  static const bool done = [] {
    io::set_program_name("fuzz");
    io::set_end_interceptor(throw_end);
    const int null_in = ::open("/dev/null", O_RDONLY);
    if (null_in >= 0) {
      ::dup2(null_in, STDIN_FILENO);
      ::close(null_in);
    }
    return true;
  }();
  (void)done;
}

// Held for the run of one input: the scratch directory is the working directory
// meanwhile (the routines open files by plain names); the fuzzer's own is restored
// afterwards, so that its relative paths keep working.
class Scratch {
 public:
  Scratch() : back_(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    setup();
    if (back_ < 0 || ::chdir(scratch_dir().c_str()) != 0) std::abort();
  }
  ~Scratch() {
    if (::fchdir(back_) != 0) std::abort();
    ::close(back_);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

 private:
  int back_;
};

// Writes bytes to the file `name` in the scratch directory (replacing it); returns
// the name. One name per target is reused for every input.
inline std::string write_file(std::string_view name, std::span<const std::uint8_t> bytes) {
  const std::string path(name);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  if (std::fclose(f) != 0) std::abort();
  return path;
}

// Runs one input's calls; an end of the program is caught, and every unit is closed
// afterwards so that the next input starts from no open file.
template <class Body>
void guarded(Body&& body) {
  try {
    body();
  } catch (const ProgramEnded&) {
  }
  io::close_all();
}

// The input split at its first line end: the first line and the rest.
struct Split {
  std::string_view first;
  std::span<const std::uint8_t> rest;
};

inline Split split_first_line(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> all(data, size);
  std::size_t n = 0;
  while (n < size && all[n] != '\n') ++n;
  const std::string_view first(reinterpret_cast<const char*>(data), n);
  return {first, n < size ? all.subspan(n + 1) : all.subspan(size)};
}

}  // namespace fuzz
