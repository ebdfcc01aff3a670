// Throughput of BINARY records of five floats through a unit, written and read back.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <span>
#include <string>

#include "common/io/binary.h"
#include "common/io/units.h"

namespace {

constexpr int kUnit = 31;
constexpr int kRecords = 1 << 20;

std::string bench_file() {
  return (std::filesystem::temp_directory_path() /
          ("io_bench-" + std::to_string(::getpid()) + ".ts"))
      .string();
}

io::OpenSpec binary_spec() {
  io::OpenSpec spec;
  spec.form = io::Form::binary;
  return spec;
}

void BM_WriteFiveFloatRecords(benchmark::State& state) {
  const std::string file = bench_file();
  std::array<float, 5> values{1.5f, -2.25f, 3.0f, 4.125f, 5.0f};
  for (auto _ : state) {
    io::open(kUnit, file, binary_spec(), io::Takes::neither);
    for (int i = 0; i < kRecords; ++i) {
      values[0] = static_cast<float>(i);
      io::BinaryWriter(kUnit) << std::span<const float>(values);
    }
    io::close(kUnit);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
  std::filesystem::remove(file);
}
BENCHMARK(BM_WriteFiveFloatRecords)->Unit(benchmark::kMillisecond);

void BM_ReadFiveFloatRecords(benchmark::State& state) {
  const std::string file = bench_file();
  const std::array<float, 5> out{1.5f, -2.25f, 3.0f, 4.125f, 5.0f};
  io::open(kUnit, file, binary_spec(), io::Takes::neither);
  for (int i = 0; i < kRecords; ++i) io::BinaryWriter(kUnit) << std::span<const float>(out);
  io::close(kUnit);
  std::array<float, 5> values{};
  float sum = 0;
  for (auto _ : state) {
    io::open(kUnit, file, binary_spec(), io::Takes::neither);
    for (int i = 0; i < kRecords; ++i) {
      io::BinaryReader r(kUnit, io::Takes::both);
      r >> std::span<float>(values);
      sum += values[4];
    }
    io::close(kUnit);
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kRecords);
  std::filesystem::remove(file);
}
BENCHMARK(BM_ReadFiveFloatRecords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
