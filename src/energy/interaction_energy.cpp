#include "energy/interaction_energy.h"

#include <cmath>
#include <limits>

#include "energy/single_math.h"

namespace packscan {

PairEnergy interactionEnergy(const Cood& cood, std::int32_t NATOM, const TypeTable& types,
                             const Coordinates& CX, const Coordinates& CY, const Coordinates& CZ) {
  float EVDW = 0.0f;
  float ECOUL = 0.0f;
  for (int j = 1; j <= NATOM; ++j) {
    for (int i = 1; i <= NATOM; ++i) {
      const float DX = cood.X[i] - CX[j];
      const float DY = cood.Y[i] - CY[j];
      const float DZ = cood.Z[i] - CZ[j];
      const float DIST = std::sqrt(((DX * DX) + (DY * DY)) + (DZ * DZ));
      if (DIST == 0.0f) {
        // Coincident atoms repel without bound; such a placement never wins.
        EVDW = EVDW + std::numeric_limits<float>::infinity();
        continue;
      }
      const int TJ = typeSlot(cood.ITYPE[j]);
      const int TI = typeSlot(cood.ITYPE[i]);
      const float EPSIJ = std::sqrt(types.EPS[TI] * types.EPS[TJ]);
      const float R0IJ = types.RSTAR[TI] + types.RSTAR[TJ];
      const float RHO = DIST / R0IJ;
      const float repulsion = expSingle(-(12.0f * RHO)) * 184000.0f;
      const float s = RHO * RHO;
      const float q = s * s;
      const float dispersion = 2.25f / (s * q);
      // A type without parameters has EPSIJ = 0: its term is exactly zero, even
      // where the bracket overflows for a very close pair.
      const float vdw = EPSIJ == 0.0f ? 0.0f : EPSIJ * (repulsion - dispersion);
      const float coulomb = (cood.Q[j] * (cood.Q[i] * 1380.0f)) / DIST;
      EVDW = EVDW + vdw;
      ECOUL = ECOUL + coulomb;
    }
  }
  return {EVDW, ECOUL, ECOUL + EVDW};
}

}  // namespace packscan
