// Two names of one file: links to existing files, dangling links to files an open would
// create, and names that only look alike or differ.
#include "tslib/same_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/working_directory.h"

namespace {

namespace fs = std::filesystem;

TEST(SameFile, LinksAndFilesNotCreatedYet) {
  mttest::TempDir dir;
  const fs::path d = dir.path();
  fs::create_directories(d / "st" / "deep");
  mttest::write_file(d / "a.ts", "a");
  mttest::write_file(d / "b.ts", "b");
  fs::create_symlink("a.ts", d / "sym.ts");
  fs::create_symlink("sym.ts", d / "chain.ts");
  fs::create_hard_link(d / "a.ts", d / "hard.ts");
  fs::create_symlink("../windows.abc", d / "st" / "db.lnk");  // dangling, relative to st/
  fs::create_symlink("db.lnk", d / "st" / "db2.lnk");         // a dangling chain
  fs::create_symlink(d / "windows.abc", d / "abs.lnk");       // dangling, absolute
  fs::create_symlink("loop2", d / "loop1");
  fs::create_symlink("loop1", d / "loop2");
  fs::create_directory_symlink("st", d / "stlink");

  struct Case {
    std::string a, b;
    bool same;
  };
  const std::string p = d.string() + "/";
  const std::vector<Case> cases = {
      {"a.ts", "a.ts", true},
      {"a.ts", "sym.ts", true},
      {"chain.ts", "a.ts", true},
      {"hard.ts", "a.ts", true},
      {"hard.ts", "sym.ts", true},
      {"a.ts", "b.ts", false},
      {"st/../a.ts", "a.ts", true},
      // Not there yet: one file once an open creates it, or two.
      {"windows.abc", "st/db.lnk", true},
      {"st/db2.lnk", "windows.abc", true},
      {"abs.lnk", "st/db.lnk", true},
      {"stlink/deep/../new.ts", "st/new.ts", true},
      {"new.ts", "other.ts", false},
      {"new.ts", "st/new.ts", false},
      // One exists and the other does not: the other would be a new file.
      {"a.ts", "new.ts", false},
      {"st/db.lnk", "a.ts", false},
      {"loop1", "a.ts", false},
      // A device has no content to overwrite.
      {"/dev/null", "/dev/null", false},
  };
  // Each name below the temporary directory, compared both ways round.
  for (const Case& c : cases) {
    const std::string a = c.a.front() == '/' ? c.a : p + c.a;
    const std::string b = c.b.front() == '/' ? c.b : p + c.b;
    EXPECT_EQ(tslib::same_file(a, b), c.same) << c.a << " | " << c.b;
    EXPECT_EQ(tslib::same_file(b, a), c.same) << c.b << " | " << c.a;
  }
}

TEST(SameFile, RelativeNamesAreTakenFromTheCurrentDirectory) {
  mttest::TempDir dir;
  mttest::write_file(dir / "a.ts", "a");
  fs::create_symlink("windows.abc", dir / "db.lnk");
  const mttest::WorkingDirectory in_dir(dir.path());
  EXPECT_TRUE(tslib::same_file("a.ts", (dir / "a.ts").string()));
  EXPECT_TRUE(tslib::same_file("db.lnk", "windows.abc"));
  EXPECT_FALSE(tslib::same_file("db.lnk", "windows.abd"));
}

}  // namespace
