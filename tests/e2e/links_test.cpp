// Every program end to end with an output that is, through a symbolic or hard link, a
// file the run reads or the windows database: the output is refused before anything is
// written, and every file of the project keeps its bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/rawcv_project.h"
#include "support/run_program.h"
#include "support/ts_project.h"

namespace {

namespace fs = std::filesystem;
using mttest::read_file;
using mttest::run_program;
using mttest::TempDir;

// symbolic and hard: a link to an existing file. dangling: a symbolic link to a file
// that does not exist yet, which opening the link for writing would create.
enum class Link { symbolic, hard, dangling };

const char* name_of(Link kind) {
  switch (kind) {
    case Link::symbolic: return "symbolic";
    case Link::hard: return "hard";
    case Link::dangling: return "dangling";
  }
  return "?";
}

// Makes `link` (relative to root) a link of the kind to `target` (relative to root); a
// symbolic link holds the target relative to its own directory. A dangling link's
// target is removed first.
void make_link(const fs::path& root, const std::string& link, const std::string& target,
               Link kind) {
  const fs::path at = root / link;
  fs::remove(at);
  if (kind == Link::hard) {
    fs::create_hard_link(root / target, at);
    return;
  }
  if (kind == Link::dangling) fs::remove(root / target);
  fs::create_symlink((root / target).lexically_relative(at.parent_path()), at);
}

// Every entry under root: a symbolic link by its target, a file by its bytes (read
// through links), so that any change to a file, link or directory entry shows.
std::map<std::string, std::string> snapshot(const fs::path& root) {
  std::map<std::string, std::string> entries;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(root)) {
    const std::string name = e.path().lexically_relative(root).string();
    if (e.is_symlink()) entries[name + " ->"] = fs::read_symlink(e.path()).string();
    if (e.is_regular_file()) entries[name] = read_file(e.path());
  }
  return entries;
}

struct Case {
  std::string link;    // the output's name
  std::string target;  // the file read that the output is linked to
  std::vector<Link> kinds;
  std::string line;  // the refusal
};

// A run refused at its output: the refusal line, the status, no byte changed anywhere.
template <class Setup>
void expect_refused(const std::string& program, const std::string& answers, int status,
                    const std::vector<Case>& cases, Setup setup) {
  for (const Case& c : cases) {
    for (const Link kind : c.kinds) {
      SCOPED_TRACE(program + ": " + c.link + " -> " + c.target + " (" + name_of(kind) + ")");
      TempDir dir;
      setup(dir);
      make_link(dir.path(), c.link, c.target, kind);
      const auto before = snapshot(dir.path());
      const auto r = run_program(program, {}, answers, dir.str());
      EXPECT_EQ(r.status, status) << r.out << r.err;
      EXPECT_TRUE(tsfix::shows(r.out, c.line)) << r.out;
      EXPECT_EQ(snapshot(dir.path()), before);
    }
  }
}

const std::string T0 = "2004-07-20 13:00:";
const std::string kDatabase = "# the windows of the test\r\n";

// Station kvt101 with windows a1 to a3, ten seconds apart, and their database lines.
void three_windows(const TempDir& dir) {
  std::string db = kDatabase;
  for (int i = 0; i < 3; ++i) {
    tsfix::TsSpec s;
    s.window = "kvt101a" + std::to_string(i + 1);
    s.start = T0 + std::to_string(10 + 10 * i);
    tsfix::write_ts(dir.path(), s, tsfix::ramp(10, 100.0f * static_cast<float>(i)));
    db += tsfix::winrec(s.window, 27, 5, s.start, T0 + std::to_string(19 + 10 * i));
  }
  mttest::write_file(dir / "windows.kvt", db);
}

// Windows kvt101a1 and kvt102a1 over the same 20 s, and a station directory mix001.
void two_stations(const TempDir& dir) {
  tsfix::TsSpec a, b;
  b.station = "kvt102";
  b.window = "kvt102a1";
  tsfix::write_ts(dir.path(), a, tsfix::ramp(20));
  tsfix::write_ts(dir.path(), b, tsfix::ramp(20, 1000.0f));
  fs::create_directories(dir / "mix001");
  mttest::write_file(dir / "windows.kvt", kDatabase +
                                              tsfix::winrec(a.window, 27, 5, T0 + "00", T0 + "19") +
                                              tsfix::winrec(b.window, 31, 5, T0 + "00", T0 + "19"));
}

// One window kvt101a1 and a windows database that does not name it.
void one_window(const TempDir& dir) {
  tsfix::write_ts(dir.path(), tsfix::TsSpec{}, tsfix::ramp(10));
  mttest::write_file(dir / "windows.kvt", kDatabase);
}

const std::vector<Link> kExisting = {Link::symbolic, Link::hard};
const std::vector<Link> kAll = {Link::symbolic, Link::hard, Link::dangling};

TEST(Links, RawcvEndsBeforeWritingOverWhatItReads) {
  const std::string ts = "kvt101/kvt101a1.ts";
  const std::string aux = "kvt101/kvt101a1.aux";
  auto line = [](const std::string& output, const std::string& other) {
    return " FATAL ERROR: output file " + output + " is the same file as " + other;
  };
  const std::vector<Case> cases = {
      {ts, "kvt101/kvt101a1.1mp", kExisting, line(ts, "kvt101/kvt101a1.1mp")},
      {ts, "hardware.kvt", kAll, line(ts, "hardware.kvt")},
      {ts, "kvtsite.flt", kAll, line(ts, "kvtsite.flt")},
      {ts, "windows.kvt", kAll, line(ts, "windows.kvt")},
      {aux, "kvt101/kvt101a1.1mp", kExisting, line(aux, "kvt101/kvt101a1.1mp")},
      {aux, "windows.kvt", kAll, line(aux, "windows.kvt")},
      // The ts file of an earlier run, or none yet: the two outputs would be one file.
      {aux, ts, kAll, line(aux, ts)},
  };
  const rawcv_e2e::Answers answers;
  expect_refused("rawcv", mttest::answer_lines(answers.list()), 1, cases, [&](const TempDir& dir) {
    fs::create_directory(dir / "kvt101");
    mttest::write_file(dir / "hardware.kvt", rawcv_e2e::kHardware);
    mttest::write_file(dir / "kvtsite.flt", rawcv_e2e::site_line("101", " 250", " 12") + "\r\n");
    rawgen::write((dir / "kvt101" / "kvt101a1.1mp").string(),
                  rawcv_e2e::window_description(1.0f, "Hz", 5, 100));
    mttest::write_file(dir / "windows.kvt", kDatabase);
    mttest::write_file(dir / ts, "the ts file of an earlier run");
  });
}

TEST(Links, HdrdmpEndsBeforeWritingItsReportOverWhatItReads) {
  const std::vector<Case> cases = {
      {"hdrdmp.out", "kvt101/kvt101a1.ts", kExisting,
       " FATAL ERROR: output file hdrdmp.out is the same file as kvt101/kvt101a1.ts"},
      {"hdrdmp.out", "windows.kvt", kAll,
       " FATAL ERROR: output file hdrdmp.out is the same file as windows.kvt"},
  };
  expect_refused("hdrdmp", "\nkvt101a1\nb\n", 1, cases, one_window);
}

TEST(Links, SpanxNeverAppendsToTheFileItMeasures) {
  const std::vector<Case> cases = {
      {"windows.kvt", "kvt101/kvt101a1.ts", kExisting,
       " FATAL ERROR: output file windows.kvt is the same file as kvt101/kvt101a1.ts"},
  };
  expect_refused("spanx", "\nkvt101a1\nb\nT\n", 1, cases, one_window);
}

// The tools that ask for their output ask again; the answers end there (status 24).
// segmerge and chanmixer read the windows database, so it exists; wincutter does not,
// and a dangling link would create it.
TEST(Links, ToolsAskAgainForAnOutputOverWhatTheyRead) {
  struct Tool {
    std::string program, answers;
    std::string output, input;  // the output asked for, and one of the files it reads
    std::string asked;
    std::vector<Link> database_links;
    void (*setup)(const TempDir&);
  };
  const std::vector<Tool> tools = {
      {"segmerge", "\nkvt101\na1\na2\na3\n\nas\n", "kvt101/kvt101as.ts", "kvt101/kvt101a2.ts",
       "output window", kExisting, three_windows},
      {"chanmixer", "\nkvt101a1\nkvt102a1\nkvt101\n", "kvt101/kvt101cb.ts", "kvt102/kvt102a1.ts",
       "output station", kExisting, two_stations},
      {"wincutter", "\nkvt101a1\nb\n\n", "kvt101/kvt101ex.ts", "kvt101/kvt101a1.ts",
       "output window", kAll, one_window},
  };
  for (const Tool& t : tools) {
    auto line = [&](const std::string& other) {
      return " Output file " + t.output + " is the same file as " + other + ": give another " +
             t.asked;
    };
    expect_refused(t.program, t.answers, 24,
                   {{t.output, t.input, kExisting, line(t.input)},
                    {t.output, "windows.kvt", t.database_links, line("windows.kvt")}},
                   t.setup);
  }
}

// kvt101as a link to kvt101a2.ts, the middle one of three windows to splice: the
// refusal comes before any window is written; another output window then splices all
// three.
TEST(Links, SegmergeSplicesIntoAnotherWindowAndLeavesTheLinkedInputWhole) {
  for (const Link kind : kExisting) {
    SCOPED_TRACE(name_of(kind));
    TempDir dir;
    three_windows(dir);
    make_link(dir.path(), "kvt101/kvt101as.ts", "kvt101/kvt101a2.ts", kind);
    const std::string a2 = read_file(dir / "kvt101" / "kvt101a2.ts");
    const auto r =
        run_program("segmerge", {}, "\nkvt101\na1\na2\na3\n\nas\nat\nb\nb\nb\n", dir.str());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(tstest::count_of(r.out, "Give output window"), 2u);
    EXPECT_EQ(read_file(dir / "kvt101" / "kvt101a2.ts"), a2);
    EXPECT_EQ(tsfix::read_binary_ts(dir / "kvt101" / "kvt101at.ts").data.size(), 30u);
    const auto db = tstest::lines_of(read_file(dir / "windows.kvt"), tstest::LineEnd::lf);
    ASSERT_EQ(db.size(), 5u);
    EXPECT_EQ(db.back().substr(0, 9), "kvt101at ");
  }
}

// A name typed at ts_open's question (the output station has no directory) is compared
// once the output is open, with the windows database as opened: nothing is written to
// it, and the station question comes again. The name holds a '.' and 8 characters, the
// most that question takes.
TEST(Links, ChanmixerRefusesATypedOutputNameOverTheWindowsDatabase) {
  TempDir dir;
  two_stations(dir);
  make_link(dir.path(), "kvt101/kvt101.x", "windows.kvt", Link::symbolic);
  const std::string db = read_file(dir / "windows.kvt");
  const auto r =
      run_program("chanmixer", {},
                  "\nkvt101a1\nkvt102a1\nnosuch\nb\nb\n\n\n1\n11\nkvt101.x\nmix001\n", dir.str());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_TRUE(tsfix::shows(r.out,
                           " Output file kvt101/kvt101.x is the same file as windows.kvt: give "
                           "another output station"))
      << r.out;
  EXPECT_EQ(read_file(dir / "windows.kvt"), db);
  EXPECT_EQ(tsfix::read_binary_ts(dir / "mix001" / "mix001cb.ts").data.size(), 19u);
}

}  // namespace
