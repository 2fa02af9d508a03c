#pragma once

#include "energy/energy_model.h"
#include "geometry/step_state.h"
#include "input/cood.h"
#include "output/report_writer.h"
#include "output/xyz_writer.h"

namespace packscan {

// Turns A to twelve orientations about z and, at each, finds the placement of
// B and C with the lowest EAC + 2 EAB; reports every step and the summary.
void orientationScan(Cood& cood, RunParameters& run, const EnergyModel& energy, ReportWriter& report,
                     XyzWriter& xyz);

}  // namespace packscan
