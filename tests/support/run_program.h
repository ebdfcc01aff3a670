#pragma once
// Runs a program of the suite in a directory with its answers on standard input, as a
// script piping the answers in would, and collects what it wrote.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/child.h"

namespace mttest {

using RunResult = ChildResult;

// exe: a path, or a bare program name looked up in MT_BIN_DIR.
RunResult run_program(const std::string& exe, const std::vector<std::string>& args,
                      const std::string& stdin_text, const std::string& cwd);

// For this process and what it starts: every file written is limited to `bytes`, and
// a write beyond that fails (EFBIG, the signal ignored) as on a full disk. For a child.
void limit_file_size(std::uint64_t bytes);

// run_program on such a small disk.
RunResult run_program_on_small_disk(const std::string& exe, const std::vector<std::string>& args,
                                    const std::string& stdin_text, const std::string& cwd,
                                    std::uint64_t bytes);

// Answers as a script pipes them in: each on a line of its own.
inline std::string answer_lines(const std::vector<std::string>& answers) {
  std::string in;
  for (const auto& a : answers) in += a + "\n";
  return in;
}

// A fresh temporary directory below the temp directory (TMPDIR), removed with everything
// in it at the end of the scope. Its path is canonical (absolute, without symbolic
// links), so that paths built from it compare equal to those the programs report.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& p);
void write_file(const std::filesystem::path& p, const std::string& bytes);

}  // namespace mttest
