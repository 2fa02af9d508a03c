#pragma once

#include <array>
#include <cstdint>

#include "input/cood.h"
#include "output/report_writer.h"

namespace packscan {

// A type number is an I4 field, so no type exceeds 9999.
inline constexpr int kMaxTypes = 9999;

// Well depth and van der Waals radius per type number. Entry 0 stands for
// every type below 1; it and every type without parameters hold zeros.
struct TypeTable {
  std::array<float, kMaxTypes + 1> EPS{};
  std::array<float, kMaxTypes + 1> RSTAR{};
};

// The table entry that a type number reads.
inline int typeSlot(std::int32_t type) { return type < 1 || type > kMaxTypes ? 0 : type; }

// Fills the table from the element labels of the atoms and writes one R5 row per
// type 1..NTYPE. A type among the atoms that gets no parameters draws a warning.
void assignTypeParameters(const Cood& cood, const RunParameters& run, TypeTable& types,
                          ReportWriter& report);

}  // namespace packscan
