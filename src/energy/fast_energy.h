#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "energy/energy_tables.h"
#include "energy/interaction_energy.h"

namespace packscan {

// The instruction sets the fast path has kernels for. Scalar is plain C++ and
// the only kernel on processors other than x86-64; every x86-64 has SSE2.
enum class EnergyKernel { Scalar, Sse2, Avx2, Avx512 };

// Every kernel this processor (and its operating system) can run, narrowest
// first, and the widest of them.
std::vector<EnergyKernel> supportedEnergyKernels();
EnergyKernel bestEnergyKernel();
const char* kernelName(EnergyKernel kernel);

// The same results as interactionEnergy, bit for bit, from the per-run tables.
// `kernel` must be one that the processor supports.
PairEnergy interactionEnergyFast(const Cood& cood, std::int32_t NATOM, const EnergyTables& tables,
                                 const Coordinates& CX, const Coordinates& CY, const Coordinates& CZ,
                                 EnergyKernel kernel);

// The energies of A with two copies in one pass: the two sums advance side by
// side, each in its own order, so each result equals that of a separate call.
std::array<PairEnergy, 2> interactionEnergyTwoFast(const Cood& cood, std::int32_t NATOM,
                                                   const EnergyTables& tables, const Coordinates& BX,
                                                   const Coordinates& BY, const Coordinates& BZ,
                                                   const Coordinates& CX, const Coordinates& CY,
                                                   const Coordinates& CZ, EnergyKernel kernel);

// (float)exp((double)x[k]) for k < n, n a multiple of 16, by the kernel's own
// exponential; gives how many values fell back to std::exp. For the tests.
long kernelExp(EnergyKernel kernel, const float* x, float* out, long n);

}  // namespace packscan
