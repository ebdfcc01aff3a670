// Free-layout output speed: float editing alone, and records of five floats written to
// a text file through a unit.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
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
    const float scale = (i % 4 == 0) ? 1.0e-4f : (i % 4 == 1) ? 1.0f : (i % 4 == 2) ? 1.0e4f : 1.0e9f;
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

}  // namespace

BENCHMARK_MAIN();
