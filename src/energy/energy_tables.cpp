#include "energy/energy_tables.h"

#include <cmath>

namespace packscan {

EnergyTables buildEnergyTables(const Cood& cood, std::int32_t NATOM, const TypeTable& types) {
  EnergyTables tables;
  tables.types = &types;
  tables.natom = NATOM;
  tables.stride = (NATOM + 15) / 16 * 16;
  const std::size_t cells = static_cast<std::size_t>(tables.stride) * static_cast<std::size_t>(NATOM > 0 ? NATOM : 0);
  tables.EPSIJ.assign(cells, 0.0f);
  tables.R0IJ.assign(cells, 0.0f);
  tables.QI1380.assign(static_cast<std::size_t>(tables.stride), 0.0f);
  for (int j = 1; j <= NATOM; ++j) {
    const int TJ = typeSlot(cood.ITYPE[j]);
    float* eps = &tables.EPSIJ[static_cast<std::size_t>((j - 1) * tables.stride)];
    float* r0 = &tables.R0IJ[static_cast<std::size_t>((j - 1) * tables.stride)];
    for (int i = 1; i <= NATOM; ++i) {
      const int TI = typeSlot(cood.ITYPE[i]);
      eps[i - 1] = std::sqrt(types.EPS[TI] * types.EPS[TJ]);
      r0[i - 1] = types.RSTAR[TI] + types.RSTAR[TJ];
    }
  }
  for (int i = 1; i <= NATOM; ++i) tables.QI1380[static_cast<std::size_t>(i - 1)] = cood.Q[i] * 1380.0f;
  return tables;
}

}  // namespace packscan
