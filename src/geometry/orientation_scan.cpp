#include "geometry/orientation_scan.h"

#include <array>

#include "energy/single_math.h"
#include "geometry/copies.h"
#include "search/pattern_search.h"

namespace packscan {
namespace {

// One row of the summary table: the values of the step's R20 with FAI in front.
using SummaryRow = std::array<float, 12>;

struct Reported {
  float RXREP, RYREP, FXREP, FYREP;
};

// (RXB, RY) and (TX, TY) turned back through +FAI for the report.
Reported turnBack(const StepState& step, float TX, float COSF, float SINF) {
  return {
      (step.RXB * COSF) - (step.RY * SINF),
      (step.RY * COSF) + (step.RXB * SINF),
      (COSF * TX) - (step.TY * SINF),
      (step.TY * COSF) + (SINF * TX),
  };
}

void writeStepRow(ReportWriter& report, ReportRecord id, float THETA, const StepState& step,
                  const Reported& rep, float last) {
  writeReport(report, id,
              {THETA, step.A, step.B, rep.RXREP, rep.RYREP, step.RZ, step.EAB, rep.FXREP, rep.FYREP, step.TZ,
               step.EAC, last});
}

}  // namespace

void derivePlacement(StepState& step) {
  step.RY = (step.SH * (step.A * 0.5f)) - (step.CH * (step.B * 0.5f));
  step.RZ = (step.CH * (step.A * 0.5f)) + ((step.B * 0.5f) * step.SH);
  step.TY = -(step.CH * step.B);
  step.TZ = step.SH * step.B;
}

void orientationScan(Cood& cood, RunParameters& run, const EnergyModel& energy, ReportWriter& report,
                     XyzWriter& xyz) {
  const int NATOM = run.NATOM;
  for (int j = 1; j <= NATOM; ++j) {
    cood.XS[j] = cood.X[j];
    cood.YS[j] = cood.Y[j];
  }
  std::array<SummaryRow, kOrientationSteps + 1> summary{};

  for (int M = 1; M <= kOrientationSteps; ++M) {
    const float COSF = cosSingle(run.FAI * DEG2RAD);
    const float SINF = sinSingle(run.FAI * DEG2RAD);
    const float Y00 = ((run.VLP2 * SINF) * SINF) + ((run.VVP2 * COSF) * COSF);
    const float X00 = ((run.VLP2 * COSF) * COSF) + ((run.VVP2 * SINF) * SINF);
    const float RX = (0.5f * (run.VLP2 - 2.0f)) * SINF;
    // A turned through -FAI about z, always from the saved copy.
    for (int j = 1; j <= NATOM; ++j) {
      cood.X[j] = (cood.YS[j] * SINF) + (cood.XS[j] * COSF);
      cood.Y[j] = (cood.YS[j] * COSF) - (cood.XS[j] * SINF);
    }
    writeReport(report, ReportRecord::R17, {run.FAI, Y00, X00});

    StepState step;
    const float halfTheta = (0.5f * run.THETA) * DEG2RAD;
    step.CH = cosSingle(halfTheta);
    step.SH = sinSingle(halfTheta);
    step.A = step.SH * (Y00 + Y00);
    step.B = run.B0 / step.SH;
    step.RXB = RX;
    derivePlacement(step);
    buildScrewCopy(cood, NATOM, step.RXB, step.RY, step.RZ, step.CH, step.SH, run.SGN);
    step.EAB = copyEnergy(energy, cood.XB, cood.YB, cood.ZB).total;
    // C goes into the B arrays here; the first trial rebuilds B before reading them.
    buildTranslatedCopy(cood, NATOM, run.TX, step.TY, step.TZ, cood.XB, cood.YB, cood.ZB);
    step.EAC = copyEnergy(energy, cood.XB, cood.YB, cood.ZB).total;
    const float ETOT = step.EAC + (step.EAB + step.EAB);
    step.EBEST = ETOT;
    writeStepRow(report, ReportRecord::R18, run.THETA, step, turnBack(step, run.TX, COSF, SINF), ETOT);

    patternSearch(step, M, cood, run, energy, report);

    // The accepted A, B, RXB and EBEST beside the last trial's RY, RZ, TY, TZ, EAB, EAC.
    const Reported rep = turnBack(step, run.TX, COSF, SINF);
    writeStepRow(report, ReportRecord::R20, run.THETA, step, rep, step.EBEST);
    summary[M] = {run.FAI, step.A, step.B, rep.RXREP, rep.RYREP, step.RZ,
                  step.EAB, rep.FXREP, rep.FYREP, step.TZ, step.EAC, step.EBEST};

    const int file = stepFile(M);
    writeBlock(xyz, file, NATOM, cood.NAME2, cood.X, cood.Y, cood.Z);
    writeBlock(xyz, file, NATOM, cood.NAME2, cood.XB, cood.YB, cood.ZB);
    writeBlock(xyz, file, NATOM, cood.NAME2, cood.XC, cood.YC, cood.ZC);
    run.FAI = run.DFAI + run.FAI;
  }

  auto writeSummaryRow = [&](float first, const SummaryRow& row) {
    writeReport(report, ReportRecord::R21,
                {first, row[1], row[2], row[3], row[4], row[5], row[6], row[7], row[8], row[9], row[10], row[11]});
  };
  for (int m = 1; m <= kOrientationSteps; ++m) writeSummaryRow(summary[m][0], summary[m]);
  writeSummaryRow(180.0f, summary[1]);  // step 1 again under the angle 180
}

}  // namespace packscan
