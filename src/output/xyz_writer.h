#pragma once

#include <array>
#include <cstdint>

#include "input/cood.h"
#include "recio/record_file.h"

namespace packscan {

inline constexpr int kOrientationSteps = 12;

// Owns the twelve coordinate files coord1.xyz .. coord12.xyz (numbered 1..12).
struct XyzWriter {
  std::array<RecordFile*, kOrientationSteps> files;
};

// C1 with the atom count, then C2 with the second header value, into file k.
void writeHeader(XyzWriter& writer, int k, std::int32_t atomCount, std::int32_t second);

// One C3 record per atom 1..natom: label and x, y, z.
void writeBlock(XyzWriter& writer, int k, std::int32_t natom, const std::array<Label, kAtomSlots>& labels,
                const Coordinates& x, const Coordinates& y, const Coordinates& z);

// The file that receives the blocks of orientation step m.
int stepFile(int m);

}  // namespace packscan
