#pragma once

#include "molecule.h"

namespace packscan::listing {

// Moves the molecule's centroid (unweighted) to the origin and turns it onto
// its principal axes: x along the direction of largest spread (the long axis),
// z along that of smallest spread (the normal of the best plane), y completing
// a right-handed frame. Each axis points the way the atoms lean (positive sum
// of cubed projections) or, for a symmetric spread, towards the first atom off
// the axis's plane. When the three spreads differ, the result does not depend
// on how the input was turned or where it stood.
void turnOntoPrincipalAxes(Molecule& molecule);

}  // namespace packscan::listing
