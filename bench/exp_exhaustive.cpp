// Checks the kernels' exponential against (float)std::exp((double)x) for every
// float x the pair loop can give it: every x = -(12 * RHO) with RHO >= 0, that
// is every negative float, both zeros and minus infinity. Prints the number of
// arguments, the mismatches and the time; exits non-zero on any mismatch.
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "energy/fast_energy.h"

int main() {
  using packscan::KernelIsa;
  constexpr std::uint32_t kChunk = 1u << 20;
  int failures = 0;
  for (KernelIsa isa : {KernelIsa::Avx512, KernelIsa::Avx2}) {
    if (!packscan::kernelSupported(isa)) {
      std::printf("%s: not supported by this processor, skipped\n", packscan::kernelName(isa));
      continue;
    }
    const auto start = std::chrono::steady_clock::now();
    std::vector<float> x(kChunk), out(kChunk);
    std::uint64_t checked = 0, mismatches = 0;
    // +0, then the negative floats from -0 (0x80000000) to minus infinity (0xff800000).
    for (std::uint64_t first = 0x80000000u; first <= 0xff800000u; first += kChunk) {
      const std::uint32_t count = static_cast<std::uint32_t>(std::min<std::uint64_t>(kChunk, 0xff800001u - first));
      for (std::uint32_t k = 0; k < count; ++k) x[k] = std::bit_cast<float>(static_cast<std::uint32_t>(first + k));
      if (first == 0x80000000u) x.push_back(0.0f);
      const int n = static_cast<int>(count + (first == 0x80000000u ? 1 : 0));
      out.resize(static_cast<std::size_t>(n));
      packscan::expExact(isa, x.data(), out.data(), n);
      for (int k = 0; k < n; ++k) {
        const float expected = static_cast<float>(std::exp(static_cast<double>(x[k])));
        if (std::bit_cast<std::uint32_t>(out[k]) != std::bit_cast<std::uint32_t>(expected)) {
          if (++mismatches <= 10) std::printf("  mismatch at %a: %a, expected %a\n", x[k], out[k], expected);
        }
      }
      checked += static_cast<std::uint64_t>(n);
      x.resize(kChunk);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %llu arguments, %llu mismatches, %.1f s\n", packscan::kernelName(isa),
                static_cast<unsigned long long>(checked), static_cast<unsigned long long>(mismatches), seconds);
    if (mismatches) ++failures;
  }
  return failures ? 1 : 0;
}
