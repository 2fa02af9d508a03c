#pragma once

#include <string>
#include <string_view>

#include "molecule.h"

namespace packscan::listing {

// Reads the first molecule of an XYZ text: an atom count, a comment line, then
// one line per atom with an element symbol (or atomic number), x, y, z and,
// optionally for all atoms or for none, a partial charge. `name` prefixes the
// messages. Throws ListingError.
Molecule readXyz(std::string_view content, const std::string& name, Warnings& warnings);

// Reads the first molecule of a Tripos MOL2 text: coordinates, the element
// from each atom's SYBYL type ("C.ar" is carbon) and the partial charges.
Molecule readMol2(std::string_view content, const std::string& name, Warnings& warnings);

}  // namespace packscan::listing
