// interactionEnergy: the plain reference loop against the fast path, per kernel,
// for one copy and for two copies in one pass. The counter time_per_pair is
// the time per pair term (NATOM^2 terms per copy).

#include <benchmark/benchmark.h>

#include "bench_molecules.h"
#include "energy/fast_energy.h"
#include "energy/interaction_energy.h"

namespace packscan {
namespace {

// NATOM = 10 and 30 come from the 30-atom listing, 100 from the 100-atom one.
const BenchMolecules& molecules(int NATOM) {
  static BenchMolecules m10, m30, m100;
  static const bool loaded = (loadBenchMolecules("atoms30", 10, m10), loadBenchMolecules("atoms30", 30, m30),
                              loadBenchMolecules("atoms100", 100, m100), true);
  (void)loaded;
  return NATOM == 10 ? m10 : NATOM == 30 ? m30 : m100;
}

void setPairCounter(benchmark::State& state, int copies) {
  const double pairs = static_cast<double>(state.range(0)) * static_cast<double>(state.range(0)) * copies;
  state.counters["time_per_pair"] = benchmark::Counter(static_cast<double>(state.iterations()) * pairs,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Reference(benchmark::State& state) {
  const BenchMolecules& m = molecules(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(interactionEnergy(m.cood, m.run.NATOM, m.types, m.cood.XB, m.cood.YB, m.cood.ZB));
  setPairCounter(state, 1);
}

void BM_Fast(benchmark::State& state) {
  const BenchMolecules& m = molecules(static_cast<int>(state.range(0)));
  const auto kernel = static_cast<EnergyKernel>(state.range(1));
  for (auto _ : state)
    benchmark::DoNotOptimize(
        interactionEnergyFast(m.cood, m.run.NATOM, m.tables, m.cood.XB, m.cood.YB, m.cood.ZB, kernel));
  setPairCounter(state, 1);
  state.SetLabel(kernelName(kernel));
}

void BM_FastTwoCopies(benchmark::State& state) {
  const BenchMolecules& m = molecules(static_cast<int>(state.range(0)));
  const auto kernel = static_cast<EnergyKernel>(state.range(1));
  for (auto _ : state)
    benchmark::DoNotOptimize(interactionEnergyTwoFast(m.cood, m.run.NATOM, m.tables, m.cood.XB, m.cood.YB,
                                                      m.cood.ZB, m.cood.XC, m.cood.YC, m.cood.ZC, kernel));
  setPairCounter(state, 2);
  state.SetLabel(kernelName(kernel));
}

void atomCounts(benchmark::internal::Benchmark* b) {
  for (int NATOM : {10, 30, 100}) b->Args({NATOM});
}

// Every kernel the processor runs, widest first, at each atom count.
void kernelsAndAtomCounts(benchmark::internal::Benchmark* b) {
  const std::vector<EnergyKernel> kernels = supportedEnergyKernels();
  for (auto k = kernels.rbegin(); k != kernels.rend(); ++k)
    for (int NATOM : {10, 30, 100}) b->Args({NATOM, static_cast<long>(*k)});
}

BENCHMARK(BM_Reference)->Apply(atomCounts);
BENCHMARK(BM_Fast)->Apply(kernelsAndAtomCounts);
BENCHMARK(BM_FastTwoCopies)->Apply(kernelsAndAtomCounts);

}  // namespace
}  // namespace packscan

BENCHMARK_MAIN();
