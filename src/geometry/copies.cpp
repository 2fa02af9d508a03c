#include "geometry/copies.h"

namespace packscan {

void buildScrewCopy(Cood& cood, std::int32_t NATOM, float RXB, float RY, float RZ, float CH, float SH,
                    float SGN) {
  const float cosFull = (CH * CH) - (SH * SH);
  const float sinFull = (SH + SH) * CH;
  const float signedSin = ((SGN + SGN) * SH) * CH;  // SGN enters the y coefficient of ZB only
  const bool firstVariant = cood.P[1] > cood.P[2];    // false for equal values and NaN
  for (int j = 1; j <= NATOM; ++j) {
    const float x = cood.X[j], y = cood.Y[j], z = cood.Z[j];
    if (firstVariant) {
      cood.ZB[j] = RZ + ((cosFull * z) + (y * signedSin));
      cood.YB[j] = RY + ((sinFull * z) + (y * cosFull));
    } else {
      cood.ZB[j] = RZ + ((cosFull * z) - (y * signedSin));
      cood.YB[j] = RY + ((z * sinFull) - (cosFull * y));
    }
    cood.XB[j] = RXB - x;
  }
}

void buildTranslatedCopy(const Cood& cood, std::int32_t NATOM, float TX, float TY, float TZ,
                         Coordinates& DX, Coordinates& DY, Coordinates& DZ) {
  for (int j = 1; j <= NATOM; ++j) {
    DZ[j] = TZ + cood.Z[j];
    DY[j] = TY + cood.Y[j];
    DX[j] = TX + cood.X[j];
  }
}

}  // namespace packscan
