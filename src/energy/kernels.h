#pragma once

// The per-instruction-set kernels behind fast_energy.h. Each lives in its own
// file, compiled for its instruction set and called only after a CPU check.

#include "energy/energy_tables.h"
#include "energy/interaction_energy.h"
#include "input/cood.h"

namespace packscan {

// Molecule A and its charges as flat arrays from atom 1 on, with the pair tables.
struct KernelInput {
  const EnergyTables* tables;
  const float* X;
  const float* Y;
  const float* Z;
  const float* Q;
};

// Lanes of the double-precision exponential whose float rounding could depend
// on its last bits: a result within this relative distance of a float
// rounding boundary is recomputed with std::exp.
inline constexpr double kExpMargin = 0x1p-40;
// The same margin on the 29 mantissa bits that rounding a double to a normal
// float drops: the dropped bits must differ from the halfway pattern by more
// than this many units (2^12 units of 2^-52 are 2^-40 of the value).
inline constexpr long long kDroppedBits = (1LL << 29) - 1;
inline constexpr long long kHalfwayBits = 1LL << 28;
inline constexpr long long kDroppedMargin = 1LL << 13;
inline constexpr double kSmallestNormalFloat = 0x1p-126;
// Arguments below this give 0 in single precision whatever the double result;
// clamping to it keeps the scaling by 2^k within normal doubles.
inline constexpr float kExpFloor = -110.0f;

// exp(x) = 2^(k/16) * exp(r) with k = round(16 x / ln2) and |r| <= ln2/32.
// 2^(k/16) is 2^floor(k/16) times an entry of this table; exp(r) is the
// degree-5 Taylor polynomial (truncation below 1.5e-13, well inside kExpMargin).
inline constexpr double kExp2Sixteenths[16] = {
    0x1.0000000000000p+0, 0x1.0b5586cf9890fp+0, 0x1.172b83c7d517bp+0, 0x1.2387a6e756238p+0,
    0x1.306fe0a31b715p+0, 0x1.3dea64c123422p+0, 0x1.4bfdad5362a27p+0, 0x1.5ab07dd485429p+0,
    0x1.6a09e667f3bcdp+0, 0x1.7a11473eb0187p+0, 0x1.8ace5422aa0dbp+0, 0x1.9c49182a3f090p+0,
    0x1.ae89f995ad3adp+0, 0x1.c199bdd85529cp+0, 0x1.d5818dcfba487p+0, 0x1.ea4afa2a490dap+0};
inline constexpr int kExpDegree = 5;
inline constexpr double kInverseFactorial[kExpDegree + 1] = {1.0, 1.0, 1.0 / 2, 1.0 / 6, 1.0 / 24, 1.0 / 120};
inline constexpr double kRoundingShifter = 0x1.8p52;
inline constexpr double kSixteenOverLn2 = 0x1.71547652b82fep+4;
// ln2/16 rounded to double: |k| < 2600, so leaving out the rest (2^-60 of it)
// costs below 1e-14 of the result, inside kExpMargin with the truncation.
inline constexpr double kLn2OverSixteen = 0x1.62e42fefa39efp-5;

#define PACKSCAN_DECLARE_KERNELS(ns)                                                                          \
  namespace ns {                                                                                              \
  PairEnergy energy(const KernelInput& in, const float* CX, const float* CY, const float* CZ);                \
  void energyPair(const KernelInput& in, const float* const first[3], const float* const second[3],          \
                  PairEnergy& e1, PairEnergy& e2);                                                            \
  void expExact(const float* x, float* out, int n);                                                           \
  }

PACKSCAN_DECLARE_KERNELS(avx512)
PACKSCAN_DECLARE_KERNELS(avx2)

#undef PACKSCAN_DECLARE_KERNELS

}  // namespace packscan
