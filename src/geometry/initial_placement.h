#pragma once

#include "energy/energy_model.h"
#include "input/cood.h"
#include "output/report_writer.h"
#include "output/xyz_writer.h"

namespace packscan {

// Places B and C once from the unit record, reports the derived quantities and
// both energies (R6 to R16), appends the translated copy to coord1.xyz, and
// fixes SGN and TX for the rest of the run.
void initialPlacement(Cood& cood, RunParameters& run, const EnergyModel& energy, ReportWriter& report,
                      XyzWriter& xyz);

}  // namespace packscan
