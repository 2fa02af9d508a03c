// The energy kernel for SSE2, which every x86-64 processor has: 4 float lanes,
// exp in two halves of 2 doubles.

#include <emmintrin.h>

#include "energy/kernel_body.h"

namespace packscan {
namespace {

struct Sse2 {
  static constexpr int kLanes = 4;
  using F = __m128;
  using M = __m128;  // all-ones lanes where the comparison holds
  using D = __m128d;
  using I = __m128i;

  static F load(const float* p) { return _mm_loadu_ps(p); }
  static void store(float* p, F a) { _mm_storeu_ps(p, a); }
  static F set1(float a) { return _mm_set1_ps(a); }
  static F add(F a, F b) { return _mm_add_ps(a, b); }
  static F sub(F a, F b) { return _mm_sub_ps(a, b); }
  static F mul(F a, F b) { return _mm_mul_ps(a, b); }
  static F div(F a, F b) { return _mm_div_ps(a, b); }
  static F sqrt(F a) { return _mm_sqrt_ps(a); }
  static F neg(F a) { return _mm_xor_ps(a, _mm_set1_ps(-0.0f)); }
  static F select(M m, F ifSet, F ifClear) { return _mm_or_ps(_mm_and_ps(m, ifSet), _mm_andnot_ps(m, ifClear)); }

  // Interleaves a and b: floats a0 b0 a1 b1 ... into low, then high.
  static void zip(F a, F b, F& low, F& high) {
    low = _mm_unpacklo_ps(a, b);
    high = _mm_unpackhi_ps(a, b);
  }
  // The same for pairs of floats.
  static void zip64(F a, F b, F& low, F& high) {
    low = _mm_castpd_ps(_mm_unpacklo_pd(_mm_castps_pd(a), _mm_castps_pd(b)));
    high = _mm_castpd_ps(_mm_unpackhi_pd(_mm_castps_pd(a), _mm_castps_pd(b)));
  }
  static M isZero(F a) { return _mm_cmpeq_ps(a, _mm_setzero_ps()); }
  static M isNan(F a) { return _mm_cmpunord_ps(a, a); }
  static M differ(F a, F b) { return _mm_cmpneq_ps(a, b); }  // true for unordered lanes too
  static unsigned bits(M m) { return static_cast<unsigned>(_mm_movemask_ps(m)); }

  static D widenLow(F a) { return _mm_cvtps_pd(a); }
  static D widenHigh(F a) { return _mm_cvtps_pd(_mm_movehl_ps(a, a)); }
  static F narrow(D low, D high) { return _mm_movelh_ps(_mm_cvtpd_ps(low), _mm_cvtpd_ps(high)); }
  static D set1D(double a) { return _mm_set1_pd(a); }
  static D addD(D a, D b) { return _mm_add_pd(a, b); }
  static D subD(D a, D b) { return _mm_sub_pd(a, b); }
  static D mulD(D a, D b) { return _mm_mul_pd(a, b); }
  static D fmaD(D a, D b, D c) { return _mm_add_pd(_mm_mul_pd(a, b), c); }  // not fused
  static D minD(D a, D b) { return _mm_min_pd(a, b); }
  static D maxD(D a, D b) { return _mm_max_pd(a, b); }

  static I bitsOf(D a) { return _mm_castpd_si128(a); }
  static D fromBits(I a) { return _mm_castsi128_pd(a); }
  static I addI(I a, I b) { return _mm_add_epi64(a, b); }
  static I shiftRight4(I a) { return _mm_srli_epi64(a, 4); }
  static I shiftLeft52(I a) { return _mm_slli_epi64(a, 52); }
  // 2^(j/16) for j = the low 4 bits of each lane.
  static D powTable(I index) {
    const long long low = _mm_cvtsi128_si64(index);
    const long long high = _mm_cvtsi128_si64(_mm_unpackhi_epi64(index, index));
    return _mm_set_pd(kPowTable[high & 15], kPowTable[low & 15]);
  }
};

}  // namespace

void energySumsSse2(const KernelMolecule& molecule, const KernelCopy* copies, int count, KernelSums* sums) {
  energySumsOf<Sse2>(molecule, copies, count, sums);
}

long expLanesSse2(const float* x, float* out, long n) { return expLanesOf<Sse2>(x, out, n); }

}  // namespace packscan
