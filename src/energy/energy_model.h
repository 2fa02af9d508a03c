#pragma once

#include <cstdint>

#include "energy/energy_tables.h"
#include "energy/fast_energy.h"
#include "energy/interaction_energy.h"

namespace packscan {

// Which implementation evaluates the pair sums. Both give the same bits.
enum class EnergyPath { Reference, Fast };

// What the placement phases need to evaluate the energy of A with a copy.
struct EnergyModel {
  const Cood* cood;
  std::int32_t NATOM;
  const TypeTable* types;
  EnergyPath path = EnergyPath::Reference;
  const EnergyTables* tables = nullptr;  // required by the fast path
  KernelIsa isa = KernelIsa::Portable;
};

inline PairEnergy copyEnergy(const EnergyModel& model, const Coordinates& CX, const Coordinates& CY,
                             const Coordinates& CZ) {
  if (model.path == EnergyPath::Fast) return fastEnergy(model.isa, *model.tables, *model.cood, CX, CY, CZ);
  return interactionEnergy(*model.cood, model.NATOM, *model.types, CX, CY, CZ);
}

// Energies of A with molecule B and with molecule C.
inline void copyEnergies(const EnergyModel& model, const Coordinates& BX, const Coordinates& BY,
                         const Coordinates& BZ, const Coordinates& CX, const Coordinates& CY, const Coordinates& CZ,
                         PairEnergy& withB, PairEnergy& withC) {
  if (model.path == EnergyPath::Fast) {
    fastEnergyPair(model.isa, *model.tables, *model.cood, BX, BY, BZ, CX, CY, CZ, withB, withC);
    return;
  }
  withB = copyEnergy(model, BX, BY, BZ);
  withC = copyEnergy(model, CX, CY, CZ);
}

}  // namespace packscan
