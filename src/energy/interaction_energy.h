#pragma once

#include <cstdint>

#include "energy/type_table.h"
#include "input/cood.h"

namespace packscan {

struct PairEnergy {
  float EVDW = 0;
  float ECOUL = 0;
  float total = 0;  // ECOUL + EVDW, formed once from the final sums
};

// Exp-6 plus Coulomb energy of molecule A with one copy (CX, CY, CZ), summed
// over every atom pair, copy atom j outer and A atom i inner, in single
// precision with the grouping written out below. This plain version is the
// reference that any faster version must match bit for bit.
PairEnergy interactionEnergy(const Cood& cood, std::int32_t NATOM, const TypeTable& types,
                             const Coordinates& CX, const Coordinates& CY, const Coordinates& CZ);

}  // namespace packscan
