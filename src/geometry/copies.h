#pragma once

#include <cstdint>

#include "input/cood.h"

namespace packscan {

// Molecule B into XB, YB, ZB: x mirrored about the plane x = RXB/2, y and z
// turned through the full screw angle (cosine and sine of its half in CH, SH)
// and shifted by RY, RZ. P(1) > P(2) chooses the first variant.
void buildScrewCopy(Cood& cood, std::int32_t NATOM, float RXB, float RY, float RZ, float CH, float SH,
                    float SGN);

// Molecule C, A shifted by (TX, TY, TZ), into the three destination arrays.
void buildTranslatedCopy(const Cood& cood, std::int32_t NATOM, float TX, float TY, float TZ,
                         Coordinates& DX, Coordinates& DY, Coordinates& DZ);

}  // namespace packscan
