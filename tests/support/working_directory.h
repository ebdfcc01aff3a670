#pragma once
// Test helper: a change of the test process's working directory that is undone at the
// end of the scope, also when a failed assertion or an exception leaves the test early,
// so that the tests after it run where they started.
#include <filesystem>

namespace mttest {

class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::filesystem::path& dir)
      : before_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~WorkingDirectory() {
    std::error_code ignored;  // a destructor must not throw; the start is still there
    std::filesystem::current_path(before_, ignored);
  }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

  // Moves on to another directory; the end of the scope still returns to the start.
  void enter(const std::filesystem::path& dir) { std::filesystem::current_path(dir); }

 private:
  std::filesystem::path before_;
};

}  // namespace mttest
