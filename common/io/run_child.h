#pragma once
// Test helper: runs a piece of code in a child process with its standard output and
// standard error caught, for behaviour that ends the program.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "common/io/units.h"

namespace iotest {

struct ChildResult {
  int status = -1;  // exit status, or 128 + signal number
  std::string out;
  std::string err;
};

inline std::string slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// body runs in the child; returning from it ends the child as a return from main
// would (exit handlers run). stdin_text is the child's standard input.
inline ChildResult run_child(const std::function<void()>& body, const std::string& stdin_text = "") {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() /
                       ("iochild-" + std::to_string(::getpid()) + "-" + std::to_string(std::rand()));
  fs::create_directories(dir);
  const fs::path out = dir / "out";
  const fs::path err = dir / "err";
  const fs::path in = dir / "in";
  {
    std::ofstream f(in, std::ios::binary);
    f << stdin_text;
  }
  io::flush_all();
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int fo = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int fe = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int fi = ::open(in.c_str(), O_RDONLY);
    ::dup2(fo, 1);
    ::dup2(fe, 2);
    ::dup2(fi, 0);
    body();
    std::exit(0);
  }
  ChildResult r;
  int wstatus = 0;
  ::waitpid(pid, &wstatus, 0);
  r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  r.out = slurp(out);
  r.err = slurp(err);
  fs::remove_all(dir);
  return r;
}

}  // namespace iotest
