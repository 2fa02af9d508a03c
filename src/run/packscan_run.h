#pragma once

#include <string>

#include "energy/energy_model.h"

namespace packscan {

// Exit statuses of a run.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitInputFailure = 2;   // atp.dat unreadable, cut short or holding a bad value
inline constexpr int kExitOutputFailure = 3;  // an output file could not be opened or written
inline constexpr int kExitBadUnitRecord = 4;  // a unit record number is unreadable: no placement, no scan
inline constexpr int kExitInternalError = 70;

// How a run evaluates its energies; the files it writes are the same either way.
struct RunOptions {
  EnergyPath energyPath = EnergyPath::Fast;
  EnergyKernel kernel = bestEnergyKernel();  // for the fast path; must be supported
};

// One whole run on the files of `directory` (the working directory when empty):
// reads atp.dat, writes rb872.dat and coord1.xyz .. coord12.xyz, prints any
// diagnostic on standard error and gives the exit status.
int runPackscan(const std::string& directory = {}, const RunOptions& options = {});

}  // namespace packscan
