#pragma once

#include <string>

#include "energy/energy_tables.h"
#include "energy/type_table.h"
#include "input/cood.h"

namespace packscan {

// Molecule A read from a bundled listing (its first NATOM atoms), with a
// screw copy in the B arrays and a translated copy in the C arrays placed as
// a search trial would place them, and the tables of the fast path.
struct BenchMolecules {
  Cood cood;
  RunParameters run;
  TypeTable types;
  EnergyTables tables;
};

// `listing` names a folder under bench/listings.
void loadBenchMolecules(const std::string& listing, int NATOM, BenchMolecules& m);

}  // namespace packscan
