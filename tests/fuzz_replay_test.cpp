// Replays the fuzz targets' seeds and found inputs (fuzz/seeds/<target>/ and
// fuzz/corpus/<target>/) through the same target code, built without libFuzzer. A
// target aborts on a broken expectation; the sanitizer build catches memory faults.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/edit/free.h"
#include "common/io/end.h"
#include "common/io/units.h"
#include "fuzz/fuzz_support.h"
#include "support/child.h"

extern "C" int format_text_fuzz_one(const std::uint8_t* data, std::size_t size);
extern "C" int free_field_fuzz_one(const std::uint8_t* data, std::size_t size);
extern "C" int free_unit_fuzz_one(const std::uint8_t* data, std::size_t size);
extern "C" int ts_rdinfo_fuzz_one(const std::uint8_t* data, std::size_t size);
extern "C" int rawfile_fuzz_one(const std::uint8_t* data, std::size_t size);
extern "C" int getwindow_fuzz_one(const std::uint8_t* data, std::size_t size);
extern "C" int gethardware_fuzz_one(const std::uint8_t* data, std::size_t size);
extern "C" int site_fuzz_one(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;
using Target = int (*)(const std::uint8_t*, std::size_t);

struct Entry {
  const char* name;
  Target run;
};

constexpr Entry kTargets[] = {
    {"format_text_fuzz", format_text_fuzz_one}, {"free_field_fuzz", free_field_fuzz_one},
    {"free_unit_fuzz", free_unit_fuzz_one},     {"ts_rdinfo_fuzz", ts_rdinfo_fuzz_one},
    {"rawfile_fuzz", rawfile_fuzz_one},         {"getwindow_fuzz", getwindow_fuzz_one},
    {"gethardware_fuzz", gethardware_fuzz_one}, {"site_fuzz", site_fuzz_one},
};

const fs::path kFuzzDir = fs::path(MT_SOURCE_DIR) / "fuzz";

std::vector<fs::path> inputs_of(const std::string& target) {
  std::vector<fs::path> files;
  for (const char* kind : {"seeds", "corpus"}) {
    const fs::path dir = kFuzzDir / kind / target;
    if (!fs::is_directory(dir)) continue;
    for (const auto& e : fs::directory_iterator(dir))
      if (e.is_regular_file()) files.push_back(e.path());
  }
  return files;
}

std::vector<std::uint8_t> bytes_of(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The targets write to the console; their output goes to /dev/null while they run.
class QuietConsole {
 public:
  QuietConsole() {
    std::fflush(stdout);
    std::fflush(stderr);
    out_ = ::dup(STDOUT_FILENO);
    err_ = ::dup(STDERR_FILENO);
    const int null_fd = ::open("/dev/null", O_WRONLY);
    ::dup2(null_fd, STDOUT_FILENO);
    ::dup2(null_fd, STDERR_FILENO);
    ::close(null_fd);
  }
  ~QuietConsole() {
    io::flush_all();
    ::dup2(out_, STDOUT_FILENO);
    ::dup2(err_, STDERR_FILENO);
    ::close(out_);
    ::close(err_);
  }
  QuietConsole(const QuietConsole&) = delete;
  QuietConsole& operator=(const QuietConsole&) = delete;

 private:
  int out_ = -1;
  int err_ = -1;
};

// An intercepted end writes what an end writes, hands over the status instead of
// exiting, and leaves the program able to go on and to end normally later.
TEST(EndInterceptor, HandsOverTheStatusAndTheProgramGoesOn) {
  const mttest::ChildResult r = mttest::run_child([] {
    io::set_program_name("prog");
    io::set_end_interceptor(fuzz::throw_end);
    int first = -1;
    try {
      io::FreeWriter(6) << "before";
      io::error_report(24, 10, "/x/f.ts");
    } catch (const fuzz::ProgramEnded& e) {
      first = e.status;
    }
    int second = -1;
    try {
      io::end_program(io::Outcome::failure, "Program terminated");
    } catch (const fuzz::ProgramEnded& e) {
      second = e.status;
    }
    io::close_all();
    io::FreeWriter(6) << "statuses" << first << second;
    io::set_end_interceptor(nullptr);
    io::end_program(io::Outcome::success);
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, " before\r\n statuses          24           1\r\n");
  EXPECT_EQ(r.err,
            "prog: severe (24): end-of-file during read, unit 10, file /x/f.ts\r\n"
            "Program terminated\r\n");
}

// The targets' scratch directory lies below $MT_FUZZ_SCRATCH or else the temp
// directory, and belongs to the process that made it: a child forked from that process
// that ends normally, running the exit handlers it inherited, leaves it in place.
TEST(FuzzScratch, BelongsToTheProcessThatMadeIt) {
  const fs::path dir = fuzz::scratch_dir();
  ASSERT_TRUE(fs::is_directory(dir)) << dir;
  const char* base = std::getenv("MT_FUZZ_SCRATCH");
  const fs::path parent =
      base != nullptr && *base != '\0' ? fs::path(base) : fs::temp_directory_path();
  EXPECT_TRUE(fs::equivalent(dir.parent_path(), parent)) << dir << " is not below " << parent;
  const mttest::ChildResult r = mttest::run_child([] { std::exit(0); });
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_directory(dir)) << dir;
}

TEST(FuzzReplay, EverySeedDirectoryHasItsTarget) {
  for (const auto& e : fs::directory_iterator(kFuzzDir / "seeds")) {
    const std::string name = e.path().filename().string();
    bool known = false;
    for (const Entry& t : kTargets) known = known || name == t.name;
    EXPECT_TRUE(known) << "no replay entry for fuzz/seeds/" << name;
  }
}

TEST(FuzzReplay, EveryInputRunsThroughItsTarget) {
  for (const Entry& t : kTargets) {
    const std::vector<fs::path> files = inputs_of(t.name);
    EXPECT_FALSE(files.empty()) << "no seeds for " << t.name;
    for (const fs::path& f : files) {
      SCOPED_TRACE(f.string());
      const std::vector<std::uint8_t> data = bytes_of(f);
      int result = -1;
      {
        QuietConsole quiet;
        result = t.run(data.data(), data.size());
      }
      EXPECT_EQ(result, 0);
    }
  }
}

}  // namespace
