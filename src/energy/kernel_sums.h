#pragma once

// The summation shared by the vector kernels. Each sum is the sequential
// single-precision sum of the reference loop (copy atom j outer, A atom i
// inner); only the production of the terms is vectorised. The terms of row j
// are produced while the terms of row j - 1 are being added, so the vector
// work overlaps the latency of the additions.

#include <algorithm>

#include "energy/interaction_energy.h"
#include "input/cood.h"

namespace packscan {

struct TermRow {
  alignas(64) float vdw[kAtomSlots];
  alignas(64) float coul[kAtomSlots];
};

// computeBlock(j, i0, row) writes the terms of copy atom j with A atoms
// i0 .. i0 + lanes - 1 (from 0) into row.
template <int kLanes, class ComputeBlock>
PairEnergy pipelinedSum(int n, ComputeBlock computeBlock) {
  TermRow rows[2];
  float EVDW = 0.0f, ECOUL = 0.0f;
  for (int j = 0; j <= n; ++j) {
    TermRow& filling = rows[j & 1];
    const TermRow& adding = rows[(j + 1) & 1];
    for (int i0 = 0; i0 < n; i0 += kLanes) {
      if (j < n) computeBlock(j, i0, filling);
      if (j == 0) continue;
      const int end = std::min(i0 + kLanes, n);
      for (int i = i0; i < end; ++i) {
        EVDW = EVDW + adding.vdw[i];
        ECOUL = ECOUL + adding.coul[i];
      }
    }
  }
  return {EVDW, ECOUL, ECOUL + EVDW};
}

// Two sums side by side: four independent chains of additions.
template <int kLanes, class ComputeFirst, class ComputeSecond>
void pipelinedSumPair(int n, ComputeFirst first, ComputeSecond second, PairEnergy& e1, PairEnergy& e2) {
  TermRow rows1[2], rows2[2];
  float EVDW1 = 0.0f, ECOUL1 = 0.0f, EVDW2 = 0.0f, ECOUL2 = 0.0f;
  for (int j = 0; j <= n; ++j) {
    for (int i0 = 0; i0 < n; i0 += kLanes) {
      if (j < n) {
        first(j, i0, rows1[j & 1]);
        second(j, i0, rows2[j & 1]);
      }
      if (j == 0) continue;
      const TermRow& adding1 = rows1[(j + 1) & 1];
      const TermRow& adding2 = rows2[(j + 1) & 1];
      const int end = std::min(i0 + kLanes, n);
      for (int i = i0; i < end; ++i) {
        EVDW1 = EVDW1 + adding1.vdw[i];
        ECOUL1 = ECOUL1 + adding1.coul[i];
        EVDW2 = EVDW2 + adding2.vdw[i];
        ECOUL2 = ECOUL2 + adding2.coul[i];
      }
    }
  }
  e1 = {EVDW1, ECOUL1, ECOUL1 + EVDW1};
  e2 = {EVDW2, ECOUL2, ECOUL2 + EVDW2};
}

}  // namespace packscan
