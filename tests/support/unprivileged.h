#pragma once
// Test helper: file permissions as an ordinary user meets them. Permissions do not
// bind the superuser, so when the tests run as root the code under test runs in a
// child process switched to the user and group "nobody" (65534).
#include <grp.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/child.h"

namespace mttest {

// Exit status of a child that could not become an ordinary user or start its program;
// no program of the suite ends with these.
inline constexpr int kNoUnprivilegedRun = 126;

// Makes this process an ordinary user when it is root. False when that failed.
inline bool become_unprivileged() {
  constexpr uid_t kNobody = 65534;
  if (::geteuid() != 0) return true;
  return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

// Opens every directory of the tree to all users, so that the ordinary user may
// create files there; files keep their own permissions.
inline void open_tree(const std::filesystem::path& dir) {
  namespace fs = std::filesystem;
  fs::permissions(dir, fs::perms::all);
  for (const auto& entry : fs::recursive_directory_iterator(dir))
    if (entry.is_directory()) fs::permissions(entry.path(), fs::perms::all);
}

// Makes a file read-only for everybody.
inline void make_read_only(const std::filesystem::path& file) {
  namespace fs = std::filesystem;
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

// Runs a program of the suite in dir as an ordinary user, the answers on standard
// input. nullopt when the child could not switch user or start the program.
inline std::optional<ChildResult> run_unprivileged(const std::string& program,
                                                   const std::vector<std::string>& args,
                                                   const std::string& input,
                                                   const std::filesystem::path& dir) {
  open_tree(dir);
  std::vector<std::string> argv_store{std::string(MT_BIN_DIR) + "/" + program};
  argv_store.insert(argv_store.end(), args.begin(), args.end());
  const ChildResult r = run_child(
      [&] {
        std::vector<char*> argv;
        for (auto& a : argv_store) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (::chdir(dir.c_str()) == 0 && become_unprivileged()) ::execv(argv[0], argv.data());
        ::_exit(kNoUnprivilegedRun);
      },
      input);
  if (r.status == kNoUnprivilegedRun) return std::nullopt;
  return r;
}

}  // namespace mttest
