#pragma once

#include <array>
#include <cstdint>

#include "energy/energy_tables.h"
#include "energy/fast_energy.h"
#include "energy/interaction_energy.h"

namespace packscan {

// Which implementation evaluates the energy. Both give the same bits; the
// plain loop stays as the reference that the fast path is checked against.
enum class EnergyPath { Reference, Fast };

// What the placement phases need to evaluate the energy of A with a copy.
struct EnergyModel {
  const Cood* cood;
  std::int32_t NATOM;
  const TypeTable* types;
  EnergyPath path = EnergyPath::Reference;
  const EnergyTables* tables = nullptr;  // the fast path's per-run tables
  EnergyKernel kernel = EnergyKernel::Scalar;
};

inline PairEnergy copyEnergy(const EnergyModel& model, const Coordinates& CX, const Coordinates& CY,
                             const Coordinates& CZ) {
  if (model.path == EnergyPath::Fast)
    return interactionEnergyFast(*model.cood, model.NATOM, *model.tables, CX, CY, CZ, model.kernel);
  return interactionEnergy(*model.cood, model.NATOM, *model.types, CX, CY, CZ);
}

// The energies of A with two copies; the fast path evaluates them in one pass.
inline std::array<PairEnergy, 2> copyEnergies(const EnergyModel& model, const Coordinates& BX,
                                              const Coordinates& BY, const Coordinates& BZ,
                                              const Coordinates& CX, const Coordinates& CY,
                                              const Coordinates& CZ) {
  if (model.path == EnergyPath::Fast)
    return interactionEnergyTwoFast(*model.cood, model.NATOM, *model.tables, BX, BY, BZ, CX, CY, CZ,
                                    model.kernel);
  return {copyEnergy(model, BX, BY, BZ), copyEnergy(model, CX, CY, CZ)};
}

}  // namespace packscan
