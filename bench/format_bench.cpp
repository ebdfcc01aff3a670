// Throughput of ASCII data records of five floats under the format text (5E14.6),
// written through a unit to a text file and read back. The counter allocs_per_record
// counts heap allocations inside the timed loop (expected: 0).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "common/edit/fixed.h"
#include "common/edit/format_text.h"
#include "common/io/units.h"

namespace {
std::atomic<std::int64_t> g_allocations{0};
}  // namespace

// The replaced operators pair malloc with free; GCC's pairing check does not see that
// operator new itself is replaced here.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr int kUnit = 32;
constexpr int kRecords = 1 << 18;
constexpr std::string_view kFormat = "(5E14.6)";

std::string bench_file() {
  return (std::filesystem::temp_directory_path() /
          ("format_bench-" + std::to_string(::getpid()) + ".ts"))
      .string();
}

// Values of mixed magnitudes and signs, as data records hold them.
std::vector<float> sample_values() {
  std::vector<float> v;
  std::uint32_t state = 12345;
  for (int i = 0; i < 4095; ++i) {
    state = state * 1664525u + 1013904223u;
    const float unit = static_cast<float>(state >> 8) / 16777216.0f;
    const float scale = (i % 3 == 0) ? 1.0e-3f : (i % 3 == 1) ? 1.0f : 1.0e5f;
    v.push_back((i % 2 ? -unit : unit) * scale);
  }
  return v;
}

void write_file(const std::string& file, const std::vector<float>& values) {
  io::open(kUnit, file, io::OpenSpec{}, io::Takes::neither);
  std::size_t i = 0;
  for (int r = 0; r < kRecords; ++r) {
    io::FixedWriter(kUnit, io::format_layout(kFormat, kUnit))
        << std::span<const float>(values.data() + i, 5);
    i = (i + 5) % (values.size() - 5);
  }
  io::close(kUnit);
}

void BM_WriteFormattedRecords(benchmark::State& state) {
  const std::string file = bench_file();
  const std::vector<float> values = sample_values();
  write_file(file, values);  // warms the format cache and the transfer buffers
  std::int64_t allocations = 0;
  for (auto _ : state) {
    io::open(kUnit, file, io::OpenSpec{}, io::Takes::neither);
    std::size_t i = 0;
    const std::int64_t before = g_allocations.load();
    for (int r = 0; r < kRecords; ++r) {
      io::FixedWriter(kUnit, io::format_layout(kFormat, kUnit))
          << std::span<const float>(values.data() + i, 5);
      i = (i + 5) % (values.size() - 5);
    }
    allocations += g_allocations.load() - before;
    io::close(kUnit);
  }
  state.SetItemsProcessed(state.iterations() * kRecords * 5);
  state.counters["allocs_per_record"] =
      static_cast<double>(allocations) / static_cast<double>(state.iterations() * kRecords);
  std::filesystem::remove(file);
}
BENCHMARK(BM_WriteFormattedRecords)->Unit(benchmark::kMillisecond);

void BM_ReadFormattedRecords(benchmark::State& state) {
  const std::string file = bench_file();
  write_file(file, sample_values());
  std::array<float, 5> values{};
  float sum = 0;
  std::int64_t allocations = 0;
  for (auto _ : state) {
    io::open(kUnit, file, io::OpenSpec{}, io::Takes::neither);
    const std::int64_t before = g_allocations.load();
    for (int r = 0; r < kRecords; ++r) {
      io::FixedReader reader(kUnit, io::format_layout(kFormat, kUnit), io::Takes::both);
      reader >> std::span<float>(values);
      if (!reader.finish().ok()) {
        state.SkipWithError("read failed");
        break;
      }
      sum += values[4];
    }
    allocations += g_allocations.load() - before;
    io::close(kUnit);
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kRecords * 5);
  state.counters["allocs_per_record"] =
      static_cast<double>(allocations) / static_cast<double>(state.iterations() * kRecords);
  std::filesystem::remove(file);
}
BENCHMARK(BM_ReadFormattedRecords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
