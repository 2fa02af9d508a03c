// Checks the exponential of every vector kernel against (float)std::exp((double)x)
// for every one of the 2^32 float bit patterns: the kernels' arguments
// -(12 * RHO) are the negative half, and the rest is checked as well. Prints
// mismatches (at most a few per kernel), how many lanes fell back to
// std::exp, and the time; exits with status 1 on any mismatch.
// Takes about a minute; not part of the ctest run.

#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "energy/fast_energy.h"

int main() {
  using namespace packscan;
  constexpr std::uint64_t kChunk = 1 << 16;
  std::vector<EnergyKernel> kernels;
  for (EnergyKernel k : supportedEnergyKernels())
    if (k != EnergyKernel::Scalar) kernels.push_back(k);  // the scalar kernel calls std::exp itself
  std::vector<float> x(kChunk), expected(kChunk), out(kChunk);
  std::vector<std::uint64_t> mismatches(kernels.size()), redone(kernels.size());
  std::vector<std::uint64_t> negativeMismatches(kernels.size());
  const auto start = std::chrono::steady_clock::now();
  for (std::uint64_t base = 0; base < (std::uint64_t{1} << 32); base += kChunk) {
    for (std::uint64_t k = 0; k < kChunk; ++k) {
      x[k] = std::bit_cast<float>(static_cast<std::uint32_t>(base + k));
      expected[k] = static_cast<float>(std::exp(static_cast<double>(x[k])));
    }
    for (std::size_t n = 0; n < kernels.size(); ++n) {
      redone[n] += kernelExp(kernels[n], x.data(), out.data(), kChunk);
      for (std::uint64_t k = 0; k < kChunk; ++k) {
        if (std::bit_cast<std::uint32_t>(out[k]) == std::bit_cast<std::uint32_t>(expected[k])) continue;
        if (++mismatches[n] <= 5)
          std::printf("%s: exp(%a) gave %a, std::exp gives %a\n", kernelName(kernels[n]), x[k], out[k], expected[k]);
        if (std::signbit(x[k])) ++negativeMismatches[n];
      }
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  bool clean = true;
  for (std::size_t n = 0; n < kernels.size(); ++n) {
    std::printf("%-7s all 2^32 floats: %llu mismatches (%llu of them negative), %llu lanes fell back to std::exp\n",
                kernelName(kernels[n]), static_cast<unsigned long long>(mismatches[n]),
                static_cast<unsigned long long>(negativeMismatches[n]), static_cast<unsigned long long>(redone[n]));
    clean = clean && mismatches[n] == 0;
  }
  std::printf("%.1f s\n", seconds);
  return clean ? 0 : 1;
}
