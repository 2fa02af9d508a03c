// Energy kernels for AVX2 with FMA: eight A atoms at a time, otherwise as the
// AVX-512 kernels. FMA is used only inside the double-precision exponential,
// whose rounding to float is checked lane by lane.
#include <immintrin.h>

#include <cmath>
#include <limits>

#include "energy/kernel_sums.h"
#include "energy/kernels.h"

namespace packscan::avx2 {
namespace {

constexpr int kLanes = 8;

// exp in double for x >= kExpFloor.
[[gnu::always_inline]] inline __m256d expDouble(__m256d x) {
  const __m256d k = _mm256_round_pd(_mm256_mul_pd(x, _mm256_set1_pd(kSixteenOverLn2)),
                                    _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
  const __m256d r = _mm256_fnmadd_pd(k, _mm256_set1_pd(kLn2OverSixteen), x);
  __m256d p = _mm256_set1_pd(kInverseFactorial[kExpDegree]);
  for (int n = kExpDegree - 1; n >= 0; --n) p = _mm256_fmadd_pd(p, r, _mm256_set1_pd(kInverseFactorial[n]));
  // 2^(k/16) = 2^floor(k/16) times the table entry of k mod 16; k lies between -2600 and 0.
  const __m128i k32 = _mm256_cvtpd_epi32(k);
  const __m256d entry = _mm256_i32gather_pd(kExp2Sixteenths, _mm_and_si128(k32, _mm_set1_epi32(15)), 8);
  const __m256i power = _mm256_cvtepi32_epi64(_mm_srai_epi32(k32, 4));
  const __m256i bits = _mm256_slli_epi64(_mm256_add_epi64(power, _mm256_set1_epi64x(1023)), 52);
  return _mm256_mul_pd(_mm256_mul_pd(p, entry), _mm256_castsi256_pd(bits));
}

[[gnu::always_inline]] inline __m128 roundCertain(__m256d y, int& certain) {
  const __m128 below = _mm256_cvtpd_ps(_mm256_mul_pd(y, _mm256_set1_pd(1.0 - kExpMargin)));
  const __m128 above = _mm256_cvtpd_ps(_mm256_mul_pd(y, _mm256_set1_pd(1.0 + kExpMargin)));
  certain = _mm_movemask_ps(_mm_cmpeq_ps(below, above));
  return _mm256_cvtpd_ps(y);
}

[[gnu::always_inline]] inline __m256 expExact8(__m256 x, int wanted) {
  const __m256 clamped = _mm256_max_ps(x, _mm256_set1_ps(kExpFloor));
  const __m256d low = _mm256_cvtps_pd(_mm256_castps256_ps128(clamped));
  const __m256d high = _mm256_cvtps_pd(_mm256_extractf128_ps(clamped, 1));
  int certainLow, certainHigh;
  const __m128 fLow = roundCertain(expDouble(low), certainLow);
  const __m128 fHigh = roundCertain(expDouble(high), certainHigh);
  __m256 result = _mm256_insertf128_ps(_mm256_castps128_ps256(fLow), fHigh, 1);
  const int ordinary = _mm256_movemask_ps(_mm256_and_ps(_mm256_cmp_ps(x, x, _CMP_ORD_Q),
                                                        _mm256_cmp_ps(x, _mm256_setzero_ps(), _CMP_LE_OQ)));
  const int redo = wanted & ~(ordinary & (certainLow | certainHigh << 4));
  if (redo) {
    alignas(32) float args[kLanes], values[kLanes];
    _mm256_store_ps(args, x);
    _mm256_store_ps(values, result);
    for (int lane = 0; lane < kLanes; ++lane)
      if (redo >> lane & 1) values[lane] = static_cast<float>(std::exp(static_cast<double>(args[lane])));
    result = _mm256_load_ps(values);
  }
  return result;
}

// The van der Waals and Coulomb terms of copy atom j with A atoms i0 .. i0 + 7 (all from 0).
[[gnu::always_inline]] inline void blockTerms(const KernelInput& in, const float* const copy[3], int j, int i0, TermRow& row) {
  const EnergyTables& t = *in.tables;
  const int n = t.natom;
  const float* epsRow = t.EPSIJ.data() + static_cast<std::size_t>(j) * t.stride;
  const float* r0Row = t.R0IJ.data() + static_cast<std::size_t>(j) * t.stride;
  const __m256 cx = _mm256_set1_ps(copy[0][j]);
  const __m256 cy = _mm256_set1_ps(copy[1][j]);
  const __m256 cz = _mm256_set1_ps(copy[2][j]);
  const __m256 qj = _mm256_set1_ps(in.Q[j]);
  const __m256 zero = _mm256_setzero_ps();
  const __m256 sign = _mm256_set1_ps(-0.0f);
  const int inMolecule = n - i0 >= kLanes ? 0xFF : (1 << (n - i0)) - 1;
  const __m256 dx = _mm256_sub_ps(_mm256_loadu_ps(in.X + i0), cx);
  const __m256 dy = _mm256_sub_ps(_mm256_loadu_ps(in.Y + i0), cy);
  const __m256 dz = _mm256_sub_ps(_mm256_loadu_ps(in.Z + i0), cz);
  const __m256 dist = _mm256_sqrt_ps(
      _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(dx, dx), _mm256_mul_ps(dy, dy)), _mm256_mul_ps(dz, dz)));
  const __m256 eps = _mm256_loadu_ps(epsRow + i0);
  const __m256 rho = _mm256_div_ps(dist, _mm256_loadu_ps(r0Row + i0));
  const __m256 coincident = _mm256_cmp_ps(dist, zero, _CMP_EQ_OQ);
  const __m256 noParameters = _mm256_cmp_ps(eps, zero, _CMP_EQ_OQ);
  const int skipExp = _mm256_movemask_ps(_mm256_or_ps(coincident, noParameters));
  const __m256 e =
      expExact8(_mm256_xor_ps(_mm256_mul_ps(_mm256_set1_ps(12.0f), rho), sign), inMolecule & ~skipExp);
  const __m256 s = _mm256_mul_ps(rho, rho);
  const __m256 q = _mm256_mul_ps(s, s);
  const __m256 dispersion = _mm256_div_ps(_mm256_set1_ps(2.25f), _mm256_mul_ps(s, q));
  __m256 vdw = _mm256_mul_ps(eps, _mm256_sub_ps(_mm256_mul_ps(e, _mm256_set1_ps(184000.0f)), dispersion));
  vdw = _mm256_blendv_ps(vdw, zero, noParameters);
  vdw = _mm256_blendv_ps(vdw, _mm256_set1_ps(std::numeric_limits<float>::infinity()), coincident);
  __m256 coul = _mm256_div_ps(_mm256_mul_ps(qj, _mm256_loadu_ps(t.QI1380.data() + i0)), dist);
  coul = _mm256_blendv_ps(coul, zero, coincident);
  _mm256_store_ps(row.vdw + i0, vdw);
  _mm256_store_ps(row.coul + i0, coul);
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
  alignas(32) float in[kLanes], values[kLanes];
  for (int k = 0; k < n; k += kLanes) {
    const int count = n - k >= kLanes ? kLanes : n - k;
    for (int lane = 0; lane < kLanes; ++lane) in[lane] = lane < count ? x[k + lane] : 0.0f;
    _mm256_store_ps(values, expExact8(_mm256_load_ps(in), (1 << count) - 1));
    for (int lane = 0; lane < count; ++lane) out[k + lane] = values[lane];
  }
}

}  // namespace packscan::avx2
