#include "geometry/initial_placement.h"

#include "energy/single_math.h"
#include "geometry/copies.h"

namespace packscan {
namespace {

// Negates values below zero only, so a negative zero stays a negative zero.
float magnitude(float value) { return value < 0.0f ? -value : value; }

void reportEnergy(ReportWriter& report, const PairEnergy& energy) {
  writeReport(report, ReportRecord::R13, {energy.EVDW, energy.ECOUL, energy.total});
}

}  // namespace

void initialPlacement(Cood& cood, RunParameters& run, const EnergyModel& energy, ReportWriter& report,
                      XyzWriter& xyz) {
  const float RX = run.RX, RY = run.RY, RZ = run.RZ;
  writeReport(report, ReportRecord::R6, {});
  run.SGN = RY < 0.0f ? -1.0f : 1.0f;
  writeReport(report, ReportRecord::R7, {RX, RY, RZ, run.THETAU});
  if (run.SGNIN != 0.0f) run.SGN = run.SGNIN;  // a NaN compares unequal and is taken too

  const float halfAngle = (0.5f * run.THETAU) * DEG2RAD;
  const float CH = cosSingle(halfAngle);
  const float SH = sinSingle(halfAngle);

  const float absRX = magnitude(RX), absRY = magnitude(RY), absRZ = magnitude(RZ);
  float RY0 = (SH * absRZ) + (CH * absRY);
  float RZ0 = (CH * absRZ) - (SH * absRY);
  const float DELTA = atanSingle(absRX / RZ0) / DEG2RAD;  // RZ0 with its sign
  RY0 = magnitude(RY0);
  RZ0 = magnitude(RZ0);

  float BI = RY0 + RY0;
  float AI = (RZ0 + RZ0) / cosSingle(DELTA * DEG2RAD);
  const float* P = cood.P.data();
  if (P[2] > P[1]) {
    BI = AI;
    AI = RY0 + RY0;
    writeReport(report, ReportRecord::R8, {run.SGN}, R8Form::First);
  } else {
    writeReport(report, ReportRecord::R8, {run.SGN}, R8Form::Second);
  }

  run.TX = 0.0f;
  float TY = CH * (run.SGN * BI);
  float TZ = SH * BI;
  if (RZ < 0.0f) {
    TY = -TY;
    TZ = -TZ;
  }
  float BMIN = P[2];
  if (BMIN > P[3]) BMIN = P[3];

  writeReport(report, ReportRecord::R9, {CH, SH});
  writeReport(report, ReportRecord::R10, {RY0, RZ0, DELTA});
  writeReport(report, ReportRecord::R11, {P[1], AI});
  writeReport(report, ReportRecord::R12, {BMIN, BI});

  buildScrewCopy(cood, run.NATOM, RX, RY, RZ, CH, SH, run.SGN);
  reportEnergy(report, copyEnergy(energy, cood.XB, cood.YB, cood.ZB));
  writeReport(report, ReportRecord::R14, {});
  writeReport(report, ReportRecord::R15, {run.TX, TY, TZ});

  // Molecule C goes into the B arrays, overwriting molecule B.
  buildTranslatedCopy(cood, run.NATOM, run.TX, TY, TZ, cood.XB, cood.YB, cood.ZB);
  writeBlock(xyz, 1, run.NATOM, cood.NAME2, cood.XB, cood.YB, cood.ZB);
  reportEnergy(report, copyEnergy(energy, cood.XB, cood.YB, cood.ZB));
  writeReport(report, ReportRecord::R16, {});
}

}  // namespace packscan
