// rawcv throughput: a 24-hour, 12 Hz, 5-channel raw window (1 036 800 samples)
// converted BINARY (seq_rec 1 and 60) and ASCII "FREE"; peak RSS of the runs.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>

#include "support/rawcv_project.h"

namespace {

using rawcv_e2e::Project;

Project& project(int hours) {
  static Project* one_hour = nullptr;
  static Project* one_day = nullptr;
  Project*& p = hours == 1 ? one_hour : one_day;
  if (!p) {
    p = new Project;
    p->raw(rawcv_e2e::window_description(12.0f, "Hz", 5, hours * 3600 * 12 + 100));
  }
  return *p;
}

std::string end_time(int hours) {
  return hours == 1 ? "2004-07-20 14:17:00" : "2004-07-21 13:17:00";
}

void run(benchmark::State& state, const std::string& form, const std::string& seq_or_format) {
  const int hours = static_cast<int>(state.range(0));
  Project& p = project(hours);
  rawcv_e2e::Answers a;
  a.form = form;
  a.seq_or_format = seq_or_format;
  a.end = end_time(hours);
  for (auto _ : state) {
    std::filesystem::remove(p.dir / "windows.kvt");
    auto r = p.run(a.list());
    if (r.status != 0) state.SkipWithError("rawcv failed");
  }
  const double samples = hours * 3600.0 * 12.0;
  state.counters["samples/s"] =
      benchmark::Counter(samples * double(state.iterations()), benchmark::Counter::kIsRate);
  rusage ru{};
  getrusage(RUSAGE_CHILDREN, &ru);
  state.counters["peak_rss_kb"] = double(ru.ru_maxrss);  // largest child so far
}

void BinarySeqRec1(benchmark::State& s) { run(s, "u", "1"); }
void BinarySeqRec60(benchmark::State& s) { run(s, "u", "60"); }
void AsciiFree(benchmark::State& s) { run(s, "f", ""); }

BENCHMARK(BinarySeqRec1)->Arg(1)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BinarySeqRec60)->Arg(1)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(AsciiFree)->Arg(1)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
