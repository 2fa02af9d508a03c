#pragma once

#include <array>
#include <string>

#include "molecule.h"

namespace packscan::listing {

// What the molecule itself cannot tell. The defaults are those of the starter
// listing (examples/starter/atp.dat).
struct ListingOptions {
  std::array<double, 6> cell{7.512, 9.834, 12.441, 90.0, 101.23, 90.0};  // a, b, c, alpha, beta, gamma
  double fai = 0.0;     // first orientation angle, degrees
  double dfai = 15.0;   // orientation step, degrees
  double theta = 90.0;  // screw angle of the copy B, degrees
  // The unit record: the first placement of B and C. RZ must lie in
  // 3.0 < |RZ| < 5.1; the sign of RY (or a non-zero SGNIN) fixes the sign
  // factor of every copy B of the run.
  double rx = 3.756, ry = -2.1, rz = 4.2, thetau = 180.0, sgnin = 0.0;
  std::string source;   // input file name, quoted in a comment line
  bool turned = true;   // the molecule was turned onto its principal axes
};

// The text of atp.dat for the molecule. Throws ListingError when an option
// cannot be written or would not be read as given; adds a warning for each
// element that packscan has no van der Waals parameters for.
std::string writeListing(const Molecule& molecule, const ListingOptions& options, Warnings& warnings);

}  // namespace packscan::listing
