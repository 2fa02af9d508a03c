// Whole runs of packscan on the bundled 30- and 100-atom listings, with the
// reference energy loop and with the fast path, in a scratch folder.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "run/packscan_run.h"

namespace packscan {
namespace {

namespace fs = std::filesystem;

void BM_WholeRun(benchmark::State& state, const char* listing, EnergyPath path) {
  const fs::path folder = fs::temp_directory_path() / ("packscan_run_bench_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  fs::copy_file(fs::path(PACKSCAN_BENCH_LISTINGS) / listing / "atp.dat", folder / "atp.dat",
                fs::copy_options::overwrite_existing);
  RunOptions options;
  options.energyPath = path;
  for (auto _ : state) {
    if (runPackscan(folder.string(), options) != kExitNormal) state.SkipWithError("the run failed");
  }
  state.SetLabel(path == EnergyPath::Fast ? kernelName(options.kernel) : "reference");
  fs::remove_all(folder);
}

BENCHMARK_CAPTURE(BM_WholeRun, atoms30_reference, "atoms30", EnergyPath::Reference)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WholeRun, atoms30_fast, "atoms30", EnergyPath::Fast)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WholeRun, atoms100_reference, "atoms100", EnergyPath::Reference)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WholeRun, atoms100_fast, "atoms100", EnergyPath::Fast)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace packscan

BENCHMARK_MAIN();
