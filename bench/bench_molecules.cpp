#include "bench_molecules.h"

#include <stdexcept>

#include "geometry/copies.h"
#include "input/listing_reader.h"
#include "output/report_writer.h"
#include "output/xyz_writer.h"
#include "recio/record_file.h"

namespace packscan {

void loadBenchMolecules(const std::string& listing, int NATOM, BenchMolecules& m) {
  RecordFile input = openInputFile("atp.dat", std::string(PACKSCAN_BENCH_LISTINGS) + "/" + listing);
  RecordFile reportFile = openOutputMemory("rb872.dat");
  ReportWriter report{&reportFile};
  std::array<RecordFile, kOrientationSteps> xyzFiles;
  XyzWriter xyz{};
  for (int k = 0; k < kOrientationSteps; ++k) {
    xyzFiles[k] = openOutputMemory("coord.xyz");
    xyz.files[k] = &xyzFiles[k];
  }
  readInputListing(input, report, xyz, m.cood, m.run);
  if (m.run.NATOM < NATOM) throw std::runtime_error(listing + " has fewer than " + std::to_string(NATOM) + " atoms");
  m.run.NATOM = NATOM;
  assignTypeParameters(m.cood, m.run, m.types, report);
  // A screw copy and a stacked translated copy, about where a search ends.
  const float CH = 0.70710677f, SH = 0.70710677f;
  buildScrewCopy(m.cood, NATOM, 1.8f, 9.0f, 12.4f, CH, SH, 1.0f);
  buildTranslatedCopy(m.cood, NATOM, 0.0f, -3.4293f, 3.4293f, m.cood.XC, m.cood.YC, m.cood.ZC);
  buildEnergyTables(m.cood, NATOM, m.types, m.tables);
}

}  // namespace packscan
