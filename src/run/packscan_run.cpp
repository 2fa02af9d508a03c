#include "run/packscan_run.h"

#include <cstdio>
#include <exception>
#include <vector>

#include "energy/energy_model.h"
#include "energy/type_table.h"
#include "geometry/initial_placement.h"
#include "geometry/orientation_scan.h"
#include "input/cood.h"
#include "input/listing_reader.h"
#include "recio/record_file.h"
#include "recio/run_failure.h"

namespace packscan {
namespace {

// The fourteen files of a run, in the order they are opened.
struct FileSet {
  std::vector<RecordFile> files;  // atp.dat, rb872.dat, coord1.xyz .. coord12.xyz
};

void openFileSet(FileSet& set, const std::string& directory) {
  set.files.reserve(2 + kOrientationSteps);
  set.files.push_back(openInputFile("atp.dat", directory));
  set.files.push_back(openOutputFile("rb872.dat", directory));
  for (int k = 1; k <= kOrientationSteps; ++k)
    set.files.push_back(openOutputFile("coord" + std::to_string(k) + ".xyz", directory));
}

int exitStatusOf(FailureKind kind) {
  switch (kind) {
    case FailureKind::Input: return kExitInputFailure;
    case FailureKind::Output: return kExitOutputFailure;
    case FailureKind::UnitRecord: return kExitBadUnitRecord;
  }
  return kExitInternalError;
}

void printDiagnostic(const std::string& message) {
  std::fprintf(stderr, "packscan: %s\n", message.c_str());
}

// Closes every file so that all records written so far reach it; reports each
// file that cannot be written and gives the failure status of the first one.
int closeFileSet(FileSet& set) {
  int status = kExitNormal;
  for (RecordFile& file : set.files) {
    try {
      closeFile(file);
    } catch (const RunFailure& failure) {
      printDiagnostic(failure.message);
      if (status == kExitNormal) status = exitStatusOf(failure.kind);
    }
  }
  return status;
}

void runPhases(FileSet& set, const RunOptions& options) {
  Cood cood;
  RunParameters run;
  TypeTable types;
  EnergyTables tables;

  ReportWriter report{&set.files[1]};
  XyzWriter xyz{};
  for (int k = 1; k <= kOrientationSteps; ++k) xyz.files[k - 1] = &set.files[1 + k];

  readInputListing(set.files[0], report, xyz, cood, run);
  assignTypeParameters(cood, run, types, report);
  if (options.energyPath == EnergyPath::Fast) buildEnergyTables(cood, run.NATOM, types, tables);
  const EnergyModel energy{&cood, run.NATOM, &types, options.energyPath, &tables, options.kernel};
  initialPlacement(cood, run, energy, report, xyz);
  orientationScan(cood, run, energy, report, xyz);
}

}  // namespace

int runPackscan(const std::string& directory, const RunOptions& options) {
  FileSet set;
  int status = kExitNormal;
  try {
    openFileSet(set, directory);
    runPhases(set, options);
  } catch (const RunFailure& failure) {
    printDiagnostic(failure.message);
    status = exitStatusOf(failure.kind);
  } catch (const std::exception& error) {
    printDiagnostic(std::string("internal error: ") + error.what());
    status = kExitInternalError;
  }
  const int closeStatus = closeFileSet(set);
  return status != kExitNormal ? status : closeStatus;
}

}  // namespace packscan
