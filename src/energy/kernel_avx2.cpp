// The energy kernel for AVX2: 8 float lanes, exp in two halves of 4 doubles.
// Built with -mavx2 for this file only and called only after the CPU has been
// checked for it.

#include <immintrin.h>

#include "energy/kernel_body.h"

namespace packscan {
namespace {

struct Avx2 {
  static constexpr int kLanes = 8;
  using F = __m256;
  using M = __m256;  // all-ones lanes where the comparison holds
  using D = __m256d;
  using I = __m256i;

  static F load(const float* p) { return _mm256_loadu_ps(p); }
  static void store(float* p, F a) { _mm256_storeu_ps(p, a); }
  static F set1(float a) { return _mm256_set1_ps(a); }
  static F add(F a, F b) { return _mm256_add_ps(a, b); }
  static F sub(F a, F b) { return _mm256_sub_ps(a, b); }
  static F mul(F a, F b) { return _mm256_mul_ps(a, b); }
  static F div(F a, F b) { return _mm256_div_ps(a, b); }
  static F sqrt(F a) { return _mm256_sqrt_ps(a); }
  static F neg(F a) { return _mm256_xor_ps(a, _mm256_set1_ps(-0.0f)); }
  static F select(M m, F ifSet, F ifClear) { return _mm256_blendv_ps(ifClear, ifSet, m); }

  // Interleaves a and b: floats a0 b0 a1 b1 ... into low, then high.
  static void zip(F a, F b, F& low, F& high) {
    const F lo = _mm256_unpacklo_ps(a, b), hi = _mm256_unpackhi_ps(a, b);
    low = _mm256_permute2f128_ps(lo, hi, 0x20);
    high = _mm256_permute2f128_ps(lo, hi, 0x31);
  }
  // The same for pairs of floats.
  static void zip64(F a, F b, F& low, F& high) {
    const __m256d lo = _mm256_unpacklo_pd(_mm256_castps_pd(a), _mm256_castps_pd(b));
    const __m256d hi = _mm256_unpackhi_pd(_mm256_castps_pd(a), _mm256_castps_pd(b));
    low = _mm256_castpd_ps(_mm256_permute2f128_pd(lo, hi, 0x20));
    high = _mm256_castpd_ps(_mm256_permute2f128_pd(lo, hi, 0x31));
  }
  static M isZero(F a) { return _mm256_cmp_ps(a, _mm256_setzero_ps(), _CMP_EQ_OQ); }
  static M isNan(F a) { return _mm256_cmp_ps(a, a, _CMP_UNORD_Q); }
  static M differ(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_NEQ_UQ); }
  static unsigned bits(M m) { return static_cast<unsigned>(_mm256_movemask_ps(m)); }

  static D widenLow(F a) { return _mm256_cvtps_pd(_mm256_castps256_ps128(a)); }
  static D widenHigh(F a) { return _mm256_cvtps_pd(_mm256_extractf128_ps(a, 1)); }
  static F narrow(D low, D high) {
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm256_cvtpd_ps(low)), _mm256_cvtpd_ps(high), 1);
  }
  static D set1D(double a) { return _mm256_set1_pd(a); }
  static D addD(D a, D b) { return _mm256_add_pd(a, b); }
  static D subD(D a, D b) { return _mm256_sub_pd(a, b); }
  static D mulD(D a, D b) { return _mm256_mul_pd(a, b); }
  static D fmaD(D a, D b, D c) { return _mm256_fmadd_pd(a, b, c); }
  static D minD(D a, D b) { return _mm256_min_pd(a, b); }
  static D maxD(D a, D b) { return _mm256_max_pd(a, b); }

  static I bitsOf(D a) { return _mm256_castpd_si256(a); }
  static D fromBits(I a) { return _mm256_castsi256_pd(a); }
  static I addI(I a, I b) { return _mm256_add_epi64(a, b); }
  static I shiftRight4(I a) { return _mm256_srli_epi64(a, 4); }
  static I shiftLeft52(I a) { return _mm256_slli_epi64(a, 52); }
  // 2^(j/16) for j = the low 4 bits of each lane.
  static D powTable(I index) {
    return _mm256_i64gather_pd(kPowTable, _mm256_and_si256(index, _mm256_set1_epi64x(15)), 8);
  }
};

}  // namespace

void energySumsAvx2(const KernelMolecule& molecule, const KernelCopy* copies, int count, KernelSums* sums) {
  energySumsOf<Avx2>(molecule, copies, count, sums);
}

long expLanesAvx2(const float* x, float* out, long n) { return expLanesOf<Avx2>(x, out, n); }

}  // namespace packscan
