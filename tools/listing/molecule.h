#pragma once

#include <string>
#include <vector>

namespace packscan::listing {

// packscan reads at most this many atoms.
inline constexpr int kMaxListingAtoms = 100;

struct Atom {
  std::string element;  // normalised symbol: "C", "Cl"
  double x = 0, y = 0, z = 0;
  double charge = 0;
};

struct Molecule {
  std::vector<Atom> atoms;
  bool hasCharges = false;
};

// A problem with the input or the options that stops the build of a listing.
// The message carries its own context ("water.xyz:4: ..."), without a program prefix.
struct ListingError {
  std::string message;
};

// Messages about things the listing builder carried on with.
using Warnings = std::vector<std::string>;

}  // namespace packscan::listing
