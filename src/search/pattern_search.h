#pragma once

#include <cstdint>

#include "energy/energy_model.h"
#include "geometry/step_state.h"
#include "input/cood.h"
#include "output/report_writer.h"

namespace packscan {

// A search ends after this many trials even when every move keeps lowering the
// total (two molecules that repel at every distance never stop improving).
inline constexpr std::int64_t kTrialBound = 100000;

// The parameters of one orientation step that the search moves, and the best
// total; on return they hold the accepted point and its total.
struct SearchPoint {
  float A = 0;
  float B = 0;
  float RXB = 0;
  float EBEST = 0;
};

// Direction flags: 0 undecided, 1 last accepted move up, -1 down, 2 finished.
struct SearchFlags {
  std::int32_t FLAGA = 0;
  std::int32_t FLAGB = 0;
  std::int32_t FLAGR = 0;
};

struct SearchOutcome {
  std::int64_t trials = 0;
  bool boundReached = false;
};

// The fixed-step coordinate search over A, B and RXB. `evaluate(point, flags)`
// makes the trial at the point as the move left it (flags as they stand before
// the trial is judged) and returns its total ENEW.
template <class Evaluate>
SearchOutcome searchParameters(SearchPoint& point, Evaluate&& evaluate,
                               std::int64_t trialBound = kTrialBound) {
  float* const value[3] = {&point.A, &point.B, &point.RXB};
  const float step[3] = {0.1f, 0.1f, 0.2f};
  SearchFlags flags;
  std::int32_t* const flag[3] = {&flags.FLAGA, &flags.FLAGB, &flags.FLAGR};
  // A step back applies the opposite move to the current value; the value
  // before the move is not kept, so the last bits may change.
  auto move = [&](int p, int d) {
    if (d > 0) *value[p] = step[p] + *value[p];
    else *value[p] = *value[p] - step[p];
  };
  auto directionOf = [&](int p) { return *flag[p] == -1 ? -1 : 1; };

  SearchOutcome outcome;
  int p = 0;  // the first move is A up
  int d = 1;
  for (;;) {
    move(p, d);
    const float ENEW = evaluate(static_cast<const SearchPoint&>(point), static_cast<const SearchFlags&>(flags));
    ++outcome.trials;
    if (ENEW < point.EBEST) {  // strictly lower; a NaN on either side is rejected
      point.EBEST = ENEW;
      if (*flag[p] != 2) *flag[p] = d;
      const int q = (p + 1) % 3;
      if (*flag[q] != 2) {
        p = q;
        d = directionOf(q);
      } else {
        p = (q + 1) % 3;  // moved up whatever its flag says
        d = 1;
      }
    } else {
      move(p, -d);
      if (d > 0 && *flag[p] == 0) {
        d = -1;  // the other direction of an undecided parameter
      } else {
        *flag[p] = 2;
        if (flags.FLAGA == 2 && flags.FLAGB == 2 && flags.FLAGR == 2) return outcome;
        const int q = (p + 1) % 3;
        p = *flag[q] != 2 ? q : (q + 1) % 3;
        d = directionOf(p);
      }
    }
    if (outcome.trials >= trialBound) {
      outcome.boundReached = true;
      return outcome;
    }
  }
}

// Minimises EAC + 2 EAB of orientation step m over A, B and RXB, one R19 per
// trial. RY, RZ, TY, TZ, EAB, EAC and molecules B and C are left as the last
// trial made them, one step of one parameter away from the accepted point.
void patternSearch(StepState& step, int m, Cood& cood, const RunParameters& run, const EnergyModel& energy,
                   ReportWriter& report);

}  // namespace packscan
