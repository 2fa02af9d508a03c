// Whole runs (listing in, report and coordinate files out) on the bundled
// 30- and 100-atom listings, with the reference and the fast energy path.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "run/packscan_run.h"

namespace packscan {
namespace {

std::string scratchFor(const std::string& listing) {
  std::string pattern = (std::filesystem::temp_directory_path() / "packscan-bench-XXXXXX").string();
  const std::string dir = mkdtemp(pattern.data());
  std::filesystem::copy_file(std::string(PACKSCAN_SOURCE_DIR) + "/bench/listings/" + listing + "/atp.dat",
                             dir + "/atp.dat");
  return dir;
}

void WholeRun(benchmark::State& state, const std::string& listing, EnergyPath path) {
  const std::string dir = scratchFor(listing);
  for (auto _ : state) {
    if (runPackscan(dir, path) != 0) state.SkipWithError("the run failed");
  }
  std::filesystem::remove_all(dir);
}

BENCHMARK_CAPTURE(WholeRun, atoms30_reference, "atoms30", EnergyPath::Reference)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeRun, atoms30_fast, "atoms30", EnergyPath::Fast)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeRun, atoms100_reference, "atoms100", EnergyPath::Reference)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeRun, atoms100_fast, "atoms100", EnergyPath::Fast)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace packscan

BENCHMARK_MAIN();
