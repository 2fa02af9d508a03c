// The fast energy path against the plain reference loop, bit for bit, for
// every kernel this processor can run.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "energy/energy_tables.h"
#include "energy/fast_energy.h"
#include "energy/interaction_energy.h"

namespace packscan {
namespace {

std::uint32_t bitsOf(float value) { return std::bit_cast<std::uint32_t>(value); }

// Bit patterns, so that -0 differs from +0 and every NaN is held to its payload.
void expectSameBits(const PairEnergy& fast, const PairEnergy& reference, const std::string& where) {
  EXPECT_EQ(bitsOf(fast.EVDW), bitsOf(reference.EVDW)) << where << ": EVDW " << fast.EVDW << " vs " << reference.EVDW;
  EXPECT_EQ(bitsOf(fast.ECOUL), bitsOf(reference.ECOUL)) << where << ": ECOUL " << fast.ECOUL << " vs " << reference.ECOUL;
  EXPECT_EQ(bitsOf(fast.total), bitsOf(reference.total)) << where << ": total " << fast.total << " vs " << reference.total;
}

// Types 1..5 carry the element parameters of S, C, H, N, O; type 7 has none.
TypeTable elementTypes() {
  TypeTable types;
  const float EPS[] = {0.8452f, 0.2343f, 0.0837f, 0.1797f, 0.2466f};
  const float RSTAR[] = {2.15f, 1.96f, 1.62f, 1.93f, 1.82f};
  for (int t = 1; t <= 5; ++t) {
    types.EPS[t] = EPS[t - 1];
    types.RSTAR[t] = RSTAR[t - 1];
  }
  return types;
}

// A random molecule A and one copy of it for a kind of geometry.
struct GeometryCase {
  const char* name;
  float spread;           // A's atoms lie in a cube of this edge
  float offset;           // the copy, mirrored in x, sits about this far away
  float chargeScale;      // charges uniform in +-chargeScale
  int untypedPercent;     // atoms of types without parameters (0, -3, 7, 12000)
  int coincidentPercent;  // copy atoms placed exactly on an atom of A
};

const GeometryCase kCases[] = {
    {"molecular", 8.0f, 4.0f, 0.5f, 0, 0},
    {"near pairs", 1.0f, 0.3f, 0.5f, 0, 0},
    {"tiny distances, sixth power underflows", 1e-18f, 1e-18f, 0.5f, 0, 0},
    {"far pairs, exp in the subnormal range", 8.0f, 27.0f, 0.5f, 0, 0},
    {"far pairs, exp underflows", 20.0f, 500.0f, 0.5f, 0, 0},
    {"zero charges", 8.0f, 3.0f, 0.0f, 0, 0},
    {"types without parameters", 6.0f, 3.0f, 0.5f, 40, 0},
    {"coincident atoms", 5.0f, 2.0f, 0.5f, 0, 25},
    {"coincident untyped atoms", 5.0f, 2.0f, 0.5f, 50, 30},
    {"huge coordinates", 1e30f, 1e30f, 0.5f, 0, 0},
    {"huge charges", 6.0f, 3.0f, 1e20f, 0, 10},
};

struct Molecules {
  Cood cood;
  Coordinates BX{}, BY{}, BZ{};  // two copies, for the evaluation of both in one pass
  Coordinates CX{}, CY{}, CZ{};
};

Molecules makeMolecules(const GeometryCase& g, int NATOM, std::mt19937& random) {
  std::uniform_real_distribution<float> unit(-0.5f, 0.5f);
  std::uniform_int_distribution<int> percent(0, 99);
  std::uniform_int_distribution<int> element(1, 5);
  std::uniform_int_distribution<int> atom(1, NATOM < 1 ? 1 : NATOM);
  const std::int32_t untypedTypes[] = {0, -3, 7, 12000};
  Molecules m;
  Cood& cood = m.cood;
  for (int i = 1; i <= NATOM; ++i) {
    cood.X[i] = g.spread * unit(random);
    cood.Y[i] = g.spread * unit(random);
    cood.Z[i] = g.spread * unit(random);
    cood.Q[i] = g.chargeScale * unit(random);
    cood.ITYPE[i] = percent(random) < g.untypedPercent ? untypedTypes[percent(random) % 4] : element(random);
  }
  const float shifts[2][3] = {{g.offset, 0.3f * g.offset, -0.7f * g.offset}, {0.1f * g.offset, -g.offset, g.offset}};
  Coordinates* copies[2][3] = {{&m.BX, &m.BY, &m.BZ}, {&m.CX, &m.CY, &m.CZ}};
  for (int c = 0; c < 2; ++c) {
    for (int j = 1; j <= NATOM; ++j) {
      const bool onAtom = percent(random) < g.coincidentPercent;
      const int k = atom(random);
      (*copies[c][0])[j] = onAtom ? cood.X[k] : shifts[c][0] - cood.X[j];
      (*copies[c][1])[j] = onAtom ? cood.Y[k] : shifts[c][1] + cood.Y[j];
      (*copies[c][2])[j] = onAtom ? cood.Z[k] : shifts[c][2] + cood.Z[j];
    }
  }
  return m;
}

const int kAtomCounts[] = {0, 1, 2, 3, 5, 8, 15, 16, 17, 31, 33, 64, 99, 100};

TEST(FastEnergy, MatchesTheReferenceBitForBitOnRandomGeometries) {
  const TypeTable types = elementTypes();
  EnergyTables tables;
  for (const GeometryCase& g : kCases) {
    for (int NATOM : kAtomCounts) {
      for (unsigned seed = 1; seed <= 3; ++seed) {
        std::mt19937 random(seed * 1000 + NATOM);
        const Molecules m = makeMolecules(g, NATOM, random);
        buildEnergyTables(m.cood, NATOM, types, tables);
        const PairEnergy refB = interactionEnergy(m.cood, NATOM, types, m.BX, m.BY, m.BZ);
        const PairEnergy refC = interactionEnergy(m.cood, NATOM, types, m.CX, m.CY, m.CZ);
        for (EnergyKernel kernel : supportedEnergyKernels()) {
          const std::string where = std::string(g.name) + ", NATOM " + std::to_string(NATOM) + ", seed " +
                                    std::to_string(seed) + ", kernel " + kernelName(kernel);
          expectSameBits(interactionEnergyFast(m.cood, NATOM, tables, m.BX, m.BY, m.BZ, kernel), refB,
                         where + ", one copy");
          const auto both =
              interactionEnergyTwoFast(m.cood, NATOM, tables, m.BX, m.BY, m.BZ, m.CX, m.CY, m.CZ, kernel);
          expectSameBits(both[0], refB, where + ", first of two copies");
          expectSameBits(both[1], refC, where + ", second of two copies");
        }
      }
    }
  }
}

// What the pairs of a geometry reach: the argument of exp, coincident atoms,
// pairs without parameters and sixth powers that underflow to 0.
struct PairStats {
  int pairs = 0;
  int subnormalExp = 0;   // exp(-(12 RHO)) below the smallest normal float
  int underflowExp = 0;   // exp(-(12 RHO)) rounds to 0 in single precision
  int coincident = 0;
  int noParameters = 0;
  int sixthPowerZero = 0;
};

PairStats pairStats(const Molecules& m, int NATOM, const EnergyTables& tables) {
  PairStats stats;
  for (int j = 1; j <= NATOM; ++j) {
    for (int i = 1; i <= NATOM; ++i) {
      const float DX = m.cood.X[i] - m.BX[j], DY = m.cood.Y[i] - m.BY[j], DZ = m.cood.Z[i] - m.BZ[j];
      const float DIST = std::sqrt(((DX * DX) + (DY * DY)) + (DZ * DZ));
      const float RHO = DIST / tables.R0IJ[j * kAtomSlots + i];
      const float x = -(12.0f * RHO);
      const float s = RHO * RHO;
      ++stats.pairs;
      stats.subnormalExp += x < -87.34f && x > -103.97f;
      stats.underflowExp += x < -103.98f;
      stats.coincident += DIST == 0.0f;
      stats.noParameters += tables.EPSIJ[j * kAtomSlots + i] == 0.0f;
      stats.sixthPowerZero += DIST != 0.0f && s * (s * s) == 0.0f;
    }
  }
  return stats;
}

// The scenarios above must really reach the cases they are named after.
TEST(FastEnergy, RandomGeometriesReachTheirCases) {
  const TypeTable types = elementTypes();
  EnergyTables tables;
  auto statsOf = [&](const char* name) {
    for (const GeometryCase& g : kCases) {
      if (std::string(g.name) != name) continue;
      std::mt19937 random(3000 + 100);
      const Molecules m = makeMolecules(g, 100, random);
      buildEnergyTables(m.cood, 100, types, tables);
      return pairStats(m, 100, tables);
    }
    ADD_FAILURE() << "no case " << name;
    return PairStats{};
  };
  EXPECT_GT(statsOf("far pairs, exp in the subnormal range").subnormalExp, 100);
  const PairStats far = statsOf("far pairs, exp underflows");
  EXPECT_EQ(far.underflowExp, far.pairs);
  EXPECT_GT(statsOf("tiny distances, sixth power underflows").sixthPowerZero, 0);
  EXPECT_GT(statsOf("types without parameters").noParameters, 1000);
  EXPECT_GT(statsOf("coincident atoms").coincident, 10);
  const PairStats both = statsOf("coincident untyped atoms");
  EXPECT_GT(both.coincident, 10);
  EXPECT_GT(both.noParameters, 1000);
}

// One pair with a known result, evaluated with every kernel: atom 1 of A at
// (x, 0, 0) and copy atom 2 at the origin. The other three pairs are so far
// apart that their squared distance overflows, and they add exactly zero.
TEST(FastEnergy, KnownPairs) {
  const TypeTable types = elementTypes();
  struct Case {
    const char* name;
    float x, qi, qj;
    std::int32_t ti, tj;
    float EVDW, ECOUL;
  };
  const float inf = std::numeric_limits<float>::infinity();
  const Case cases[] = {
      {"two carbon atoms at RHO = 1", 3.92f, 0.0f, 0.0f, 2, 2, 0.2343f * -1.1194649f, 0.0f},
      {"charges 0.5 and -0.5 at DIST = 2", 2.0f, 0.5f, -0.5f, 7, 7, 0.0f, -172.5f},
      {"coincident pair", 0.0f, 0.5f, -0.5f, 2, 2, inf, 0.0f},
      {"coincident pair without parameters", 0.0f, 0.5f, -0.5f, 7, 0, inf, 0.0f},
  };
  for (const Case& c : cases) {
    Cood cood;
    cood.X[1] = c.x;
    cood.Q[1] = c.qi;
    cood.ITYPE[1] = c.ti;
    cood.Y[2] = 1e30f;
    cood.Q[2] = c.qj;
    cood.ITYPE[2] = c.tj;
    Coordinates CX{}, CY{}, CZ{};
    CX[1] = 1e30f;
    EnergyTables tables;
    buildEnergyTables(cood, 2, types, tables);
    const PairEnergy reference = interactionEnergy(cood, 2, types, CX, CY, CZ);
    EXPECT_FLOAT_EQ(reference.EVDW, c.EVDW) << c.name;
    EXPECT_FLOAT_EQ(reference.ECOUL, c.ECOUL) << c.name;
    for (EnergyKernel kernel : supportedEnergyKernels())
      expectSameBits(interactionEnergyFast(cood, 2, tables, CX, CY, CZ, kernel), reference,
                     std::string(c.name) + ", kernel " + kernelName(kernel));
  }
}

// The kernels' exponential on arguments chosen at the edges, and a spread of
// random ones; the whole float range is covered by the bench tool exp_exhaustive.
TEST(FastEnergy, KernelExponentialMatchesStdExp) {
  std::vector<float> x = {
      0.0f, -0.0f, -1e-45f, -1e-30f, -1e-8f, -0.0216f, -0.0217f, -0.5f, -1.0f, -12.0f, -87.33f, -87.34f,
      -100.0f, -103.27f, -103.28f, -103.97f, -103.98f, -104.0f, -150.0f, -199.9f, -200.0f, -200.1f, -745.2f,
      -3e38f, -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(),
      -std::numeric_limits<float>::quiet_NaN(), 1e-30f, 1.0f, 88.72f, 88.73f, 250.0f,
      std::numeric_limits<float>::infinity()};
  std::mt19937 random(11);
  std::uniform_int_distribution<std::uint32_t> negative(0x80000000u, 0xC3000000u);  // -0 .. -128
  std::uniform_real_distribution<float> band(-104.0f, 0.0f);
  while (x.size() < 200000) {
    x.push_back(std::bit_cast<float>(negative(random)));
    x.push_back(band(random));
  }
  while (x.size() % 16 != 0) x.push_back(-1.0f);
  std::vector<float> out(x.size());
  for (EnergyKernel kernel : supportedEnergyKernels()) {
    kernelExp(kernel, x.data(), out.data(), static_cast<long>(x.size()));
    int mismatches = 0;
    for (std::size_t k = 0; k < x.size(); ++k) {
      const float expected = static_cast<float>(std::exp(static_cast<double>(x[k])));
      if (bitsOf(out[k]) != bitsOf(expected) && ++mismatches <= 5)
        ADD_FAILURE() << kernelName(kernel) << ": exp(" << x[k] << ") gave " << out[k] << ", expected " << expected;
    }
    EXPECT_EQ(mismatches, 0) << kernelName(kernel);
  }
}

TEST(FastEnergy, BestKernelIsSupported) {
  const std::vector<EnergyKernel> kernels = supportedEnergyKernels();
  EXPECT_EQ(kernels.front(), EnergyKernel::Scalar);
  EXPECT_EQ(kernels.back(), bestEnergyKernel());
}

}  // namespace
}  // namespace packscan
