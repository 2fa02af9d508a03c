#include "energy/fast_energy.h"

#include <cmath>

#include "energy/kernels.h"

namespace packscan {
namespace {

KernelInput inputOf(const EnergyTables& tables, const Cood& cood) {
  return {&tables, cood.X.data() + 1, cood.Y.data() + 1, cood.Z.data() + 1, cood.Q.data() + 1};
}

}  // namespace

bool kernelSupported(KernelIsa isa) {
#if defined(PACKSCAN_X86_KERNELS)
  switch (isa) {
    case KernelIsa::Avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
             __builtin_cpu_supports("avx512vl");
    case KernelIsa::Avx2:
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case KernelIsa::Portable:
      return true;
  }
  return false;
#else
  return isa == KernelIsa::Portable;
#endif
}

KernelIsa bestKernelIsa() {
  static const KernelIsa best = kernelSupported(KernelIsa::Avx512) ? KernelIsa::Avx512
                                : kernelSupported(KernelIsa::Avx2) ? KernelIsa::Avx2
                                                                   : KernelIsa::Portable;
  return best;
}

const char* kernelName(KernelIsa isa) {
  switch (isa) {
    case KernelIsa::Avx512: return "avx512";
    case KernelIsa::Avx2: return "avx2";
    case KernelIsa::Portable: return "portable";
  }
  return "?";
}

PairEnergy fastEnergy(KernelIsa isa, const EnergyTables& tables, const Cood& cood, const Coordinates& CX,
                      const Coordinates& CY, const Coordinates& CZ) {
#if defined(PACKSCAN_X86_KERNELS)
  const KernelInput in = inputOf(tables, cood);
  if (isa == KernelIsa::Avx512) return avx512::energy(in, CX.data() + 1, CY.data() + 1, CZ.data() + 1);
  if (isa == KernelIsa::Avx2) return avx2::energy(in, CX.data() + 1, CY.data() + 1, CZ.data() + 1);
#endif
  (void)isa;
  return interactionEnergy(cood, tables.natom, *tables.types, CX, CY, CZ);
}

void fastEnergyPair(KernelIsa isa, const EnergyTables& tables, const Cood& cood, const Coordinates& BX,
                    const Coordinates& BY, const Coordinates& BZ, const Coordinates& CX, const Coordinates& CY,
                    const Coordinates& CZ, PairEnergy& withB, PairEnergy& withC) {
#if defined(PACKSCAN_X86_KERNELS)
  const KernelInput in = inputOf(tables, cood);
  const float* const b[3] = {BX.data() + 1, BY.data() + 1, BZ.data() + 1};
  const float* const c[3] = {CX.data() + 1, CY.data() + 1, CZ.data() + 1};
  if (isa == KernelIsa::Avx512) return avx512::energyPair(in, b, c, withB, withC);
  if (isa == KernelIsa::Avx2) return avx2::energyPair(in, b, c, withB, withC);
#endif
  withB = fastEnergy(isa, tables, cood, BX, BY, BZ);
  withC = fastEnergy(isa, tables, cood, CX, CY, CZ);
}

void expExact(KernelIsa isa, const float* x, float* out, int n) {
#if defined(PACKSCAN_X86_KERNELS)
  if (isa == KernelIsa::Avx512) return avx512::expExact(x, out, n);
  if (isa == KernelIsa::Avx2) return avx2::expExact(x, out, n);
#endif
  (void)isa;
  for (int k = 0; k < n; ++k) out[k] = static_cast<float>(std::exp(static_cast<double>(x[k])));
}

}  // namespace packscan
