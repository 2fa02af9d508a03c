// Cost of one energy sum of A with a copy, per pair term, for the reference
// loop and each kernel this processor runs.
#include <benchmark/benchmark.h>

#include <random>

#include "energy/energy_tables.h"
#include "energy/fast_energy.h"
#include "energy/interaction_energy.h"

namespace packscan {
namespace {

// A compact random molecule of the five elements and a copy beside it, at
// distances like those the search visits.
struct Molecule {
  Cood cood;
  TypeTable types;
  EnergyTables tables;

  explicit Molecule(int natom) {
    const float eps[] = {0.8452f, 0.2343f, 0.0837f, 0.1797f, 0.2466f};
    const float rstar[] = {2.15f, 1.96f, 1.62f, 1.93f, 1.82f};
    for (int t = 1; t <= 5; ++t) types.EPS[t] = eps[t - 1], types.RSTAR[t] = rstar[t - 1];
    std::mt19937 random(42);
    std::uniform_real_distribution<float> spread(-4.0f, 4.0f), charge(-0.4f, 0.4f);
    for (int i = 1; i <= natom; ++i) {
      cood.ITYPE[i] = 1 + i % 5;
      cood.X[i] = spread(random), cood.Y[i] = spread(random), cood.Z[i] = 0.3f * spread(random);
      cood.Q[i] = charge(random);
      cood.XB[i] = cood.X[i] + 1.0f, cood.YB[i] = cood.Y[i] - 0.5f, cood.ZB[i] = cood.Z[i] + 3.6f;
      cood.XC[i] = cood.X[i], cood.YC[i] = cood.Y[i] - 3.5f, cood.ZC[i] = cood.Z[i] + 3.5f;
    }
    tables = buildEnergyTables(cood, natom, types);
  }
};

void setPairCounter(benchmark::State& state, int natom, int sums) {
  state.counters["ns_per_pair"] = benchmark::Counter(static_cast<double>(state.iterations()) * natom * natom * sums,
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Reference(benchmark::State& state) {
  const int natom = static_cast<int>(state.range(0));
  const Molecule m(natom);
  for (auto _ : state)
    benchmark::DoNotOptimize(interactionEnergy(m.cood, natom, m.types, m.cood.XB, m.cood.YB, m.cood.ZB));
  setPairCounter(state, natom, 1);
}

void Fast(benchmark::State& state, KernelIsa isa) {
  if (!kernelSupported(isa)) return state.SkipWithError("not supported by this processor");
  const int natom = static_cast<int>(state.range(0));
  const Molecule m(natom);
  for (auto _ : state)
    benchmark::DoNotOptimize(fastEnergy(isa, m.tables, m.cood, m.cood.XB, m.cood.YB, m.cood.ZB));
  setPairCounter(state, natom, 1);
}

// Both sums of a trial, A with B and A with C, side by side.
void FastPair(benchmark::State& state, KernelIsa isa) {
  if (!kernelSupported(isa)) return state.SkipWithError("not supported by this processor");
  const int natom = static_cast<int>(state.range(0));
  const Molecule m(natom);
  PairEnergy withB, withC;
  for (auto _ : state) {
    fastEnergyPair(isa, m.tables, m.cood, m.cood.XB, m.cood.YB, m.cood.ZB, m.cood.XC, m.cood.YC, m.cood.ZC, withB,
                   withC);
    benchmark::DoNotOptimize(withB);
    benchmark::DoNotOptimize(withC);
  }
  setPairCounter(state, natom, 2);
}

BENCHMARK(Reference)->Arg(10)->Arg(30)->Arg(100);
BENCHMARK_CAPTURE(Fast, avx512, KernelIsa::Avx512)->Arg(10)->Arg(30)->Arg(100);
BENCHMARK_CAPTURE(Fast, avx2, KernelIsa::Avx2)->Arg(10)->Arg(30)->Arg(100);
BENCHMARK_CAPTURE(FastPair, avx512, KernelIsa::Avx512)->Arg(10)->Arg(30)->Arg(100);
BENCHMARK_CAPTURE(FastPair, avx2, KernelIsa::Avx2)->Arg(10)->Arg(30)->Arg(100);

}  // namespace
}  // namespace packscan

BENCHMARK_MAIN();
