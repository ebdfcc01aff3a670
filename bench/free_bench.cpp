// Free-layout speed: float editing alone, records of five floats written to a text file
// through a unit, and the same records read back.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "common/edit/free.h"
#include "common/io/units.h"

namespace {

std::vector<float> sample_values() {
  std::vector<float> v;
  std::uint32_t state = 12345;
  for (int i = 0; i < 4096; ++i) {
    state = state * 1664525u + 1013904223u;
    const float unit = static_cast<float>(state >> 8) / 16777216.0f;  // [0, 1)
    // Mixed magnitudes: both the fixed-point and the exponent form.
    const float scale = (i % 4 == 0)   ? 1.0e-4f
                        : (i % 4 == 1) ? 1.0f
                        : (i % 4 == 2) ? 1.0e4f
                                       : 1.0e9f;
    v.push_back((i % 2 ? -unit : unit) * scale);
  }
  return v;
}

void BM_FreeFloatText(benchmark::State& state) {
  const auto values = sample_values();
  std::array<char, 15> out;
  std::size_t i = 0;
  for (auto _ : state) {
    io::free_float_text(values[i], out);
    benchmark::DoNotOptimize(out);
    i = (i + 1) % values.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FreeFloatText);

void BM_FreeWriterFiveFloatRecords(benchmark::State& state) {
  const auto values = sample_values();
  const auto path = std::filesystem::temp_directory_path() / "free_bench_out.txt";
  constexpr int kUnit = 30;
  if (!io::open(kUnit, path.string(), io::OpenSpec{}, io::Takes::errors).ok()) {
    state.SkipWithError("cannot open the output file");
    return;
  }
  std::size_t i = 0;
  for (auto _ : state) {
    io::FreeWriter(kUnit) << std::span<const float>(values.data() + i, 5);
    i = (i + 5) % (values.size() - 5);
  }
  state.SetItemsProcessed(state.iterations() * 5);
  io::close(kUnit);
  std::filesystem::remove(path);
}
BENCHMARK(BM_FreeWriterFiveFloatRecords);

// Data records of a FREE ts file: five floats a line, read one record per transfer.
void BM_FreeReaderFiveFloatRecords(benchmark::State& state) {
  constexpr int kUnit = 31;
  constexpr int kRecords = 1 << 16;
  const auto values = sample_values();
  const auto path = std::filesystem::temp_directory_path() /
                    ("free_bench_in-" + std::to_string(::getpid()) + ".txt");
  if (!io::open(kUnit, path.string(), io::OpenSpec{}, io::Takes::errors).ok()) {
    state.SkipWithError("cannot open the input file");
    return;
  }
  for (int r = 0; r < kRecords; ++r) {
    const auto first = static_cast<std::size_t>(r * 5) % (values.size() - 5);
    io::FreeWriter(kUnit) << std::span<const float>(values.data() + first, 5);
  }
  io::close(kUnit);
  std::array<float, 5> record{};
  float sum = 0;
  for (auto _ : state) {
    io::open(kUnit, path.string(), io::OpenSpec::to_read(io::Form::text), io::Takes::neither);
    for (int r = 0; r < kRecords; ++r) {
      io::FreeReader reader(kUnit, io::Takes::both);
      reader >> std::span<float>(record);
      if (!reader.finish().ok()) {
        state.SkipWithError("read failed");
        break;
      }
      sum += record[4];
    }
    io::close(kUnit);
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kRecords * 5);
  std::filesystem::remove(path);
}
BENCHMARK(BM_FreeReaderFiveFloatRecords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
