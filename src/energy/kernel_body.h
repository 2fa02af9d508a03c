#pragma once

// The energy kernel written once over a set of lane operations V. Include it
// only from a kernel_*.cpp file, which defines V inside an unnamed namespace:
// everything here has internal linkage and is compiled for that file's
// instruction set alone.
//
// V provides, for kLanes float lanes (F, mask M) and two halves of kLanes / 2
// double lanes (D) with 64-bit integer views (I):
//   F: load store set1 add sub mul div sqrt neg select zip zip64
//   M: isZero isNan differ(a, b) (not equal, or unordered) bits
//   D: widenLow widenHigh narrow addD subD mulD fmaD minD maxD set1D
//   I: bitsOf fromBits addI shiftRight4 shiftLeft52 powTable
// Every F operation is one correctly rounded IEEE operation, exactly as in
// scalar code, so each lane gives the bits of the plain loop. fmaD(a, b, c) is
// a * b + c, fused where the instruction set has it; it serves only inside
// the double-precision exponential, whose result is checked before use.

#include <cmath>
#include <cstdint>

#include "energy/energy_kernels.h"

namespace packscan {
namespace {

// exp(x) = 2^(k/16) * exp(r), k = nearest integer to x * 16/ln2 and
// r = x - k * ln2/16, |r| <= ln2/32 (slightly more when the product rounds the
// other way). ln2/16 is split so that k * kLn2Over16Hi is exact for |k| < 2^13;
// |x| <= 200 keeps |k| below 4700.
constexpr double kSixteenOverLn2 = 0x1.71547652b82fep+4;
constexpr double kLn2Over16Hi = 0x1.62e42fefa4000p-5;
constexpr double kLn2Over16Lo = -0x1.8432a1b0e2634p-47;
// Adding 1.5 * 2^52 rounds to an integer and leaves it in the low mantissa bits.
constexpr double kRoundShift = 0x1.8p52;
// Beyond +-200 the single-precision result is 0 or infinity either way.
constexpr double kArgumentLimit = 200.0;

// 2^(j/16), j = 0..15, correctly rounded.
alignas(64) constexpr double kPowTable[16] = {
    0x1.0000000000000p+0, 0x1.0b5586cf9890fp+0, 0x1.172b83c7d517bp+0, 0x1.2387a6e756238p+0,
    0x1.306fe0a31b715p+0, 0x1.3dea64c123422p+0, 0x1.4bfdad5362a27p+0, 0x1.5ab07dd485429p+0,
    0x1.6a09e667f3bcdp+0, 0x1.7a11473eb0187p+0, 0x1.8ace5422aa0dbp+0, 0x1.9c49182a3f090p+0,
    0x1.ae89f995ad3adp+0, 0x1.c199bdd85529cp+0, 0x1.d5818dcfba487p+0, 0x1.ea4afa2a490dap+0,
};

// 1/n! for the Taylor series of exp(r) up to r^6; the first term left out is
// below 2^-51 relative for |r| <= 0.0217.
constexpr double kInvFact2 = 0x1.0000000000000p-1;
constexpr double kInvFact3 = 0x1.5555555555555p-3;
constexpr double kInvFact4 = 0x1.5555555555555p-5;
constexpr double kInvFact5 = 0x1.1111111111111p-7;
constexpr double kInvFact6 = 0x1.6c16c16c16c17p-10;

// The double result is within 2^-49 of exp(x) relative. Every value within
// 2^-44 of it (and so exp(x) itself, and any faithful std::exp) rounds to the
// same float unless a float rounding boundary lies in between; lanes where it
// might are recomputed with std::exp.
constexpr double kBracket = 0x1.0p-44;

// The pieces below are forced inline so that the compiler can interleave the
// work of neighbouring blocks; as calls they would pass every register through memory.
#define PACKSCAN_KERNEL_INLINE [[gnu::always_inline]] inline

template <class V>
PACKSCAN_KERNEL_INLINE typename V::D expDouble(typename V::D x) {
  using D = typename V::D;
  x = V::maxD(V::minD(x, V::set1D(kArgumentLimit)), V::set1D(-kArgumentLimit));
  const D shifted = V::fmaD(x, V::set1D(kSixteenOverLn2), V::set1D(kRoundShift));
  const D k = V::subD(shifted, V::set1D(kRoundShift));
  const D r = V::fmaD(k, V::set1D(-kLn2Over16Lo), V::fmaD(k, V::set1D(-kLn2Over16Hi), x));
  // Estrin's scheme: short dependency chains let neighbouring blocks overlap.
  const D r2 = V::mulD(r, r);
  const D c23 = V::fmaD(V::set1D(kInvFact3), r, V::set1D(kInvFact2));
  const D c45 = V::fmaD(V::set1D(kInvFact5), r, V::set1D(kInvFact4));
  const D c456 = V::fmaD(V::set1D(kInvFact6), r2, c45);
  const D c2to6 = V::fmaD(c456, r2, c23);
  const D p = V::fmaD(c2to6, r2, V::addD(V::set1D(1.0), r));
  // The low 4 bits of `shifted` are k mod 16 and pick 2^(j/16); the next 12
  // are floor(k/16) mod 2^12, which added to the exponent field of the product
  // (1 <= it < 2.1) multiplies it by 2^floor(k/16) exactly, |k| < 2^13 keeping
  // the result a normal number.
  const auto kBits = V::bitsOf(shifted);
  const D product = V::mulD(V::powTable(kBits), p);
  return V::fromBits(V::addI(V::bitsOf(product), V::shiftLeft52(V::shiftRight4(kBits))));
}

// Rare lanes whose result the vector exponential cannot vouch for.
[[gnu::noinline, gnu::cold]] void recomputeLanes(const float* x, float* e, unsigned lanes) {
  for (int l = 0; lanes != 0; ++l, lanes >>= 1)
    if (lanes & 1u) e[l] = static_cast<float>(std::exp(static_cast<double>(x[l])));
}

// e[l] = (float)exp((double)x[l]) for the kLanes values at x; `lanes` marks
// those that count (others may be left unchecked). Gives the number of lanes
// that fell back to std::exp.
template <class V>
PACKSCAN_KERNEL_INLINE int expSingle(const float* x, float* e, unsigned lanes) {
  using D = typename V::D;
  using F = typename V::F;
  const F xs = V::load(x);
  const D low = expDouble<V>(V::widenLow(xs));
  // The last block of a row often counts only lanes of its lower half.
  const D high = lanes >> (V::kLanes / 2) ? expDouble<V>(V::widenHigh(xs)) : low;
  const D bracketLow = V::mulD(low, V::set1D(kBracket));
  const D bracketHigh = V::mulD(high, V::set1D(kBracket));
  const F down = V::narrow(V::subD(low, bracketLow), V::subD(high, bracketHigh));
  const F up = V::narrow(V::addD(low, bracketLow), V::addD(high, bracketHigh));
  V::store(e, down);
  const unsigned redo = (V::bits(V::differ(down, up)) | V::bits(V::isNan(xs))) & lanes;
  if (redo == 0) return 0;
  recomputeLanes(x, e, redo);
  return __builtin_popcount(redo);
}

// Atoms of A in one row of terms, rounded up to whole blocks.
constexpr int kRowAtoms = 112;

// The intermediate values of one row of pair terms, per copy.
struct RowScratch {
  alignas(64) float DIST[kRowAtoms];
  alignas(64) float RHO[kRowAtoms];
  alignas(64) float x[kRowAtoms];  // -(12 * RHO), the argument of exp
  alignas(64) float e[kRowAtoms];  // exp of it
};

// One row of terms, pair by pair: for atom i of A the van der Waals and the
// Coulomb term of each copy side by side, so that one vector addition of
// neighbouring floats advances every sum by one term.
template <int kCopies>
struct alignas(64) RowTerms {
  float terms[kRowAtoms * 2 * kCopies];
};

// The chains of additions, EVDW and ECOUL of every copy, over one row of
// terms. They are advanced a few terms at a time in between the vector work
// of the next row, so that this work hides behind their latency: the fixed
// summation order allows no other parallelism in the sums.
template <int kCopies>
struct SumChains {
  float EVDW[kCopies];
  float ECOUL[kCopies];
  const float* terms;  // the row being added
  int next;            // the index of the next atom of A to add
  int end;
};

template <int kCopies>
PACKSCAN_KERNEL_INLINE void addTerm(SumChains<kCopies>& sums, int i) {
  const float* pair = sums.terms + i * 2 * kCopies;
#pragma GCC unroll 2
  for (int c = 0; c < kCopies; ++c) {
    sums.EVDW[c] = sums.EVDW[c] + pair[2 * c];
    sums.ECOUL[c] = sums.ECOUL[c] + pair[2 * c + 1];
  }
}

template <int kStep, int kCopies>
PACKSCAN_KERNEL_INLINE void advance(SumChains<kCopies>& sums) {
  if (sums.next + kStep <= sums.end) {
#pragma GCC unroll 16
    for (int k = 0; k < kStep; ++k) addTerm(sums, sums.next + k);
    sums.next += kStep;
  } else {
    for (; sums.next < sums.end; ++sums.next) addTerm(sums, sums.next);
  }
}

// The van der Waals and Coulomb terms of copy atom j with every atom of A, for
// every copy, as the plain loop forms them, including its two rules: a pair at
// DIST == 0 adds +infinity to EVDW and nothing to ECOUL (here -0, which leaves
// every sum as it is), and a pair with EPSIJ == 0 adds exactly 0 to EVDW. The
// work goes in three passes over the row, each short enough for the processor
// to overlap many blocks; every block of every pass also advances the sums of
// the row before.
template <class V, int kCopies>
PACKSCAN_KERNEL_INLINE void rowTerms(const KernelMolecule& m, const KernelCopy* copies, int j,
                                     RowScratch* s, RowTerms<kCopies>& out, SumChains<kCopies>& sums) {
  using F = typename V::F;
  constexpr int L = V::kLanes;
  // Three passes per block must between them add the block's L terms.
  constexpr int kStep = L / 3 + 1;
  const int N = m.NATOM;
  const int blocks = (N + L - 1) / L;
  const float* EPSIJ = m.EPSIJ + j * kernelRowStride + 1;
  const float* R0IJ = m.R0IJ + j * kernelRowStride + 1;
  for (int b = 0; b < blocks; ++b) {
    const int i = 1 + b * L;
    for (int c = 0; c < kCopies; ++c) {
      const F DX = V::sub(V::load(m.X + i), V::set1(copies[c].CX[j]));
      const F DY = V::sub(V::load(m.Y + i), V::set1(copies[c].CY[j]));
      const F DZ = V::sub(V::load(m.Z + i), V::set1(copies[c].CZ[j]));
      const F DIST = V::sqrt(V::add(V::add(V::mul(DX, DX), V::mul(DY, DY)), V::mul(DZ, DZ)));
      const F RHO = V::div(DIST, V::load(R0IJ + b * L));
      V::store(s[c].DIST + b * L, DIST);
      V::store(s[c].RHO + b * L, RHO);
      V::store(s[c].x + b * L, V::neg(V::mul(V::set1(12.0f), RHO)));
    }
    advance<kStep>(sums);
  }
  for (int b = 0; b < blocks; ++b) {
    const int count = N - b * L;
    const unsigned lanes = count >= L ? (1u << L) - 1 : (1u << count) - 1;
    for (int c = 0; c < kCopies; ++c) expSingle<V>(s[c].x + b * L, s[c].e + b * L, lanes);
    advance<kStep>(sums);
  }
  for (int b = 0; b < blocks; ++b) {
    F vdw[kCopies], coulomb[kCopies];
    const F EPSIJ_ = V::load(EPSIJ + b * L);
    const auto noParameters = V::isZero(EPSIJ_);
    const F Q1380 = V::load(m.Q1380 + 1 + b * L);
    for (int c = 0; c < kCopies; ++c) {
      const F DIST = V::load(s[c].DIST + b * L);
      const F RHO = V::load(s[c].RHO + b * L);
      const F repulsion = V::mul(V::load(s[c].e + b * L), V::set1(184000.0f));
      const F sq = V::mul(RHO, RHO);
      const F q = V::mul(sq, sq);
      const F dispersion = V::div(V::set1(2.25f), V::mul(sq, q));
      const F bracket = V::sub(repulsion, dispersion);
      vdw[c] = V::select(noParameters, V::set1(0.0f), V::mul(EPSIJ_, bracket));
      coulomb[c] = V::div(V::mul(V::set1(m.Q[j]), Q1380), DIST);
      const auto coincident = V::isZero(DIST);
      vdw[c] = V::select(coincident, V::set1(__builtin_inff()), vdw[c]);
      coulomb[c] = V::select(coincident, V::set1(-0.0f), coulomb[c]);
    }
    float* pairs = out.terms + b * L * 2 * kCopies;
    F low, high;
    V::zip(vdw[0], coulomb[0], low, high);
    if constexpr (kCopies == 1) {
      V::store(pairs, low);
      V::store(pairs + L, high);
    } else {
      F low2, high2, mixed;
      V::zip(vdw[1], coulomb[1], low2, high2);
      V::zip64(low, low2, mixed, low);
      V::store(pairs, mixed);
      V::store(pairs + L, low);
      V::zip64(high, high2, mixed, high);
      V::store(pairs + 2 * L, mixed);
      V::store(pairs + 3 * L, high);
    }
    advance<kStep>(sums);
  }
}

// The sums of A with kCopies copies, row j of terms (copy atom j with every
// atom of A) added while row j + 1 is formed.
template <class V, int kCopies>
void energySums(const KernelMolecule& m, const KernelCopy* copies, KernelSums* out) {
  static_assert(kRowAtoms % V::kLanes == 0);
  const int N = m.NATOM;
  RowTerms<kCopies> rows[2];
  RowScratch scratch[kCopies];
  SumChains<kCopies> sums;
  for (int c = 0; c < kCopies; ++c) sums.EVDW[c] = sums.ECOUL[c] = 0.0f;
  sums.terms = rows[0].terms;
  sums.next = sums.end = 0;  // nothing to add while the first row is formed
  for (int j = 1; j <= N; ++j) {
    const int row = (j - 1) & 1;
    rowTerms<V, kCopies>(m, copies, j, scratch, rows[row], sums);
    for (; sums.next < sums.end; ++sums.next) addTerm(sums, sums.next);  // whatever of row j - 1 is left
    sums.terms = rows[row].terms;
    sums.next = 0;
    sums.end = N;
  }
  for (; sums.next < sums.end; ++sums.next) addTerm(sums, sums.next);  // the last row
  for (int c = 0; c < kCopies; ++c) out[c] = {sums.EVDW[c], sums.ECOUL[c]};
}

template <class V>
void energySumsOf(const KernelMolecule& m, const KernelCopy* copies, int count, KernelSums* sums) {
  if (count == 2) energySums<V, 2>(m, copies, sums);
  else energySums<V, 1>(m, copies, sums);
}

template <class V>
long expLanesOf(const float* x, float* out, long n) {
  long redone = 0;
  for (long k = 0; k < n; k += V::kLanes) redone += expSingle<V>(x + k, out + k, (1u << V::kLanes) - 1);
  return redone;
}

}  // namespace
}  // namespace packscan
