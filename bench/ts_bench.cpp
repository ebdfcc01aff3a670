// ts_in1 + ts_out1 copying BINARY records of 5 floats from one ts file to another, as
// segmerge does for every sample. Target: at least 10 million records per second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <span>
#include <string>

#include "common/io/binary.h"
#include "common/io/units.h"
#include "common/printlevel.h"
#include "common/text_field.h"
#include "tslib/ts.h"

namespace {

constexpr int kIn = 4;
constexpr int kOut = 10;
constexpr int kRecords = 1 << 20;

std::string bench_file(const char* what) {
  return (std::filesystem::temp_directory_path() /
          ("ts_bench-" + std::to_string(::getpid()) + "-" + what + ".ts"))
      .string();
}

io::OpenSpec binary_spec() {
  io::OpenSpec spec;
  spec.form = io::Form::binary;
  spec.big_endian = true;
  return spec;
}

void write_input(const std::string& file) {
  io::open(kIn, file, binary_spec(), io::Takes::neither);
  std::array<float, 5> v{1.5f, -2.25f, 3.0f, 4.125f, 5.0f};
  for (int i = 0; i < kRecords; ++i) {
    v[0] = static_cast<float>(i);
    io::BinaryWriter(kIn) << std::span<const float>(v);
  }
  io::close(kIn);
}

void BM_CopyBinaryFiveFloatRecords(benchmark::State& state) {
  const std::string in = bench_file("in");
  const std::string out = bench_file("out");
  write_input(in);
  prtlvl.iprint = -1;
  tsinfo = tslib::TsInfoRecord{};
  field::assign(tsinfo.form, tslib::kFormBinary);
  field::assign(tsinfo.format, tslib::kFormatUnformatted);
  tsinfo.NCHAN = 5;
  std::int64_t copied = 0;
  for (auto _ : state) {
    io::open(kIn, in, binary_spec(), io::Takes::neither);
    io::open(kOut, out, binary_spec(), io::Takes::neither);
    tslib::TsValues v{};
    // Exactly the records the file holds: the end-of-file line is not part of the copy.
    for (int i = 0; i < kRecords; ++i) {
      ts_in1(kIn, v);
      ts_out1(kOut, v);
    }
    benchmark::DoNotOptimize(v);
    copied += kRecords;
    io::close(kIn);
    io::close(kOut);
  }
  state.SetItemsProcessed(copied);
  std::filesystem::remove(in);
  std::filesystem::remove(out);
}
BENCHMARK(BM_CopyBinaryFiveFloatRecords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
