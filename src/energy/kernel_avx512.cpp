// The energy kernel for AVX-512F: 16 float lanes, exp in two halves of 8 doubles.
// Built with -mavx512f for this file only and called only after the CPU has
// been checked for it.

#include <immintrin.h>

#include "energy/kernel_body.h"

namespace packscan {
namespace {

struct Avx512 {
  static constexpr int kLanes = 16;
  using F = __m512;
  using M = __mmask16;
  using D = __m512d;
  using I = __m512i;

  static F load(const float* p) { return _mm512_loadu_ps(p); }
  static void store(float* p, F a) { _mm512_storeu_ps(p, a); }
  static F set1(float a) { return _mm512_set1_ps(a); }
  static F add(F a, F b) { return _mm512_add_ps(a, b); }
  static F sub(F a, F b) { return _mm512_sub_ps(a, b); }
  static F mul(F a, F b) { return _mm512_mul_ps(a, b); }
  static F div(F a, F b) { return _mm512_div_ps(a, b); }
  static F sqrt(F a) { return _mm512_sqrt_ps(a); }
  static F neg(F a) {
    return _mm512_castsi512_ps(_mm512_xor_si512(_mm512_castps_si512(a), _mm512_set1_epi32(INT32_MIN)));
  }
  static F select(M m, F ifSet, F ifClear) { return _mm512_mask_blend_ps(m, ifClear, ifSet); }

  // Interleaves a and b: floats a0 b0 a1 b1 ... into low, then high.
  static void zip(F a, F b, F& low, F& high) {
    low = _mm512_permutex2var_ps(a, _mm512_set_epi32(23, 7, 22, 6, 21, 5, 20, 4, 19, 3, 18, 2, 17, 1, 16, 0), b);
    high = _mm512_permutex2var_ps(a, _mm512_set_epi32(31, 15, 30, 14, 29, 13, 28, 12, 27, 11, 26, 10, 25, 9, 24, 8), b);
  }
  // The same for pairs of floats.
  static void zip64(F a, F b, F& low, F& high) {
    const __m512d a64 = _mm512_castps_pd(a), b64 = _mm512_castps_pd(b);
    low = _mm512_castpd_ps(_mm512_permutex2var_pd(a64, _mm512_set_epi64(11, 3, 10, 2, 9, 1, 8, 0), b64));
    high = _mm512_castpd_ps(_mm512_permutex2var_pd(a64, _mm512_set_epi64(15, 7, 14, 6, 13, 5, 12, 4), b64));
  }
  static M isZero(F a) { return _mm512_cmp_ps_mask(a, _mm512_setzero_ps(), _CMP_EQ_OQ); }
  static M isNan(F a) { return _mm512_cmp_ps_mask(a, a, _CMP_UNORD_Q); }
  static M differ(F a, F b) { return _mm512_cmp_ps_mask(a, b, _CMP_NEQ_UQ); }
  static unsigned bits(M m) { return m; }

  static D widenLow(F a) { return _mm512_cvtps_pd(_mm512_castps512_ps256(a)); }
  static D widenHigh(F a) {
    return _mm512_cvtps_pd(_mm256_castpd_ps(_mm512_extractf64x4_pd(_mm512_castps_pd(a), 1)));
  }
  static F narrow(D low, D high) {
    const __m512d joined = _mm512_insertf64x4(_mm512_castpd256_pd512(_mm256_castps_pd(_mm512_cvtpd_ps(low))),
                                              _mm256_castps_pd(_mm512_cvtpd_ps(high)), 1);
    return _mm512_castpd_ps(joined);
  }
  static D set1D(double a) { return _mm512_set1_pd(a); }
  static D addD(D a, D b) { return _mm512_add_pd(a, b); }
  static D subD(D a, D b) { return _mm512_sub_pd(a, b); }
  static D mulD(D a, D b) { return _mm512_mul_pd(a, b); }
  static D fmaD(D a, D b, D c) { return _mm512_fmadd_pd(a, b, c); }
  static D minD(D a, D b) { return _mm512_min_pd(a, b); }
  static D maxD(D a, D b) { return _mm512_max_pd(a, b); }

  static I bitsOf(D a) { return _mm512_castpd_si512(a); }
  static D fromBits(I a) { return _mm512_castsi512_pd(a); }
  static I addI(I a, I b) { return _mm512_add_epi64(a, b); }
  static I shiftRight4(I a) { return _mm512_srli_epi64(a, 4); }
  static I shiftLeft52(I a) { return _mm512_slli_epi64(a, 52); }
  // 2^(j/16) for j = the low 4 bits of each lane: two registers hold the
  // whole table and one permute looks up every lane.
  static D powTable(I index) {
    return _mm512_permutex2var_pd(_mm512_load_pd(kPowTable), index, _mm512_load_pd(kPowTable + 8));
  }
};

}  // namespace

void energySumsAvx512(const KernelMolecule& molecule, const KernelCopy* copies, int count, KernelSums* sums) {
  energySumsOf<Avx512>(molecule, copies, count, sums);
}

long expLanesAvx512(const float* x, float* out, long n) { return expLanesOf<Avx512>(x, out, n); }

}  // namespace packscan
