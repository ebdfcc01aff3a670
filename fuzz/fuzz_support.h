#pragma once
// Shared by the fuzz targets. A target runs many inputs in one process, so an end of
// the program (error report, failure end) becomes an exception that the target
// catches, after which every unit is closed. Files the routines read are written to
// one scratch file per target in a scratch directory.
// Standard input is empty: a routine that asks a question meets end of input.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "common/io/end.h"
#include "common/io/units.h"

namespace fuzz {

// Thrown instead of exiting.
struct ProgramEnded {
  int status = 0;
};

[[noreturn]] inline void throw_end(int status) { throw ProgramEnded{status}; }

// The scratch directory of this process, made at first use with a name of its own
// (mkdtemp) below $MT_FUZZ_SCRATCH (scripts/fuzz removes that) or else the temp
// directory (TMPDIR, /tmp). It is removed at the normal exit of the process that made
// it only: a child forked from that process (a test's) ends without touching it. A
// directory that cannot be made ends the process with the reason.
struct ScratchDir {
  std::string path;
  pid_t maker;
};

inline const ScratchDir& scratch() {
  static const ScratchDir* made = [] {
    const char* base = std::getenv("MT_FUZZ_SCRATCH");
    std::error_code ec;
    const std::filesystem::path parent = base != nullptr && *base != '\0'
                                             ? std::filesystem::path(base)
                                             : std::filesystem::temp_directory_path(ec);
    std::string tmpl = (parent / "mtfuzz-XXXXXX").string();
    if (ec || ::mkdtemp(tmpl.data()) == nullptr) {
      const std::string why = ec ? ec.message() : std::strerror(errno);
      std::fprintf(stderr, "fuzz: cannot make a scratch directory %s: %s\n", tmpl.c_str(),
                   why.c_str());
      std::abort();
    }
    auto* d = new ScratchDir{tmpl, ::getpid()};
    std::atexit([] {
      if (::getpid() != scratch().maker) return;
      std::error_code ignored;
      std::filesystem::remove_all(scratch().path, ignored);
    });
    return d;
  }();
  return *made;
}

inline const std::string& scratch_dir() { return scratch().path; }

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
