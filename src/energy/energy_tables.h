#pragma once

#include <array>
#include <cstdint>

#include "energy/type_table.h"
#include "input/cood.h"

namespace packscan {

// The parts of every pair term that depend only on the two atoms, worked out
// once per run with the very operations the plain energy loop applies, so the
// fast path reads the same bits instead of recomputing them per pair.
// The pair tables hold row j (copy atom j) at j * kAtomSlots, its entry i
// (atom i of A) after that, both from 1; unused entries are 0.
struct EnergyTables {
  Coordinates Q1380{};                                      // Q(i) * 1380
  std::array<float, (kMaxAtoms + 1) * kAtomSlots> EPSIJ{};  // sqrt(EPS(TI) * EPS(TJ))
  std::array<float, (kMaxAtoms + 1) * kAtomSlots> R0IJ{};   // RSTAR(TI) + RSTAR(TJ)
};

// Fills the tables for atoms 1..NATOM (at most kMaxAtoms). They stay valid while
// ITYPE, Q and the type table stay as they are, which holds for a whole run.
void buildEnergyTables(const Cood& cood, std::int32_t NATOM, const TypeTable& types, EnergyTables& tables);

}  // namespace packscan
