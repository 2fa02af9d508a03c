#include "energy/energy_tables.h"

#include <cmath>

namespace packscan {

void buildEnergyTables(const Cood& cood, std::int32_t NATOM, const TypeTable& types, EnergyTables& tables) {
  tables = EnergyTables{};
  for (int i = 1; i <= NATOM; ++i) tables.Q1380[i] = cood.Q[i] * 1380.0f;
  for (int j = 1; j <= NATOM; ++j) {
    const int TJ = typeSlot(cood.ITYPE[j]);
    for (int i = 1; i <= NATOM; ++i) {
      const int TI = typeSlot(cood.ITYPE[i]);
      tables.EPSIJ[j * kAtomSlots + i] = std::sqrt(types.EPS[TI] * types.EPS[TJ]);
      tables.R0IJ[j * kAtomSlots + i] = types.RSTAR[TI] + types.RSTAR[TJ];
    }
  }
}

}  // namespace packscan
