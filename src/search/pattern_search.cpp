#include "search/pattern_search.h"

#include <bit>
#include <cstdint>
#include <string>

#include "geometry/copies.h"
#include "run/warning.h"

namespace packscan {
namespace {

// Molecule C depends on B alone (through TY and TZ), so a trial that moves A
// or RXB rebuilds the very same C: its energy can be taken over when the
// translation is bit for bit the one last evaluated.
struct TranslatedEnergy {
  bool known = false;
  std::uint32_t TY = 0, TZ = 0;
  float EAC = 0;
};

// Builds B and C for the parameters as the move left them, evaluates both
// energies and reports the trial with the flags as they stand before judging.
float evaluateTrial(StepState& step, const SearchFlags& flags, Cood& cood, const RunParameters& run,
                    const EnergyModel& energy, ReportWriter& report, TranslatedEnergy& last) {
  derivePlacement(step);
  buildScrewCopy(cood, run.NATOM, step.RXB, step.RY, step.RZ, step.CH, step.SH, run.SGN);
  buildTranslatedCopy(cood, run.NATOM, run.TX, step.TY, step.TZ, cood.XC, cood.YC, cood.ZC);
  const std::uint32_t TY = std::bit_cast<std::uint32_t>(step.TY), TZ = std::bit_cast<std::uint32_t>(step.TZ);
  if (energy.path == EnergyPath::Reference) {
    step.EAB = copyEnergy(energy, cood.XB, cood.YB, cood.ZB).total;
    step.EAC = copyEnergy(energy, cood.XC, cood.YC, cood.ZC).total;
  } else if (last.known && last.TY == TY && last.TZ == TZ) {
    step.EAB = copyEnergy(energy, cood.XB, cood.YB, cood.ZB).total;
    step.EAC = last.EAC;
  } else {
    PairEnergy withB, withC;
    copyEnergies(energy, cood.XB, cood.YB, cood.ZB, cood.XC, cood.YC, cood.ZC, withB, withC);
    step.EAB = withB.total;
    step.EAC = withC.total;
    last = {true, TY, TZ, step.EAC};
  }
  const float ENEW = step.EAC + (step.EAB + step.EAB);
  writeReport(report, ReportRecord::R19,
              {step.A, step.B, step.RXB, ENEW, flags.FLAGA, flags.FLAGB, flags.FLAGR});
  return ENEW;
}

}  // namespace

void patternSearch(StepState& step, int m, Cood& cood, const RunParameters& run, const EnergyModel& energy,
                   ReportWriter& report) {
  SearchPoint point{step.A, step.B, step.RXB, step.EBEST};
  TranslatedEnergy last;  // molecule A is turned anew at every step, so nothing is carried over
  const SearchOutcome outcome = searchParameters(point, [&](const SearchPoint& at, const SearchFlags& flags) {
    step.A = at.A;
    step.B = at.B;
    step.RXB = at.RXB;
    return evaluateTrial(step, flags, cood, run, energy, report, last);
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
