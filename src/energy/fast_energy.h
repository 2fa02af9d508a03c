#pragma once

#include "energy/energy_tables.h"
#include "energy/interaction_energy.h"
#include "input/cood.h"

namespace packscan {

// Instruction sets the energy kernels are built for. Every kernel gives the
// same bits as the reference pair loop; they differ only in speed.
enum class KernelIsa { Portable, Avx2, Avx512 };

// The fastest kernel this processor can run.
KernelIsa bestKernelIsa();
bool kernelSupported(KernelIsa isa);
const char* kernelName(KernelIsa isa);

// Energy of A with one copy.
PairEnergy fastEnergy(KernelIsa isa, const EnergyTables& tables, const Cood& cood, const Coordinates& CX,
                      const Coordinates& CY, const Coordinates& CZ);

// Energies of A with two copies, their sums advancing side by side.
void fastEnergyPair(KernelIsa isa, const EnergyTables& tables, const Cood& cood, const Coordinates& BX,
                    const Coordinates& BY, const Coordinates& BZ, const Coordinates& CX, const Coordinates& CY,
                    const Coordinates& CZ, PairEnergy& withB, PairEnergy& withC);

// (float)exp((double)x[k]) for k < n, as the kernels compute it.
void expExact(KernelIsa isa, const float* x, float* out, int n);

}  // namespace packscan
