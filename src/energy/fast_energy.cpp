#include "energy/fast_energy.h"

#include <cmath>
#include <limits>

#include "energy/energy_kernels.h"
#include "energy/single_math.h"

namespace packscan {
namespace {

// The plain loop over the tables, for processors without a vector kernel.
// Two copies advance pair by pair, each sum in its own order.
void energySumsScalar(const KernelMolecule& m, const KernelCopy* copies, int count, KernelSums* sums) {
  float EVDW[2] = {0.0f, 0.0f};
  float ECOUL[2] = {0.0f, 0.0f};
  for (int j = 1; j <= m.NATOM; ++j) {
    const float* EPSIJ = m.EPSIJ + j * kernelRowStride;
    const float* R0IJ = m.R0IJ + j * kernelRowStride;
    for (int i = 1; i <= m.NATOM; ++i) {
      for (int c = 0; c < count; ++c) {
        const float DX = m.X[i] - copies[c].CX[j];
        const float DY = m.Y[i] - copies[c].CY[j];
        const float DZ = m.Z[i] - copies[c].CZ[j];
        const float DIST = std::sqrt(((DX * DX) + (DY * DY)) + (DZ * DZ));
        if (DIST == 0.0f) {
          EVDW[c] = EVDW[c] + std::numeric_limits<float>::infinity();
          continue;
        }
        const float RHO = DIST / R0IJ[i];
        const float repulsion = expSingle(-(12.0f * RHO)) * 184000.0f;
        const float s = RHO * RHO;
        const float q = s * s;
        const float dispersion = 2.25f / (s * q);
        const float vdw = EPSIJ[i] == 0.0f ? 0.0f : EPSIJ[i] * (repulsion - dispersion);
        const float coulomb = (m.Q[j] * m.Q1380[i]) / DIST;
        EVDW[c] = EVDW[c] + vdw;
        ECOUL[c] = ECOUL[c] + coulomb;
      }
    }
  }
  for (int c = 0; c < count; ++c) sums[c] = {EVDW[c], ECOUL[c]};
}

void runKernel(EnergyKernel kernel, const KernelMolecule& m, const KernelCopy* copies, int count,
               KernelSums* sums) {
  switch (kernel) {
#if PACKSCAN_X86_KERNELS
    case EnergyKernel::Sse2: return energySumsSse2(m, copies, count, sums);
    case EnergyKernel::Avx2: return energySumsAvx2(m, copies, count, sums);
    case EnergyKernel::Avx512: return energySumsAvx512(m, copies, count, sums);
#endif
    default: return energySumsScalar(m, copies, count, sums);
  }
}

KernelMolecule moleculeOf(const Cood& cood, std::int32_t NATOM, const EnergyTables& tables) {
  static_assert(kernelRowStride == kAtomSlots);
  return {cood.X.data(),        cood.Y.data(),        cood.Z.data(), cood.Q.data(),
          tables.Q1380.data(), tables.EPSIJ.data(), tables.R0IJ.data(), NATOM};
}

PairEnergy pairEnergyOf(const KernelSums& sums) { return {sums.EVDW, sums.ECOUL, sums.ECOUL + sums.EVDW}; }

}  // namespace

namespace {

// Whether this processor, and its operating system, can run a kernel: the
// checks include the operating system's support for the wider registers.
bool kernelSupported(EnergyKernel kernel) {
  switch (kernel) {
    case EnergyKernel::Scalar: return true;
#if PACKSCAN_X86_KERNELS
    case EnergyKernel::Sse2: return true;
    case EnergyKernel::Avx2: return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case EnergyKernel::Avx512: return __builtin_cpu_supports("avx512f");
#endif
    default: return false;
  }
}

}  // namespace

std::vector<EnergyKernel> supportedEnergyKernels() {
  std::vector<EnergyKernel> kernels;
  for (EnergyKernel k : {EnergyKernel::Scalar, EnergyKernel::Sse2, EnergyKernel::Avx2, EnergyKernel::Avx512})
    if (kernelSupported(k)) kernels.push_back(k);
  return kernels;
}

EnergyKernel bestEnergyKernel() { return supportedEnergyKernels().back(); }

const char* kernelName(EnergyKernel kernel) {
  switch (kernel) {
    case EnergyKernel::Scalar: return "scalar";
    case EnergyKernel::Sse2: return "sse2";
    case EnergyKernel::Avx2: return "avx2";
    case EnergyKernel::Avx512: return "avx512";
  }
  return "?";
}

PairEnergy interactionEnergyFast(const Cood& cood, std::int32_t NATOM, const EnergyTables& tables,
                                 const Coordinates& CX, const Coordinates& CY, const Coordinates& CZ,
                                 EnergyKernel kernel) {
  const KernelCopy copy{CX.data(), CY.data(), CZ.data()};
  KernelSums sums;
  runKernel(kernel, moleculeOf(cood, NATOM, tables), &copy, 1, &sums);
  return pairEnergyOf(sums);
}

std::array<PairEnergy, 2> interactionEnergyTwoFast(const Cood& cood, std::int32_t NATOM,
                                                   const EnergyTables& tables, const Coordinates& BX,
                                                   const Coordinates& BY, const Coordinates& BZ,
                                                   const Coordinates& CX, const Coordinates& CY,
                                                   const Coordinates& CZ, EnergyKernel kernel) {
  const KernelCopy copies[2] = {{BX.data(), BY.data(), BZ.data()}, {CX.data(), CY.data(), CZ.data()}};
  KernelSums sums[2];
  runKernel(kernel, moleculeOf(cood, NATOM, tables), copies, 2, sums);
  return {pairEnergyOf(sums[0]), pairEnergyOf(sums[1])};
}

long kernelExp(EnergyKernel kernel, const float* x, float* out, long n) {
  switch (kernel) {
#if PACKSCAN_X86_KERNELS
    case EnergyKernel::Sse2: return expLanesSse2(x, out, n);
    case EnergyKernel::Avx2: return expLanesAvx2(x, out, n);
    case EnergyKernel::Avx512: return expLanesAvx512(x, out, n);
#endif
    default:
      for (long k = 0; k < n; ++k) out[k] = expSingle(x[k]);
      return n;
  }
}

}  // namespace packscan
