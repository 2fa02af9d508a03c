// Energy kernels for AVX-512 (F, DQ, VL). The pair terms of sixteen A atoms are
// computed at once with correctly rounded single-precision operations, then
// added one by one in the loop order of the reference.
#include <immintrin.h>

#include <cmath>
#include <limits>

#include "energy/kernel_sums.h"
#include "energy/kernels.h"

namespace packscan::avx512 {
namespace {

constexpr int kLanes = 16;

// exp in double for x >= kExpFloor. Adding 1.5 * 2^52 rounds 16 x / ln2 to the
// integer k and leaves k in the low bits, where it indexes the table and,
// shifted, scales the result.
[[gnu::always_inline]] inline __m512d expDouble(__m512d x) {
  const __m512d shifter = _mm512_set1_pd(kRoundingShifter);
  const __m512d shifted = _mm512_fmadd_pd(x, _mm512_set1_pd(kSixteenOverLn2), shifter);
  const __m512d k = _mm512_sub_pd(shifted, shifter);
  const __m512d r = _mm512_fnmadd_pd(k, _mm512_set1_pd(kLn2OverSixteen), x);
  __m512d p = _mm512_set1_pd(kInverseFactorial[kExpDegree]);
  for (int n = kExpDegree - 1; n >= 0; --n) p = _mm512_fmadd_pd(p, r, _mm512_set1_pd(kInverseFactorial[n]));
  const __m512i kBits = _mm512_castpd_si512(shifted);
  const __m512d entry = _mm512_permutex2var_pd(_mm512_loadu_pd(kExp2Sixteenths), kBits,
                                               _mm512_loadu_pd(kExp2Sixteenths + 8));
  // 2^floor(k/16) enters by adding floor(k/16) to the exponent field.
  const __m512i power = _mm512_slli_epi64(_mm512_srai_epi64(_mm512_slli_epi64(kBits, 32), 36), 52);
  return _mm512_castsi512_pd(_mm512_add_epi64(_mm512_castpd_si512(_mm512_mul_pd(p, entry)), power));
}

// Rounds eight double results to float and tells in which lanes that rounding
// is certain: the bits that the rounding drops lie clear of the halfway point
// by more than the error of the double result. Results in the float subnormal
// range are checked by rounding the ends of their error interval instead.
[[gnu::always_inline]] inline __m256 roundCertain(__m512d y, __mmask8& certain) {
  const __m512i dropped = _mm512_and_si512(_mm512_castpd_si512(y), _mm512_set1_epi64(kDroppedBits));
  const __m512i offHalfway = _mm512_abs_epi64(_mm512_sub_epi64(dropped, _mm512_set1_epi64(kHalfwayBits)));
  certain = _mm512_cmpgt_epi64_mask(offHalfway, _mm512_set1_epi64(kDroppedMargin));
  if (_mm512_cmp_pd_mask(y, _mm512_set1_pd(kSmallestNormalFloat), _CMP_LT_OQ)) {
    const __m256 below = _mm512_cvtpd_ps(_mm512_mul_pd(y, _mm512_set1_pd(1.0 - kExpMargin)));
    const __m256 above = _mm512_cvtpd_ps(_mm512_mul_pd(y, _mm512_set1_pd(1.0 + kExpMargin)));
    certain = _mm256_cmp_ps_mask(below, above, _CMP_EQ_OQ);
  }
  return _mm512_cvtpd_ps(y);
}

// Lanes whose rounding was uncertain (and NaN or positive arguments, which the
// pair loop never gives) take std::exp itself.
[[gnu::cold, gnu::noinline]] __m512 recompute(__m512 x, __m512 result, __mmask16 redo) {
  alignas(64) float args[kLanes], values[kLanes];
  _mm512_store_ps(args, x);
  _mm512_store_ps(values, result);
  for (int lane = 0; lane < kLanes; ++lane)
    if (redo >> lane & 1) values[lane] = static_cast<float>(std::exp(static_cast<double>(args[lane])));
  return _mm512_load_ps(values);
}

// (float)std::exp((double)x) in the lanes of `wanted`; other lanes are undefined.
[[gnu::always_inline]] inline __m512 expExact16(__m512 x, __mmask16 wanted) {
  const __m512 clamped = _mm512_max_ps(x, _mm512_set1_ps(kExpFloor));
  const __m512d low = _mm512_cvtps_pd(_mm512_castps512_ps256(clamped));
  const __m512d high = _mm512_cvtps_pd(_mm512_extractf32x8_ps(clamped, 1));
  __mmask8 certainLow, certainHigh;
  const __m256 fLow = roundCertain(expDouble(low), certainLow);
  const __m256 fHigh = roundCertain(expDouble(high), certainHigh);
  const __m512 result = _mm512_insertf32x8(_mm512_castps256_ps512(fLow), fHigh, 1);
  const __mmask16 ordinary = _mm512_cmp_ps_mask(x, _mm512_setzero_ps(), _CMP_LE_OQ);  // false for NaN
  const __mmask16 redo = wanted & ~(ordinary & (certainLow | (static_cast<__mmask16>(certainHigh) << 8)));
  return redo ? recompute(x, result, redo) : result;
}

// The van der Waals and Coulomb terms of copy atom j with A atoms i0 .. i0 + 15 (all from 0).
[[gnu::always_inline]] inline void blockTerms(const KernelInput& in, const float* const copy[3], int j, int i0, TermRow& row) {
  const EnergyTables& t = *in.tables;
  const int n = t.natom;
  const float* epsRow = t.EPSIJ.data() + static_cast<std::size_t>(j) * t.stride;
  const float* r0Row = t.R0IJ.data() + static_cast<std::size_t>(j) * t.stride;
  const __m512 cx = _mm512_set1_ps(copy[0][j]);
  const __m512 cy = _mm512_set1_ps(copy[1][j]);
  const __m512 cz = _mm512_set1_ps(copy[2][j]);
  const __m512 qj = _mm512_set1_ps(in.Q[j]);
  const __m512 zero = _mm512_setzero_ps();
  const __m512 sign = _mm512_set1_ps(-0.0f);
  const __mmask16 inMolecule = n - i0 >= kLanes ? 0xFFFF : static_cast<__mmask16>((1u << (n - i0)) - 1);
  const __m512 dx = _mm512_sub_ps(_mm512_loadu_ps(in.X + i0), cx);
  const __m512 dy = _mm512_sub_ps(_mm512_loadu_ps(in.Y + i0), cy);
  const __m512 dz = _mm512_sub_ps(_mm512_loadu_ps(in.Z + i0), cz);
  const __m512 dist = _mm512_sqrt_ps(
      _mm512_add_ps(_mm512_add_ps(_mm512_mul_ps(dx, dx), _mm512_mul_ps(dy, dy)), _mm512_mul_ps(dz, dz)));
  const __m512 eps = _mm512_loadu_ps(epsRow + i0);
  const __m512 rho = _mm512_div_ps(dist, _mm512_loadu_ps(r0Row + i0));
  const __mmask16 coincident = _mm512_cmp_ps_mask(dist, zero, _CMP_EQ_OQ);
  const __mmask16 noParameters = _mm512_cmp_ps_mask(eps, zero, _CMP_EQ_OQ);
  const __m512 e = expExact16(_mm512_xor_ps(_mm512_mul_ps(_mm512_set1_ps(12.0f), rho), sign),
                              inMolecule & ~coincident & ~noParameters);
  const __m512 s = _mm512_mul_ps(rho, rho);
  const __m512 q = _mm512_mul_ps(s, s);
  const __m512 dispersion = _mm512_div_ps(_mm512_set1_ps(2.25f), _mm512_mul_ps(s, q));
  __m512 vdw = _mm512_mul_ps(eps, _mm512_sub_ps(_mm512_mul_ps(e, _mm512_set1_ps(184000.0f)), dispersion));
  vdw = _mm512_mask_mov_ps(vdw, noParameters, zero);
  vdw = _mm512_mask_mov_ps(vdw, coincident, _mm512_set1_ps(std::numeric_limits<float>::infinity()));
  __m512 coul = _mm512_div_ps(_mm512_mul_ps(qj, _mm512_loadu_ps(t.QI1380.data() + i0)), dist);
  coul = _mm512_mask_mov_ps(coul, coincident, zero);  // adds nothing, as a skipped pair does
  _mm512_store_ps(row.vdw + i0, vdw);
  _mm512_store_ps(row.coul + i0, coul);
}

}  // namespace

PairEnergy energy(const KernelInput& in, const float* CX, const float* CY, const float* CZ) {
  const float* const copy[3] = {CX, CY, CZ};
  return pipelinedSum<kLanes>(in.tables->natom,
                              [&](int j, int i0, TermRow& row) { blockTerms(in, copy, j, i0, row); });
}

void energyPair(const KernelInput& in, const float* const first[3], const float* const second[3], PairEnergy& e1,
                PairEnergy& e2) {
  pipelinedSumPair<kLanes>(
      in.tables->natom, [&](int j, int i0, TermRow& row) { blockTerms(in, first, j, i0, row); },
      [&](int j, int i0, TermRow& row) { blockTerms(in, second, j, i0, row); }, e1, e2);
}

void expExact(const float* x, float* out, int n) {
  for (int k = 0; k < n; k += kLanes) {
    const __mmask16 lanes = n - k >= kLanes ? 0xFFFF : static_cast<__mmask16>((1u << (n - k)) - 1);
    _mm512_mask_storeu_ps(out + k, lanes, expExact16(_mm512_maskz_loadu_ps(lanes, x + k), lanes));
  }
}

}  // namespace packscan::avx512
