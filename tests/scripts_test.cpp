// The scripts a user runs before the programs: scripts/shake's help, and how
// scripts/test installs what is missing. scripts/test is run with a PATH of stand-ins,
// so that it finds Ninja missing and every installer it calls only notes its words and
// fails: nothing is installed and nothing is built.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/child.h"
#include "support/run_program.h"

namespace {

namespace fs = std::filesystem;

const std::string kSource = MT_SOURCE_DIR;

// Runs a script of the suite with bash, with PATH set to path (unchanged when empty).
mttest::ChildResult run_script(const std::string& script, const std::vector<std::string>& args,
                               const std::string& path = "") {
  std::vector<std::string> words{"bash", kSource + "/scripts/" + script};
  words.insert(words.end(), args.begin(), args.end());
  mttest::Child child([&] {
    if (!path.empty()) ::setenv("PATH", path.c_str(), 1);
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    ::execv("/bin/bash", argv.data());
    ::_exit(127);
  });
  return child.finish();
}

bool holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(Scripts, ShakeHelpPrintsItsConditionsAndEndsNormally) {
  for (const char* flag : {"--help", "-h"}) {
    SCOPED_TRACE(flag);
    const auto r = run_script("shake", {flag});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Shakes the test suite: ", 0), 0u) << r.out;
    for (const char* condition :
         {"repeat", "link", "long", "umask", "closed", "nobody", "nofull", "date"})
      EXPECT_TRUE(holds(r.out, "\n  " + std::string(condition) + " ")) << condition << "\n"
                                                                       << r.out;
    EXPECT_FALSE(holds(r.out, "#")) << r.out;
    EXPECT_EQ(r.err, "");
  }
}

TEST(Scripts, ShakeRefusesAnUnknownCondition) {
  const auto r = run_script("shake", {"bogus"});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(holds(r.err, "shake: unknown condition bogus")) << r.err;
  EXPECT_EQ(r.out, "");
}

// Where the test's own PATH finds a program; empty when it does not.
fs::path on_path(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (std::size_t start = 0; start <= dirs.size();) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    const fs::path candidate = fs::path(dirs.substr(start, end - start)) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

void write_stub(const fs::path& p, const std::string& body) {
  mttest::write_file(p, "#!/bin/bash\n" + body + "\n");
  fs::permissions(p, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                         fs::perms::others_read | fs::perms::others_exec);
}

TEST(Scripts, TestInstallsAsRootOrThroughSudoOrSaysWhatToInstall) {
  struct Case {
    const char* name;
    const char* uid;  // what `id -u` says
    bool sudo;        // a sudo on PATH
    std::string err;  // scripts/test's last line
    std::string sudo_log, apt_log;
  };
  const std::string ask = "install these packages and run again: ";
  const std::string update = "DEBIAN_FRONTEND=noninteractive apt-get update -qq\n";
  const std::vector<Case> cases = {
      {"root", "0", true, "scripts/test: the install failed; " + ask, "", "update -qq\n"},
      {"through sudo", "1000", true, "scripts/test: the install failed; " + ask, "env " + update,
       ""},
      {"neither", "1000", false, "scripts/test: not run as root, and no sudo; " + ask, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mttest::TempDir dir;
    const fs::path bin = dir / "bin";
    fs::create_directory(bin);
    // The tools scripts/test uses before it installs; never Ninja, so that it is missing.
    for (const char* tool : {"bash", "env", "dirname", "cmake", "g++"})
      if (const fs::path real = on_path(tool); !real.empty()) fs::create_symlink(real, bin / tool);
    write_stub(bin / "id", std::string("echo ") + c.uid);
    // The logs go beside bin/, found from the stub's own path: no temp path in the script.
    write_stub(bin / "apt-get", "echo \"$*\" >> \"$(dirname \"$0\")/../apt.log\"; exit 3");
    if (c.sudo)
      write_stub(bin / "sudo", "echo \"$*\" >> \"$(dirname \"$0\")/../sudo.log\"; exit 3");

    const auto r = run_script("test", {}, bin.string());
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << r.err;
    EXPECT_TRUE(holds(r.err, "ninja-build")) << r.err;
    EXPECT_EQ(mttest::read_file(dir / "sudo.log"), c.sudo_log);
    EXPECT_EQ(mttest::read_file(dir / "apt.log"), c.apt_log);
  }
}

}  // namespace
