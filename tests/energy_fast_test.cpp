#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "energy/energy_tables.h"
#include "energy/fast_energy.h"
#include "energy/interaction_energy.h"

namespace packscan {
namespace {

std::uint32_t bits(float value) { return std::bit_cast<std::uint32_t>(value); }

std::vector<KernelIsa> vectorKernels() {
  std::vector<KernelIsa> kernels;
  for (KernelIsa isa : {KernelIsa::Avx2, KernelIsa::Avx512})
    if (kernelSupported(isa)) kernels.push_back(isa);
  return kernels;
}

// Molecule A and two copies in one of several kinds of geometry.
struct Geometry {
  Cood cood;
  TypeTable types;
  int natom = 0;
};

enum class Kind { Ordinary, Far, Near, Coincident, Unparameterised, Huge };

Geometry makeGeometry(Kind kind, int natom, std::mt19937& random) {
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  Geometry g;
  g.natom = natom;
  const float eps[] = {0.8452f, 0.2343f, 0.0837f, 0.1797f, 0.2466f};
  const float rstar[] = {2.15f, 1.96f, 1.62f, 1.93f, 1.82f};
  for (int t = 1; t <= 5; ++t) g.types.EPS[t] = eps[t - 1], g.types.RSTAR[t] = rstar[t - 1];
  const float spread = kind == Kind::Far ? 60.0f : kind == Kind::Near ? 0.6f : 5.0f;
  for (int i = 1; i <= natom; ++i) {
    g.cood.ITYPE[i] = 1 + static_cast<int>(random() % 5);
    if (kind == Kind::Unparameterised && i % 3 == 0) g.cood.ITYPE[i] = i % 2 ? 0 : 7;  // below 1, or no parameters
    g.cood.X[i] = spread * unit(random);
    g.cood.Y[i] = spread * unit(random);
    g.cood.Z[i] = spread * unit(random);
    g.cood.Q[i] = i % 4 == 0 ? 0.0f : 0.5f * unit(random);
    if (kind == Kind::Huge && i % 5 == 0) {
      g.cood.X[i] = 1e30f;
      g.cood.Q[i] = 3e18f;
    }
    const float shift = kind == Kind::Far ? 80.0f : kind == Kind::Near ? 0.3f : 3.5f;
    g.cood.XB[i] = -g.cood.X[i] + unit(random);
    g.cood.YB[i] = g.cood.Y[i] + shift * unit(random);
    g.cood.ZB[i] = g.cood.Z[i] + shift;
    g.cood.XC[i] = g.cood.X[i];
    g.cood.YC[i] = g.cood.Y[i] - shift;
    g.cood.ZC[i] = g.cood.Z[i] + shift;
    if (kind == Kind::Coincident && i % 7 == 1) {  // an image on top of an A atom
      g.cood.XB[i] = g.cood.X[1], g.cood.YB[i] = g.cood.Y[1], g.cood.ZB[i] = g.cood.Z[1];
      g.cood.XC[i] = g.cood.X[i], g.cood.YC[i] = g.cood.Y[i], g.cood.ZC[i] = g.cood.Z[i];
    }
  }
  return g;
}

void expectSameBits(const PairEnergy& fast, const PairEnergy& reference, const char* what) {
  EXPECT_EQ(bits(fast.EVDW), bits(reference.EVDW)) << what << ": " << fast.EVDW << " vs " << reference.EVDW;
  EXPECT_EQ(bits(fast.ECOUL), bits(reference.ECOUL)) << what << ": " << fast.ECOUL << " vs " << reference.ECOUL;
  EXPECT_EQ(bits(fast.total), bits(reference.total)) << what;
}

TEST(FastEnergy, SameBitsAsTheReferenceOnRandomGeometries) {
  const std::vector<KernelIsa> kernels = vectorKernels();
  if (kernels.empty()) GTEST_SKIP() << "no vector kernel runs on this processor";
  std::mt19937 random(2024);
  int compared = 0;
  for (Kind kind : {Kind::Ordinary, Kind::Far, Kind::Near, Kind::Coincident, Kind::Unparameterised, Kind::Huge}) {
    for (int natom : {1, 2, 7, 15, 16, 17, 31, 33, 64, 99, 100}) {
      for (int repeat = 0; repeat < 3; ++repeat) {
        const Geometry g = makeGeometry(kind, natom, random);
        const EnergyTables tables = buildEnergyTables(g.cood, natom, g.types);
        const PairEnergy refB = interactionEnergy(g.cood, natom, g.types, g.cood.XB, g.cood.YB, g.cood.ZB);
        const PairEnergy refC = interactionEnergy(g.cood, natom, g.types, g.cood.XC, g.cood.YC, g.cood.ZC);
        for (KernelIsa isa : kernels) {
          const char* name = kernelName(isa);
          expectSameBits(fastEnergy(isa, tables, g.cood, g.cood.XB, g.cood.YB, g.cood.ZB), refB, name);
          PairEnergy withB, withC;
          fastEnergyPair(isa, tables, g.cood, g.cood.XB, g.cood.YB, g.cood.ZB, g.cood.XC, g.cood.YC, g.cood.ZC,
                         withB, withC);
          expectSameBits(withB, refB, name);
          expectSameBits(withC, refC, name);
          ++compared;
        }
      }
    }
  }
  EXPECT_GT(compared, 0);
}

TEST(FastEnergy, NoAtoms) {
  Geometry g;
  const EnergyTables tables = buildEnergyTables(g.cood, 0, g.types);
  for (KernelIsa isa : vectorKernels()) {
    const PairEnergy e = fastEnergy(isa, tables, g.cood, g.cood.XB, g.cood.YB, g.cood.ZB);
    EXPECT_EQ(bits(e.total), 0u);
  }
}

// Samples the arguments the pair loop gives the exponential, with extra weight
// near the ends of the range; every float of the range is covered by the
// separate exhaustive check (bench/exp_exhaustive).
TEST(FastEnergy, ExponentialMatchesTheDoublePrecisionOne) {
  std::vector<float> x;
  std::mt19937 random(99);
  std::uniform_real_distribution<float> wide(-110.0f, 0.0f), small(-1e-3f, 0.0f), deep(-104.5f, -86.0f);
  for (int k = 0; k < 200000; ++k) x.push_back(wide(random));
  for (int k = 0; k < 20000; ++k) x.push_back(small(random)), x.push_back(deep(random));
  const float specials[] = {0.0f, -0.0f, -1e-45f, -87.33655f, -103.972f, -103.973f, -110.0f, -111.0f, -1e30f,
                            -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(),
                            1.0f, 88.0f};
  x.insert(x.end(), std::begin(specials), std::end(specials));
  for (KernelIsa isa : vectorKernels()) {
    std::vector<float> out(x.size());
    expExact(isa, x.data(), out.data(), static_cast<int>(x.size()));
    int mismatches = 0;
    for (std::size_t k = 0; k < x.size(); ++k)
      if (bits(out[k]) != bits(static_cast<float>(std::exp(static_cast<double>(x[k]))))) ++mismatches;
    EXPECT_EQ(mismatches, 0) << kernelName(isa);
  }
}

}  // namespace
}  // namespace packscan
