// The input phase on an arbitrary listing held in memory: the listing reader,
// the type table, and the initial placement with its two energy evaluations.
// A RunFailure is the expected end of a bad listing; anything else (a crash,
// a sanitizer report, another exception, a broken check) is a finding.

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "energy/energy_model.h"
#include "energy/type_table.h"
#include "fuzz_checks.h"
#include "geometry/initial_placement.h"
#include "input/cood.h"
#include "input/listing_reader.h"
#include "output/report_writer.h"
#include "output/xyz_writer.h"
#include "recio/record_file.h"
#include "recio/run_failure.h"

namespace packscan::fuzz {
namespace {

// The files of a run, all in memory.
struct MemoryRun {
  RecordFile listing;
  RecordFile report = openOutputMemory("rb872.dat");
  std::array<RecordFile, kOrientationSteps> coords;
  ReportWriter reportWriter{&report};
  XyzWriter xyzWriter{};

  explicit MemoryRun(std::string text) : listing(openInputMemory("atp.dat", std::move(text))) {
    for (int k = 0; k < kOrientationSteps; ++k) {
      coords[k] = openOutputMemory("coord" + std::to_string(k + 1) + ".xyz");
      xyzWriter.files[k] = &coords[k];
    }
  }
};

struct Phase {
  Cood cood;
  RunParameters run;
  TypeTable types;
};

}  // namespace
}  // namespace packscan::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace packscan;
  using namespace packscan::fuzz;
  MemoryRun files(std::string(reinterpret_cast<const char*>(data), size));
  auto phase = std::make_unique<Phase>();  // the type table is 80 kB: keep it off the stack
  Cood& cood = phase->cood;
  RunParameters& run = phase->run;
  try {
    readInputListing(files.listing, files.reportWriter, files.xyzWriter, cood, run);
    check(run.NATOM >= 0 && run.NATOM <= kMaxAtoms, "atom count outside 0..100");
    check(run.NTYPE >= 1, "type count below 1");
    check(run.DFAI != 0.0f && run.THETA != 0.0f, "a zero angle step or screw angle left in place");
    assignTypeParameters(cood, run, phase->types, files.reportWriter);
    const EnergyModel energy{&cood, run.NATOM, &phase->types};
    initialPlacement(cood, run, energy, files.reportWriter, files.xyzWriter);
  } catch (const RunFailure& failure) {
    check(failure.kind != FailureKind::Output, "an output failure on memory files");
    check(failure.message.rfind("atp.dat:", 0) == 0, "a failure that does not name atp.dat");
    check(printable(failure.message), "a failure message with unprintable bytes");
    return 0;
  }
  // The report ends with the table header of R16, and coord1.xyz holds A and C.
  const std::string& report = memoryOutput(files.report);
  check(report.size() >= 6 && report.compare(report.size() - 6, 6, "Total\n") == 0,
        "the report does not end with the table header");
  const std::string& coord1 = memoryOutput(files.coords[0]);
  check(std::count(coord1.begin(), coord1.end(), '\n') == 2 + 2 * run.NATOM,
        "coord1.xyz does not hold its header and molecules A and C");
  return 0;
}
