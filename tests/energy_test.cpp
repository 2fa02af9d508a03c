#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "energy/interaction_energy.h"
#include "energy/type_table.h"
#include "output/report_writer.h"
#include "recio/record_file.h"
#include "test_support.h"

namespace packscan {
namespace {

Label labelOf(const std::string& text) {
  Label label;
  for (std::size_t k = 0; k < 4; ++k) label[k] = k < text.size() ? text[k] : ' ';
  return label;
}

struct TypeCase {
  const char* name;
  std::vector<std::pair<int, std::string>> atoms;  // type and element label, in atom order
  int NTYPE;
  std::vector<std::string> rows;                    // expected R5 records
  std::string warnings;
};

TEST(TypeTable, FirstKnownLabelOfEachTypeDecides) {
  const std::vector<TypeCase> cases = {
      {"unknown label passed over, then H wins over a later C",
       {{1, "O"}, {2, "Cl"}, {2, "H"}, {2, "C"}}, 2, {"   1    0.24660   1.82000", "   2    0.08370   1.62000"}, ""},
      {"first atom of the type decides", {{1, "C"}, {1, "O"}}, 1, {"   1    0.23430   1.96000"}, ""},
      {"every element of the table",
       {{1, "S"}, {2, "C"}, {3, "H"}, {4, "N"}, {5, "O"}}, 5,
       {"   1    0.84520   2.15000", "   2    0.23430   1.96000", "   3    0.08370   1.62000",
        "   4    0.17970   1.93000", "   5    0.24660   1.82000"},
       ""},
      {"a type no atom carries keeps its row", {{1, "C"}, {3, "H"}}, 3,
       {"   1    0.23430   1.96000", "   2    0.00000   0.00000", "   3    0.08370   1.62000"}, ""},
      {"labels that match no row", {{1, "Cl"}, {1, "c"}, {1, " C"}, {2, "C"}}, 2,
       {"   1    0.00000   0.00000", "   2    0.23430   1.96000"},
       "packscan: warning: type 1 (labels \"Cl  \", \"c   \", \" C  \") has no element parameters; its van der Waals "
       "terms are zero\n"},
      {"types below 1 use zeros", {{0, "C"}, {-2, "H"}, {0, "O"}, {1, "N"}}, 1, {"   1    0.17970   1.93000"},
       "packscan: warning: type 0 (labels \"C   \", \"O   \") is below 1; its van der Waals terms are zero\n"
       "packscan: warning: type -2 (labels \"H   \") is below 1; its van der Waals terms are zero\n"},
      {"no atoms", {}, 1, {"   1    0.00000   0.00000"}, ""},
  };
  for (const TypeCase& c : cases) {
    Cood cood;
    RunParameters run;
    run.NATOM = static_cast<int>(c.atoms.size());
    run.NTYPE = c.NTYPE;
    for (int i = 1; i <= run.NATOM; ++i) {
      cood.ITYPE[i] = c.atoms[i - 1].first;
      cood.NAME2[i] = labelOf(c.atoms[i - 1].second);
    }
    RecordFile file = openOutputMemory("rb872.dat");
    ReportWriter report{&file};
    TypeTable types;
    ::testing::internal::CaptureStderr();
    assignTypeParameters(cood, run, types, report);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.warnings) << c.name;
    EXPECT_EQ(testing::splitLines(memoryOutput(file)), c.rows) << c.name;
    EXPECT_EQ(types.EPS[0], 0.0f) << c.name;
  }
}

// Two atoms of A and their images; atoms of type 0 have no van der Waals term.
struct PairFixture {
  Cood cood;
  TypeTable types;
  Coordinates CX{}, CY{}, CZ{};

  PairFixture() {
    types.EPS[1] = 0.0837f;  // H
    types.RSTAR[1] = 1.62f;
    types.EPS[2] = 0.2343f;  // C
    types.RSTAR[2] = 1.96f;
  }
  PairEnergy energy(int natom) { return interactionEnergy(cood, natom, types, CX, CY, CZ); }
};

TEST(InteractionEnergy, NoAtomsNoEnergy) {
  PairFixture f;
  const PairEnergy e = f.energy(0);
  EXPECT_EQ(e.EVDW, 0.0f);
  EXPECT_EQ(e.ECOUL, 0.0f);
  EXPECT_EQ(e.total, 0.0f);
}

TEST(InteractionEnergy, AtRhoOneTheBracketIsTheTabulatedValue) {
  PairFixture f;
  f.cood.ITYPE[1] = 1;
  f.CX[1] = -3.24f;  // the single pair: the atom of A and its own image
  const PairEnergy e = f.energy(1);
  const float EPSIJ = std::sqrt(0.0837f * 0.0837f);
  EXPECT_EQ(e.EVDW, EPSIJ * -1.1194649f);
  EXPECT_EQ(e.ECOUL, 0.0f);  // zero charge
}

TEST(InteractionEnergy, OppositeHalfChargesAtDistanceTwo) {
  PairFixture f;
  f.cood.Q[1] = 0.5f;   // atom 1 of A at the origin
  f.cood.Q[2] = -0.5f;  // atom 2 of A, far away
  f.cood.X[2] = 1e10f;
  f.CX[1] = -1e10f;     // image of atom 1, far away
  f.CX[2] = 2.0f;       // image of atom 2, two from atom 1 of A
  const PairEnergy e = f.energy(2);
  EXPECT_EQ(e.ECOUL, -172.5f);
  EXPECT_EQ(e.EVDW, 0.0f);
  EXPECT_EQ(e.total, -172.5f);
}

TEST(InteractionEnergy, TotalIsFormedOnceFromTheTwoSums) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> coordinate(-4.0f, 4.0f), charge(-0.5f, 0.5f);
  PairFixture f;
  const int natom = 12;
  for (int i = 1; i <= natom; ++i) {
    f.cood.ITYPE[i] = 1 + i % 2;
    f.cood.X[i] = coordinate(random);
    f.cood.Y[i] = coordinate(random);
    f.cood.Z[i] = coordinate(random);
    f.cood.Q[i] = charge(random);
    f.CX[i] = f.cood.X[i] + 3.0f;
    f.CY[i] = f.cood.Y[i] - 1.0f;
    f.CZ[i] = f.cood.Z[i] + 2.5f;
  }
  const PairEnergy e = f.energy(natom);
  EXPECT_EQ(e.total, e.ECOUL + e.EVDW);
}

TEST(InteractionEnergy, CoincidentAtomsRepelWithoutBoundAndAddNoCoulombTerm) {
  PairFixture f;
  f.cood.ITYPE[1] = 2;
  f.cood.Q[1] = 0.3f;
  f.CX[1] = 0.0f;  // the image lies on the atom
  const PairEnergy e = f.energy(1);
  EXPECT_EQ(e.EVDW, std::numeric_limits<float>::infinity());
  EXPECT_EQ(e.ECOUL, 0.0f);
  EXPECT_EQ(e.total, std::numeric_limits<float>::infinity());
}

TEST(InteractionEnergy, TypesWithoutParametersGiveExactlyZeroEvenVeryClose) {
  for (int otherType : {0, 1, 5}) {  // below 1, parameterised, without parameters
    PairFixture f;
    f.cood.ITYPE[1] = 5;  // a type the table has no parameters for
    f.cood.ITYPE[2] = otherType;
    f.cood.Z[2] = 1.0f;
    f.CX[1] = 1e-9f;
    f.CX[2] = 1e-9f;  // so close to atom 2 that RHO^6 underflows and the bracket overflows
    f.CZ[2] = 1.0f;
    const PairEnergy e = f.energy(2);
    if (otherType == 1) {
      EXPECT_EQ(e.EVDW, -std::numeric_limits<float>::infinity()) << "a parameterised close pair still collapses";
    } else {
      EXPECT_EQ(e.EVDW, 0.0f) << otherType;
    }
    EXPECT_FALSE(std::isnan(e.total)) << otherType;
  }
}

}  // namespace
}  // namespace packscan
