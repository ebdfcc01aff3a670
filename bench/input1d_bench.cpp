// input1d throughput: one million 5-channel samples at 12 Hz read and calibrated.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "common/io/units.h"
#include "common/printlevel.h"
#include "rawcv/input1d.h"
#include "rawcv/rawhdr.h"
#include "support/rawgen.h"

namespace {

constexpr std::int32_t kSamples = 1000000;
constexpr int kRaw = 4;

const std::string& raw_file() {
  static const std::string path = [] {
    const auto p = std::filesystem::temp_directory_path() / "input1d_bench.1mp";
    rawgen::Description d = rawgen::five_channels(12.0f);
    d.records = kSamples;
    rawgen::write(p.string(), d);
    return p.string();
  }();
  return path;
}

void Input1dMillion(benchmark::State& state) {
  const std::string& path = raw_file();
  for (auto _ : state) {
    rawhdr = rawcv::RawHeader{};
    rawhdr.hwunit = 2;  // not open: hardware factors 1.0
    rawcv::Input1dState reader{};
    prtlvl = common::PrintLevelRecord{};
    std::int32_t next = 0, status = 0;
    rdhead(kRaw, path, next);
    std::array<float, 11> dat{};
    const rawcv::SampleRequest request{
        .yy = 2004, .mo = 7, .dd = 20, .hh = 13, .mi = 17, .ss = 0, .dursec = 86400};
    double sum = 0.0;
    std::int32_t n = 0;
    for (; n < kSamples; ++n) {
      input1d(reader, kRaw, rawhdr.hdr77(1), dat, status, request, next);
      if (status < 0) break;
      sum += dat[0];
    }
    benchmark::DoNotOptimize(sum);
    if (n != kSamples) state.SkipWithError("short read");
    io::close(kRaw);
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(Input1dMillion)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
