#pragma once

#include <cstdint>

#include "energy/interaction_energy.h"

namespace packscan {

// What the placement phases need to evaluate the energy of A with a copy.
struct EnergyModel {
  const Cood* cood;
  std::int32_t NATOM;
  const TypeTable* types;
};

inline PairEnergy copyEnergy(const EnergyModel& model, const Coordinates& CX, const Coordinates& CY,
                             const Coordinates& CZ) {
  return interactionEnergy(*model.cood, model.NATOM, *model.types, CX, CY, CZ);
}

}  // namespace packscan
