#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "energy/single_math.h"
#include "geometry/copies.h"
#include "geometry/initial_placement.h"
#include "geometry/orientation_scan.h"
#include "listing_support.h"

namespace packscan {
namespace {

using Lines = std::vector<std::string>;

std::string point(float x, float y, float z) {
  char text[64];
  std::snprintf(text, sizeof text, "%.5f %.5f %.5f", x, y, z);
  return text;
}

// One atom of type 0 and charge 0 at (1, 2, 3): the geometry is reported, the energies are zero.
struct PlacementFixture {
  testing::MemoryFiles files{""};
  Cood cood;
  RunParameters run;
  TypeTable types;

  PlacementFixture(float P1, float P2, float P3) {
    cood.P[1] = P1, cood.P[2] = P2, cood.P[3] = P3;
    run.NATOM = 1;
    cood.X[1] = 1, cood.Y[1] = 2, cood.Z[1] = 3;
    cood.NAME2[1] = {'C', ' ', ' ', ' '};
  }
  EnergyModel energy() const { return {&cood, run.NATOM, &types}; }
  Lines place(float RX, float RY, float RZ, float THETAU, float SGNIN) {
    run.RX = RX, run.RY = RY, run.RZ = RZ, run.THETAU = THETAU, run.SGNIN = SGNIN;
    initialPlacement(cood, run, energy(), files.reportWriter, files.xyzWriter);
    return testing::splitLines(memoryOutput(files.report));
  }
};

struct PlacementCase {
  const char* name;
  float P1, P2, P3, RX, RY, RZ, THETAU, SGNIN;
  Lines report;        // R6 to R16
  std::string imageC;  // the translated copy of the atom at (1, 2, 3), from coord1.xyz
};

TEST(InitialPlacement, WorkedExamples) {
  const std::string zeros = "   0.00000   0.00000   0.00000";
  const std::string header =
      "  Theta      a         b         Rx        Ry        Rz        P.E.      Fx        Fy        Fz        "
      "P.E.      Total";
  const std::vector<PlacementCase> cases = {
      {"a > b", 10, 5, 7, 1, 1, 4, 60, 0,
       {"", "p", " RX =    1.00000 RY =    1.00000 RZ =    4.00000 Theta =   60.00000", " a > b   1.0",
        " cos th/2 =    0.86603 sin th/2 =    0.50000", " RY0      =    2.86603 RZ0      =    2.96410 Delta =   18.64287",
        " a =  10.00000 2RZ0/cos Delta =    6.25648", " b =   5.00000 2RY0           =    5.73205", zeros, "", "b",
        " RX =    0.00000 RY =    4.96410 RZ =    2.86603", zeros, "", header},
       "C      1.00000   6.96410   5.86603"},
      {"a < b: exchanged", 5, 10, 7, 1, 1, 4, 60, 0,
       {"", "p", " RX =    1.00000 RY =    1.00000 RZ =    4.00000 Theta =   60.00000", " a < b   1.0",
        " cos th/2 =    0.86603 sin th/2 =    0.50000", " RY0      =    2.86603 RZ0      =    2.96410 Delta =   18.64287",
        " a =   5.00000 2RZ0/cos Delta =    5.73205", " b =   7.00000 2RY0           =    6.25648", zeros, "", "b",
        " RX =    0.00000 RY =    5.41827 RZ =    3.12824", zeros, "", header},
       "C      1.00000   7.41827   6.12824"},
      {"negative RY and RZ", 5, 10, 7, 1, -1, -4, 60, 0,
       {"", "p", " RX =    1.00000 RY =   -1.00000 RZ =   -4.00000 Theta =   60.00000", " a < b  -1.0",
        " cos th/2 =    0.86603 sin th/2 =    0.50000", " RY0      =    2.86603 RZ0      =    2.96410 Delta =   18.64287",
        " a =   5.00000 2RZ0/cos Delta =    5.73205", " b =   7.00000 2RY0           =    6.25648", zeros, "", "b",
        " RX =    0.00000 RY =    5.41827 RZ =   -3.12824", zeros, "", header},
       "C      1.00000   7.41827  -0.12824"},
      {"SGNIN overrides the sign", 10, 5, 7, 1, -1, 4, 60, 0.5f,
       {"", "p", " RX =    1.00000 RY =   -1.00000 RZ =    4.00000 Theta =   60.00000", " a > b   0.5",
        " cos th/2 =    0.86603 sin th/2 =    0.50000", " RY0      =    2.86603 RZ0      =    2.96410 Delta =   18.64287",
        " a =  10.00000 2RZ0/cos Delta =    6.25648", " b =   5.00000 2RY0           =    5.73205", zeros, "", "b",
        " RX =    0.00000 RY =    2.48205 RZ =    2.86603", zeros, "", header},
       "C      1.00000   4.48205   5.86603"},
      {"equal cell edges: no exchange; THETAU 0 and negative RZ make TZ a negative zero", 6, 6, 7, 0, 1, -4, 0, 0,
       {"", "p", " RX =    0.00000 RY =    1.00000 RZ =   -4.00000 Theta =    0.00000", " a > b   1.0",
        " cos th/2 =    1.00000 sin th/2 =    0.00000", " RY0      =    1.00000 RZ0      =    4.00000 Delta =    0.00000",
        " a =   6.00000 2RZ0/cos Delta =    8.00000", " b =   6.00000 2RY0           =    2.00000", zeros, "", "b",
        " RX =    0.00000 RY =   -2.00000 RZ =   -0.00000", zeros, "", header},
       "C      1.00000   0.00000   3.00000"},
  };
  for (const PlacementCase& c : cases) {
    PlacementFixture f(c.P1, c.P2, c.P3);
    EXPECT_EQ(f.place(c.RX, c.RY, c.RZ, c.THETAU, c.SGNIN), c.report) << c.name;
    const Lines coord1 = testing::splitLines(memoryOutput(f.files.coords[0]));
    EXPECT_EQ(coord1, Lines{c.imageC}) << c.name;
  }
}

struct ScrewCase {
  float P1, P2, THETAU, RXB, RY, RZ, SGN;
  std::string image;  // of the atom at (1, 2, 3)
};

TEST(ScrewCopy, BothVariants) {
  const std::vector<ScrewCase> cases = {
      {10, 5, 60, 1, 1, 4, 1, "0.00000 4.59808 7.23205"},   // first variant
      {5, 10, 60, 1, 1, 4, 1, "0.00000 2.59808 3.76795"},   // second variant
      {10, 5, 0, 3, 1, 4, -1, "2.00000 3.00000 7.00000"},   // no turn: (RXB - x, RY + y, RZ + z)
      {5, 10, 0, 3, 1, 4, -1, "2.00000 -1.00000 7.00000"},  // no turn: (RXB - x, RY - y, RZ + z)
      {6, 6, 60, 1, 1, 4, 1, "0.00000 2.59808 3.76795"},    // equal edges take the second variant
  };
  for (const ScrewCase& c : cases) {
    Cood cood;
    cood.P[1] = c.P1, cood.P[2] = c.P2;
    cood.X[1] = 1, cood.Y[1] = 2, cood.Z[1] = 3;
    const float half = (0.5f * c.THETAU) * DEG2RAD;
    buildScrewCopy(cood, 1, c.RXB, c.RY, c.RZ, cosSingle(half), sinSingle(half), c.SGN);
    EXPECT_EQ(point(cood.XB[1], cood.YB[1], cood.ZB[1]), c.image) << c.P1 << " " << c.P2 << " " << c.THETAU;
  }
}

// A one-atom molecule without energy: every search is flat and makes six trials.
struct ScanFixture {
  testing::MemoryFiles files{""};
  Cood cood;
  RunParameters run;
  TypeTable types;

  ScanFixture(float FAI, float DFAI, float x, float y, float z) {
    run.NATOM = 1;
    cood.X[1] = x, cood.Y[1] = y, cood.Z[1] = z;
    cood.NAME2[1] = {'C', ' ', ' ', ' '};
    run.FAI = FAI, run.DFAI = DFAI, run.THETA = 90;
    run.VV = 3, run.VL = 4, run.VVP2 = 5, run.VLP2 = 6;
    run.SGN = 1, run.TX = 0;
    const EnergyModel energy{&cood, run.NATOM, &types};
    orientationScan(cood, run, energy, files.reportWriter, files.xyzWriter);
  }
  Lines report() const { return testing::splitLines(memoryOutput(files.report)); }
  Lines coord(int k) const { return testing::splitLines(memoryOutput(files.coords[k - 1])); }
};

TEST(OrientationScan, StartPlacementWorkedExample) {
  const ScanFixture f(0, 30, 1, 0, 3);
  const Lines report = f.report();
  // Step 1 (FAI 0), then step 2 (FAI 30) after six trials and the result row.
  EXPECT_EQ(report[1], " FAI =    0.00000  Y00 =    5.00000  X00 =    6.00000");
  EXPECT_EQ(report[2], "   90.0000    7.0711    4.9497    0.0000    0.7500    4.2500    0.0000    0.0000   "
                       "-3.5000    3.5000    0.0000    0.0000");
  EXPECT_EQ(report[12], " FAI =   30.00000  Y00 =    5.25000  X00 =    5.75000");
  EXPECT_EQ(report[13], "   90.0000    7.4246    4.9497    0.4285    1.2578    4.3750    0.0000    1.7500   "
                        "-3.0311    3.5000    0.0000    0.0000");
  // The atom saved at (1, 0, 3) is turned through -30 degrees in step 2; step 1 leaves it.
  EXPECT_EQ(f.coord(1)[0], "C      1.00000   0.00000   3.00000");
  EXPECT_EQ(f.coord(2)[0], "C      0.86603  -0.50000   3.00000");
}

TEST(OrientationScan, FlatSearchesAndTheSummary) {
  const ScanFixture f(0, 15, 1, 0, 3);
  const Lines report = f.report();
  // Per step: empty line, FAI line, start row, six trials, result row, empty line.
  ASSERT_EQ(report.size(), 12u * 11u + 13u);
  EXPECT_EQ(report[3], "              7.17107   4.94975   0.00000   0.00000    0    0    0");
  EXPECT_EQ(report[8], "              7.07107   4.94975  -0.20000   0.00000    2    2    0");
  // The search steps back to the start point; B and C come from the last trial (RXB down).
  EXPECT_EQ(report[9], "   90.0000    7.0711    4.9497    0.0000    0.7500    4.2500    0.0000    0.0000   "
                       "-3.5000    3.5000    0.0000    0.0000");
  EXPECT_EQ(f.coord(1)[1], "C     -1.20000   3.75000   4.25000");
  for (int m = 1; m <= 12; ++m) {
    const std::string& row = report[12 * 11 + m - 1];
    char angle[16];
    std::snprintf(angle, sizeof angle, "%10.4f", 15.0 * (m - 1));
    EXPECT_EQ(row.substr(0, 10), angle);
    // Each summary row repeats the step's result row after its first field.
    EXPECT_EQ(row.substr(10), report[11 * (m - 1) + 9].substr(10)) << m;
  }
  EXPECT_EQ(report.back(), "  180.0000" + report[12 * 11].substr(10));
}

TEST(OrientationScan, TurnsAreNotAccumulatedAndNinetyDegreesIsNotExact) {
  const ScanFixture f(90, 15, 1, 0, 0);
  EXPECT_EQ(f.coord(1)[0], "C     -0.00000  -1.00000   0.00000");  // cosine of 90 degrees is -4.37e-8
  // Step 12 turns the saved molecule once, through 90 + 11 * 15 = 255 degrees.
  const float angle = (((((((((((90.0f + 15.0f) + 15.0f) + 15.0f) + 15.0f) + 15.0f) + 15.0f) + 15.0f) + 15.0f) +
                         15.0f) + 15.0f) + 15.0f) * DEG2RAD;
  EXPECT_EQ(f.cood.X[1], cosSingle(angle));
  EXPECT_EQ(f.cood.Y[1], -sinSingle(angle));
}

}  // namespace
}  // namespace packscan
