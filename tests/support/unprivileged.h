#pragma once
// Test helper: file permissions as an ordinary user meets them. Permissions do not
// bind the superuser, so when the tests run as root the code under test runs in a
// child process switched to the user and group "nobody" (65534).
#include <fcntl.h>
#include <grp.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
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

inline constexpr std::filesystem::perms kReadByAll = std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::group_read |
                                                     std::filesystem::perms::others_read;

// Opens the tree to all users: every directory to everything, so that the ordinary
// user may create files there, and every file to reading, whatever the umask made of
// it. Only read permission is added to files: one made read-only stays read-only.
// Symbolic links are not followed.
inline void open_tree(const std::filesystem::path& dir) {
  namespace fs = std::filesystem;
  fs::permissions(dir, fs::perms::all);
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    const fs::file_status status = entry.symlink_status();
    if (fs::is_directory(status)) fs::permissions(entry.path(), fs::perms::all);
    if (fs::is_regular_file(status))
      fs::permissions(entry.path(), kReadByAll, fs::perm_options::add);
  }
}

// Makes a file read-only for everybody.
inline void make_read_only(const std::filesystem::path& file) {
  std::filesystem::permissions(file, kReadByAll);
}

// In a child that cannot go on as an ordinary user: says why on standard error and ends
// with kNoUnprivilegedRun.
[[noreturn]] inline void no_unprivileged_run(const std::string& why) {
  const std::string line = "mttest: " + why + ": " + std::strerror(errno) + "\n";
  std::fputs(line.c_str(), stderr);
  ::_exit(kNoUnprivilegedRun);
}

// Runs body in a child process as an ordinary user, in dir opened to all users
// (open_tree). The child enters dir before it gives up root, so that dir may lie below
// directories the ordinary user may not enter: body names the files of dir relative to
// it. nullopt when the child could not become an ordinary user or could not work in
// dir; the reason is written to this process's standard error.
inline std::optional<ChildResult> run_unprivileged_in(const std::filesystem::path& dir,
                                                      const std::function<void()>& body,
                                                      const std::string& input = "") {
  open_tree(dir);
  const ChildResult r = run_child(
      [&] {
        if (::chdir(dir.c_str()) != 0) no_unprivileged_run("cannot enter " + dir.string());
        if (!become_unprivileged()) no_unprivileged_run("cannot become the user nobody");
        if (::access(".", R_OK | W_OK | X_OK) != 0)
          no_unprivileged_run("the ordinary user may not work in " + dir.string());
        body();
      },
      input);
  if (r.status != kNoUnprivilegedRun) return r;
  std::fputs(r.err.c_str(), stderr);
  return std::nullopt;
}

// Runs a program of the suite in dir as an ordinary user, the answers on standard
// input. The program is opened before the child gives up root, so the build tree may
// lie below directories closed to the ordinary user. nullopt when the child could not
// switch user or start the program.
inline std::optional<ChildResult> run_unprivileged(const std::string& program,
                                                   const std::vector<std::string>& args,
                                                   const std::string& input,
                                                   const std::filesystem::path& dir) {
  std::vector<std::string> argv_store{std::string(MT_BIN_DIR) + "/" + program};
  argv_store.insert(argv_store.end(), args.begin(), args.end());
  const int exe = ::open(argv_store[0].c_str(), O_PATH | O_CLOEXEC);
  const auto r = run_unprivileged_in(
      dir,
      [&] {
        std::vector<char*> argv;
        for (auto& a : argv_store) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (exe >= 0) ::fexecve(exe, argv.data(), environ);
        no_unprivileged_run("cannot start " + argv_store[0] + " as the user nobody");
      },
      input);
  if (exe >= 0) ::close(exe);
  return r;
}

}  // namespace mttest
