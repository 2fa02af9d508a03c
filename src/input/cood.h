#pragma once

#include <array>
#include <cstdint>

#include "recio/record_format.h"

namespace packscan {

inline constexpr int kMaxAtoms = 100;
// Arrays are indexed from 1; the spare entries past kMaxAtoms let vector code
// load whole registers at the end of a molecule.
inline constexpr int kAtomSlots = 128;

using Coordinates = std::array<float, kAtomSlots>;

// The shared molecule store: molecule A as read (and turned by the scan),
// its two copies B and C, and A's unturned x and y. Entries 1..NATOM are used.
struct Cood {
  std::array<float, 7> P{};  // cell values P(1)..P(6)
  std::array<std::int32_t, kAtomSlots> ITYPE{};
  Coordinates X{}, Y{}, Z{};
  std::array<Label, kAtomSlots> NAME1{}, NAME2{};
  Coordinates Q{};
  Coordinates XB{}, YB{}, ZB{};
  Coordinates XC{}, YC{}, ZC{};
  Coordinates XS{}, YS{};
};

// Scalars set once by the listing reader (and SGN, TX by the initial placement).
struct RunParameters {
  std::int32_t NATOM = 0;
  std::int32_t NTYPE = 1;
  float FAI = 0, DFAI = 0, THETA = 0, B0 = 3.5f;
  float VV = 0, VL = 0, VVP2 = 0, VLP2 = 0;
  float RX = 0, RY = 0, RZ = 0, THETAU = 0, SGNIN = 0;
  float SGN = 1, TX = 0;
};

// Angles are held in degrees and turned into radians with this factor.
inline constexpr float DEG2RAD = 0.017453292f;

}  // namespace packscan
