#include "search/pattern_search.h"

#include <string>

#include "geometry/copies.h"
#include "run/warning.h"

namespace packscan {
namespace {

// Builds B and C for the parameters as the move left them, evaluates both
// energies and reports the trial with the flags as they stand before judging.
float evaluateTrial(StepState& step, const SearchFlags& flags, Cood& cood, const RunParameters& run,
                    const EnergyModel& energy, ReportWriter& report) {
  derivePlacement(step);
  buildScrewCopy(cood, run.NATOM, step.RXB, step.RY, step.RZ, step.CH, step.SH, run.SGN);
  step.EAB = copyEnergy(energy, cood.XB, cood.YB, cood.ZB).total;
  buildTranslatedCopy(cood, run.NATOM, run.TX, step.TY, step.TZ, cood.XC, cood.YC, cood.ZC);
  step.EAC = copyEnergy(energy, cood.XC, cood.YC, cood.ZC).total;
  const float ENEW = step.EAC + (step.EAB + step.EAB);
  writeReport(report, ReportRecord::R19,
              {step.A, step.B, step.RXB, ENEW, flags.FLAGA, flags.FLAGB, flags.FLAGR});
  return ENEW;
}

}  // namespace

void patternSearch(StepState& step, int m, Cood& cood, const RunParameters& run, const EnergyModel& energy,
                   ReportWriter& report) {
  SearchPoint point{step.A, step.B, step.RXB, step.EBEST};
  const SearchOutcome outcome = searchParameters(point, [&](const SearchPoint& at, const SearchFlags& flags) {
    step.A = at.A;
    step.B = at.B;
    step.RXB = at.RXB;
    return evaluateTrial(step, flags, cood, run, energy, report);
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
