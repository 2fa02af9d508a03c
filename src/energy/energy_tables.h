#pragma once

#include <cstdint>
#include <vector>

#include "energy/type_table.h"
#include "input/cood.h"

namespace packscan {

// Pair parameters of every atom pair and the scaled charges, laid out for
// vector loads: row j (copy atom) holds entries for A atoms i = 1..NATOM at
// offsets 0..NATOM-1. Each entry is computed with exactly the operations of
// the pair loop, so it holds the same bits the loop would compute afresh.
struct EnergyTables {
  const TypeTable* types = nullptr;  // what the portable path reads directly
  int natom = 0;
  int stride = 0;               // row length, a multiple of 16
  std::vector<float> EPSIJ;     // sqrt(EPS(TI) * EPS(TJ))
  std::vector<float> R0IJ;      // RSTAR(TI) + RSTAR(TJ)
  std::vector<float> QI1380;    // Q(i) * 1380, offsets 0..NATOM-1
};

EnergyTables buildEnergyTables(const Cood& cood, std::int32_t NATOM, const TypeTable& types);

}  // namespace packscan
