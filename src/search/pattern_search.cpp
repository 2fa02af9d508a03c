#include "search/pattern_search.h"

#include <bit>
#include <cstdint>
#include <string>

#include "geometry/copies.h"
#include "run/warning.h"

namespace packscan {
namespace {

// Molecule C is A shifted by (TX, TY, TZ), and within one search A and TX stay
// fixed while TY and TZ follow B alone. A trial that moves A or RXB therefore
// rebuilds the very molecule C of the trial before, and the fast path takes
// EAC from the last trial that evaluated it instead of summing it again.
struct TranslatedEnergyMemo {
  bool valid = false;
  std::uint32_t TY = 0, TZ = 0;  // bit patterns, so -0 and +0 stay apart
  float EAC = 0;
};

std::uint32_t bitsOf(float value) { return std::bit_cast<std::uint32_t>(value); }

// EAB and EAC of the molecules B and C just built.
void evaluateEnergies(StepState& step, Cood& cood, const EnergyModel& energy, TranslatedEnergyMemo& memo) {
  if (energy.path == EnergyPath::Reference) {
    step.EAB = copyEnergy(energy, cood.XB, cood.YB, cood.ZB).total;
    step.EAC = copyEnergy(energy, cood.XC, cood.YC, cood.ZC).total;
    return;
  }
  if (memo.valid && memo.TY == bitsOf(step.TY) && memo.TZ == bitsOf(step.TZ)) {
    step.EAB = copyEnergy(energy, cood.XB, cood.YB, cood.ZB).total;
    step.EAC = memo.EAC;
    return;
  }
  const auto [EB, EC] = copyEnergies(energy, cood.XB, cood.YB, cood.ZB, cood.XC, cood.YC, cood.ZC);
  step.EAB = EB.total;
  step.EAC = EC.total;
  memo = {true, bitsOf(step.TY), bitsOf(step.TZ), step.EAC};
}

// Builds B and C for the parameters as the move left them, evaluates both
// energies and reports the trial with the flags as they stand before judging.
float evaluateTrial(StepState& step, const SearchFlags& flags, Cood& cood, const RunParameters& run,
                    const EnergyModel& energy, TranslatedEnergyMemo& memo, ReportWriter& report) {
  derivePlacement(step);
  buildScrewCopy(cood, run.NATOM, step.RXB, step.RY, step.RZ, step.CH, step.SH, run.SGN);
  buildTranslatedCopy(cood, run.NATOM, run.TX, step.TY, step.TZ, cood.XC, cood.YC, cood.ZC);
  evaluateEnergies(step, cood, energy, memo);
  const float ENEW = step.EAC + (step.EAB + step.EAB);
  writeReport(report, ReportRecord::R19,
              {step.A, step.B, step.RXB, ENEW, flags.FLAGA, flags.FLAGB, flags.FLAGR});
  return ENEW;
}

}  // namespace

void patternSearch(StepState& step, int m, Cood& cood, const RunParameters& run, const EnergyModel& energy,
                   ReportWriter& report) {
  SearchPoint point{step.A, step.B, step.RXB, step.EBEST};
  TranslatedEnergyMemo memo;
  const SearchOutcome outcome = searchParameters(point, [&](const SearchPoint& at, const SearchFlags& flags) {
    step.A = at.A;
    step.B = at.B;
    step.RXB = at.RXB;
    return evaluateTrial(step, flags, cood, run, energy, memo, report);
  });
  step.A = point.A;
  step.B = point.B;
  step.RXB = point.RXB;
  step.EBEST = point.EBEST;
  if (outcome.boundReached)
    warn("the search of orientation step " + std::to_string(m) + " stopped after " +
         std::to_string(outcome.trials) + " trials without finishing; its result is the best point found so far");
}

}  // namespace packscan
