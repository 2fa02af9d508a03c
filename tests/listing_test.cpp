// packscan-listing: molecule readers, orientation, listing text and options.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "command_line.h"
#include "elements.h"
#include "input/listing_reader.h"
#include "listing_write.h"
#include "molecule_read.h"
#include "principal_axes.h"
#include "recio/record_file.h"

namespace packscan::listing {
namespace {

// The error message of a read, or "" when it succeeds.
template <typename Read>
std::string failureOf(Read read) {
  try {
    read();
  } catch (const ListingError& error) {
    return error.message;
  }
  return "";
}

struct BadInput {
  const char* content;
  const char* message;
};

std::string atomsXyz(int count) {
  std::string text = std::to_string(count) + "\nmany\n";
  for (int k = 0; k < count; ++k) text += "C " + std::to_string(1.5 * k) + " 0 0\n";
  return text;
}

TEST(ListingXyz, MalformedInputNamesTheLine) {
  const BadInput cases[] = {
      {"", "m.xyz:1: the first line must hold the atom count"},
      {"three\nc\n", "m.xyz:1: \"three\" is not an atom count (first line)"},
      {"0\nc\n", "m.xyz:1: the molecule has no atoms"},
      {"2\nc\nO 0 0 0\n", "m.xyz:3: the file ends after 1 of 2 atoms"},
      {"1\nc\nO 0 0\n", "m.xyz:3: expected an element, x, y, z and an optional charge, found 3 fields (atom 1)"},
      {"1\nc\nO 0 0 0 0 0\n", "found 6 fields (atom 1)"},
      {"1\nc\nO 0 1.2.3 0\n", "m.xyz:3: \"1.2.3\" is not a number (y of atom 1)"},
      {"1\nc\nO 0 0 nan\n", "m.xyz:3: \"nan\" is not a number (z of atom 1)"},
      {"1\nc\nXq 0 0 0\n", "m.xyz:3: \"Xq\" is not an element symbol (atom 1)"},
      {"2\nc\nO 0 0 0 -0.4\nH 1 0 0\n", "m.xyz:4: atom 2 has no charge but atom 1 has one"},
      {"2\nc\nO 0 0 0\nH 1 0 0 0.4\n", "m.xyz:4: atom 2 has a charge but atom 1 has none"},
  };
  for (const BadInput& bad : cases) {
    Warnings warnings;
    const std::string message = failureOf([&] { readXyz(bad.content, "m.xyz", warnings); });
    EXPECT_NE(message.find(bad.message), std::string::npos) << bad.content << "\ngave: " << message;
  }
}

TEST(ListingXyz, AtomLimitIsOneHundred) {
  Warnings warnings;
  EXPECT_EQ(readXyz(atomsXyz(100), "m.xyz", warnings).atoms.size(), 100u);
  EXPECT_EQ(failureOf([&] { readXyz(atomsXyz(101), "m.xyz", warnings); }),
            "m.xyz:1: the molecule has 101 atoms; packscan takes at most 100");
}

TEST(ListingXyz, ReadsSymbolsNumbersChargesAndLineEnds) {
  Warnings warnings;
  const Molecule m = readXyz("3\r\ncomment\r\no 0 0 0 -0.8\r\n1 0.96 0 0 +0.4\r\nH -0.24 0.93 0 0.4\r\n\r\n",
                             "w.xyz", warnings);
  ASSERT_EQ(m.atoms.size(), 3u);
  EXPECT_TRUE(m.hasCharges);
  EXPECT_EQ(m.atoms[0].element, "O");
  EXPECT_EQ(m.atoms[1].element, "H");
  EXPECT_DOUBLE_EQ(m.atoms[1].x, 0.96);
  EXPECT_DOUBLE_EQ(m.atoms[2].y, 0.93);
  EXPECT_DOUBLE_EQ(m.atoms[0].charge, -0.8);
  EXPECT_TRUE(warnings.empty());
}

TEST(ListingXyz, WarnsThatOnlyTheFirstFrameIsUsed) {
  Warnings warnings;
  readXyz("1\na\nC 0 0 0\n1\nb\nC 1 0 0\n", "m.xyz", warnings);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0], "m.xyz:4: more lines follow the first molecule; only the first molecule is used");
}

const char* const kMol2 =
    "@<TRIPOS>MOLECULE\n"
    "formamide\n"
    " 3 2 0 0 0\n"
    "SMALL\n"
    "%s\n"
    "\n"
    "@<TRIPOS>ATOM\n"
    "      1 C1    0.1000   0.2000   0.3000 C.2     1  UNL1    0.4500\n"
    "      2 O1    1.1000   0.2000   0.3000 O.2     1  UNL1   -0.5700\n"
    "      3 N1   -0.6000   1.3000   0.3000 N.am    1  UNL1    0.1200\n"
    "@<TRIPOS>BOND\n"
    "     1     1     2    2\n";

std::string mol2(const char* chargeType) {
  char text[2048];
  std::snprintf(text, sizeof text, kMol2, chargeType);
  return text;
}

TEST(ListingMol2, ReadsCoordinatesElementsAndCharges) {
  Warnings warnings;
  const Molecule m = readMol2(mol2("MMFF94_CHARGES"), "f.mol2", warnings);
  ASSERT_EQ(m.atoms.size(), 3u);
  EXPECT_TRUE(m.hasCharges);
  EXPECT_EQ(m.atoms[0].element, "C");
  EXPECT_EQ(m.atoms[1].element, "O");
  EXPECT_EQ(m.atoms[2].element, "N");
  EXPECT_DOUBLE_EQ(m.atoms[2].x, -0.6);
  EXPECT_DOUBLE_EQ(m.atoms[1].charge, -0.57);
  EXPECT_TRUE(warnings.empty());
}

TEST(ListingMol2, NoChargesDeclaredGivesZeroCharges) {
  Warnings warnings;
  const Molecule m = readMol2(mol2("NO_CHARGES"), "f.mol2", warnings);
  EXPECT_FALSE(m.hasCharges);
  EXPECT_EQ(m.atoms[1].charge, 0.0);
}

TEST(ListingMol2, MalformedInputNamesTheLine) {
  const std::string good = mol2("MMFF94_CHARGES");
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::pair<std::string, std::string> cases[] = {
      {"no sections\n", "f.mol2: no @<TRIPOS>MOLECULE section"},
      {replaced("@<TRIPOS>ATOM", "@<TRIPOS>ATOMS?"), ""},  // a section tag with a suffix still opens it
      {replaced("@<TRIPOS>ATOM\n", "@<TRIPOS>SUBSTRUCTURE\n"), "f.mol2: no @<TRIPOS>ATOM section"},
      {replaced(" 3 2 0 0 0", " 4 2 0 0 0"), "f.mol2:11: the ATOM section ends after 3 of 4 atoms"},
      {replaced(" 3 2 0 0 0", " 101 2 0 0 0"), "f.mol2:3: the molecule has 101 atoms; packscan takes at most 100"},
      {replaced("O.2 ", "Du  "), "f.mol2:9: \"Du\" is not an element symbol (SYBYL type of atom 2)"},
      {replaced("1.3000", "1,300"), "f.mol2:10: \"1,300\" is not a number (y of atom 3)"},
      {replaced("O.2     1  UNL1   -0.5700", ""), "f.mol2:9: expected id, name, x, y, z and SYBYL type, found 5 fields"},
      {replaced("1  UNL1   -0.5700", "1  UNL1"), "f.mol2:9: atom 2 has no charge but atom 1 has one"},
  };
  for (const auto& [content, expected] : cases) {
    Warnings warnings;
    const std::string message = failureOf([&] { readMol2(content, "f.mol2", warnings); });
    if (expected.empty()) {
      EXPECT_EQ(message, "");
    } else {
      EXPECT_NE(message.find(expected), std::string::npos) << content << "\ngave: " << message;
    }
  }
}

TEST(ListingElements, SymbolsAreNormalised) {
  const std::pair<const char*, const char*> cases[] = {
      {"C", "C"}, {"c", "C"}, {"CL", "Cl"}, {"cl", "Cl"}, {"6", "C"}, {"16", "S"}, {"118", "Og"},
      {"0", ""},  {"119", ""}, {"Xx", ""},  {"Abc", ""},  {"", ""},   {"C1", ""},
  };
  for (const auto& [token, symbol] : cases) EXPECT_EQ(elementSymbol(token), symbol) << token;
  EXPECT_TRUE(hasPackscanParameters("S"));
  EXPECT_FALSE(hasPackscanParameters("Cl"));
}

// An asymmetric, non-planar molecule of five atoms.
Molecule asymmetric() {
  Molecule m;
  m.atoms = {{"C", 0, 0, 0}, {"C", 1.5, 0, 0}, {"O", 2.2, 1.1, 0}, {"N", -0.6, 1.3, 0.2}, {"S", 3.9, -0.4, 0.7}};
  return m;
}

// Turns by a fixed rotation (about an oblique axis) and shifts.
Molecule moved(Molecule m) {
  const double c = std::cos(0.7), s = std::sin(0.7);
  for (Atom& a : m.atoms) {
    const double x = c * a.x - s * a.y, y = s * a.x + c * a.y;
    const double y2 = c * y - s * a.z, z2 = s * y + c * a.z;
    a.x = x + 5.0;
    a.y = y2 - 3.0;
    a.z = z2 + 12.0;
  }
  return m;
}

double volume(const Molecule& m) {  // signed volume of atoms 1-4: a proper turn keeps its sign
  auto d = [&](int k, int axis) {
    const Atom& a = m.atoms[k];
    const Atom& o = m.atoms[0];
    return axis == 0 ? a.x - o.x : axis == 1 ? a.y - o.y : a.z - o.z;
  };
  return d(1, 0) * (d(2, 1) * d(3, 2) - d(2, 2) * d(3, 1)) - d(1, 1) * (d(2, 0) * d(3, 2) - d(2, 2) * d(3, 0)) +
         d(1, 2) * (d(2, 0) * d(3, 1) - d(2, 1) * d(3, 0));
}

TEST(ListingOrientation, ResultDoesNotDependOnHowTheInputStood) {
  Molecule a = asymmetric();
  Molecule b = moved(asymmetric());
  turnOntoPrincipalAxes(a);
  turnOntoPrincipalAxes(b);
  for (std::size_t k = 0; k < a.atoms.size(); ++k) {
    EXPECT_NEAR(a.atoms[k].x, b.atoms[k].x, 1e-9);
    EXPECT_NEAR(a.atoms[k].y, b.atoms[k].y, 1e-9);
    EXPECT_NEAR(a.atoms[k].z, b.atoms[k].z, 1e-9);
  }
  EXPECT_GT(volume(a) * volume(asymmetric()), 0.0) << "a mirror image instead of a turn";
  EXPECT_NEAR(volume(a), volume(asymmetric()), 1e-9);
}

TEST(ListingOrientation, PlanarMoleculeLiesInXyWithItsLongAxisAlongX) {
  Molecule m;  // a flat, elongated molecule in a tilted plane
  for (int k = 0; k < 6; ++k) m.atoms.push_back({"C", 1.4 * k, 0.3 * (k % 2), 0});
  m.atoms.push_back({"H", 0.5, 1.1, 0});
  m = moved(m);
  turnOntoPrincipalAxes(m);
  double sx = 0, sy = 0, cx = 0, cy = 0, cz = 0;
  for (const Atom& a : m.atoms) {
    EXPECT_NEAR(a.z, 0.0, 1e-9);
    sx += a.x * a.x;
    sy += a.y * a.y;
    cx += a.x;
    cy += a.y;
    cz += a.z;
  }
  EXPECT_GT(sx, sy);
  EXPECT_NEAR(cx, 0.0, 1e-9);
  EXPECT_NEAR(cy, 0.0, 1e-9);
  EXPECT_NEAR(cz, 0.0, 1e-9);
}

struct ReadBack {
  Cood cood;
  RunParameters run;
  std::string warnings;
};

// Reads a listing back with packscan's own reader, from memory.
ReadBack readBack(const std::string& listing) {
  ReadBack back;
  RecordFile input = openInputMemory("atp.dat", listing);
  RecordFile report = openOutputMemory("rb872.dat");
  std::vector<RecordFile> coords;
  for (int k = 1; k <= kOrientationSteps; ++k) coords.push_back(openOutputMemory("coord.xyz"));
  ReportWriter reportWriter{&report};
  XyzWriter xyz{};
  for (int k = 0; k < kOrientationSteps; ++k) xyz.files[k] = &coords[k];
  testing::internal::CaptureStderr();
  readInputListing(input, reportWriter, xyz, back.cood, back.run);
  back.warnings = testing::internal::GetCapturedStderr();
  return back;
}

std::string text(const Label& label) { return std::string(label.data(), label.size()); }

Molecule charged() {
  Molecule m = asymmetric();
  const double charges[] = {0.25, -0.12345, -0.5, 0.4, -0.03};
  for (std::size_t k = 0; k < m.atoms.size(); ++k) m.atoms[k].charge = charges[k];
  m.atoms.push_back({"C", -1.2, -0.9, 0.1, 0.0});
  m.hasCharges = true;
  return m;
}

TEST(ListingRoundTrip, PackscanReadsBackTheSameMolecule) {
  Molecule m = charged();
  turnOntoPrincipalAxes(m);
  ListingOptions options;
  options.cell = {8.5, 10.25, 13.0, 90.0, 95.5, 90.0};
  options.fai = 7.5;
  options.dfai = 30.0;
  options.theta = 120.0;
  options.rx = 1.5;
  options.ry = 2.25;
  options.rz = -4.5;
  options.thetau = 60.0;
  options.sgnin = -1.0;
  Warnings warnings;
  const ReadBack back = readBack(writeListing(m, options, warnings));
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(back.warnings, "") << "the reader fell back on a default";
  ASSERT_EQ(back.run.NATOM, 6);
  const std::int32_t types[] = {1, 1, 2, 3, 4, 1};
  const char* names[] = {"C1  ", "C2  ", "O1  ", "N1  ", "S1  ", "C3  "};
  for (int i = 1; i <= 6; ++i) {
    const Atom& atom = m.atoms[i - 1];
    EXPECT_EQ(back.cood.ITYPE[i], types[i - 1]);
    EXPECT_EQ(text(back.cood.NAME1[i]), names[i - 1]);
    EXPECT_EQ(text(back.cood.NAME2[i]), (atom.element + "   ").substr(0, 4));
    EXPECT_NEAR(back.cood.X[i], atom.x, 6e-6);
    EXPECT_NEAR(back.cood.Y[i], atom.y, 6e-6);
    EXPECT_NEAR(back.cood.Z[i], atom.z, 6e-6);
    EXPECT_NEAR(back.cood.Q[i], atom.charge, 6e-6);
  }
  EXPECT_EQ(back.run.NTYPE, 4);
  const float cell[] = {8.5f, 10.25f, 13.0f, 90.0f, 95.5f, 90.0f};
  for (int k = 1; k <= 6; ++k) EXPECT_EQ(back.cood.P[k], cell[k - 1]);
  EXPECT_EQ(back.run.FAI, 7.5f);
  EXPECT_EQ(back.run.DFAI, 30.0f);
  EXPECT_EQ(back.run.THETA, 120.0f);
  EXPECT_EQ(back.run.RX, 1.5f);
  EXPECT_EQ(back.run.RY, 2.25f);
  EXPECT_EQ(back.run.RZ, -4.5f);
  EXPECT_EQ(back.run.THETAU, 60.0f);
  EXPECT_EQ(back.run.SGNIN, -1.0f);
}

TEST(ListingRoundTrip, OneHundredAtomsAndDefaultOptions) {
  Warnings warnings;
  Molecule m = readXyz(atomsXyz(100), "m.xyz", warnings);
  turnOntoPrincipalAxes(m);
  const ReadBack back = readBack(writeListing(m, ListingOptions{}, warnings));
  // The terminator line after the hundredth atom means nothing was left out.
  EXPECT_EQ(back.warnings, "");
  EXPECT_EQ(back.run.NATOM, 100);
  EXPECT_EQ(text(back.cood.NAME1[100]), "C100");
  EXPECT_NEAR(back.cood.X[100], m.atoms[99].x, 6e-6);
  EXPECT_EQ(back.run.RZ, 4.2f);
  EXPECT_EQ(back.run.THETA, 90.0f);
}

TEST(ListingWrite, NegativeZeroAndTinyValuesPrintAsZero) {
  Molecule m;
  m.atoms = {{"C", -1e-9, -0.0, 0.000004, -0.000001}};
  Warnings warnings;
  const std::string listing = writeListing(m, ListingOptions{}, warnings);
  EXPECT_NE(listing.find("   1    0.00000   0.00000   0.00000   0.00000\n"), std::string::npos) << listing;
}

TEST(ListingWrite, ElementsWithoutParametersAreWarnedOnce) {
  Molecule m;
  m.atoms = {{"C", 0, 0, 0}, {"Cl", 1.8, 0, 0}, {"Cl", -1.8, 0, 0}};
  Warnings warnings;
  writeListing(m, ListingOptions{}, warnings);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0], "element Cl (type 2) has no van der Waals parameters in packscan; its van der Waals "
                         "terms will be zero");
}

TEST(ListingWrite, OptionsThatPackscanWouldNotTakeAsGivenAreRefused) {
  struct Case {
    const char* what;
    void (*set)(ListingOptions&);
    const char* message;  // "" when accepted
  };
  const Case cases[] = {
      {"rz 4.2", [](ListingOptions& o) { o.rz = 4.2; }, ""},
      {"rz -5.09", [](ListingOptions& o) { o.rz = -5.09; }, ""},
      {"rz 3.00001", [](ListingOptions& o) { o.rz = 3.00001; }, ""},
      {"rz 5.1", [](ListingOptions& o) { o.rz = 5.1; }, "RZ of the unit record"},
      {"rz -3.0", [](ListingOptions& o) { o.rz = -3.0; }, "RZ of the unit record"},
      {"rz 3.000004 rounds to 3", [](ListingOptions& o) { o.rz = 3.000004; }, "RZ of the unit record"},
      {"rz 0", [](ListingOptions& o) { o.rz = 0; }, "RZ of the unit record"},
      {"dfai 0", [](ListingOptions& o) { o.dfai = 0; }, "would be read as 15"},
      {"theta 0", [](ListingOptions& o) { o.theta = 0.000001; }, "would be read as 90"},
      {"cell too wide", [](ListingOptions& o) { o.cell[0] = 123456.0; }, "a cell value does not fit its field"},
      {"rx too wide", [](ListingOptions& o) { o.rx = -1000.0; }, "a unit record value does not fit its field"},
  };
  Molecule m;
  m.atoms = {{"C", 0, 0, 0}};
  for (const Case& c : cases) {
    ListingOptions options;
    c.set(options);
    Warnings warnings;
    const std::string message = failureOf([&] { writeListing(m, options, warnings); });
    if (*c.message == '\0') {
      EXPECT_EQ(message, "") << c.what;
    } else {
      EXPECT_NE(message.find(c.message), std::string::npos) << c.what << " gave: " << message;
    }
  }
}

TEST(ListingCommandLine, OptionsAndTheirErrors) {
  const Command command = parseCommandLine({"mol.MOL2", "-o", "run/atp.dat", "--cell", "1,2,3,4,5,6", "--fai", "5",
                                            "--dfai", "+20", "--theta", "100", "--rx", "1", "--ry", "2", "--rz",
                                            "-4", "--thetau", "30", "--sgnin", "1", "--keep-orientation"});
  EXPECT_EQ(command.input, "mol.MOL2");
  EXPECT_EQ(command.output, "run/atp.dat");
  EXPECT_EQ(inputFormat(command), InputFormat::Mol2);
  const ListingOptions& o = command.options;
  EXPECT_EQ(o.cell[5], 6.0);
  EXPECT_EQ(o.fai, 5.0);
  EXPECT_EQ(o.dfai, 20.0);
  EXPECT_EQ(o.theta, 100.0);
  EXPECT_EQ(o.rx, 1.0);
  EXPECT_EQ(o.ry, 2.0);
  EXPECT_EQ(o.rz, -4.0);
  EXPECT_EQ(o.thetau, 30.0);
  EXPECT_EQ(o.sgnin, 1.0);
  EXPECT_FALSE(o.turned);

  const Command defaults = parseCommandLine({"water.xyz"});
  EXPECT_EQ(inputFormat(defaults), InputFormat::Xyz);
  EXPECT_EQ(defaults.output, "");
  EXPECT_TRUE(defaults.options.turned);
  EXPECT_EQ(defaults.options.rz, 4.2);

  const std::pair<std::vector<std::string>, std::string> errors[] = {
      {{}, "no input file"},
      {{"a.xyz", "b.xyz"}, "more than one input file: a.xyz, b.xyz"},
      {{"a.xyz", "--bogus"}, "unknown option --bogus"},
      {{"a.xyz", "--rz"}, "--rz needs a value"},
      {{"a.xyz", "--rz", "4.2x"}, "--rz: \"4.2x\" is not a number"},
      {{"a.xyz", "--cell", "1,2,3,4,5"}, "--cell takes six values separated by commas"},
      {{"a.xyz", "--cell", "1,2,3,4,5,6,7"}, "--cell takes six values separated by commas"},
      {{"a.xyz", "--format", "pdb"}, "--format: \"pdb\" is neither xyz nor mol2"},
  };
  for (const auto& [args, message] : errors) {
    std::string got;
    try {
      parseCommandLine(args);
    } catch (const UsageError& error) {
      got = error.message;
    }
    EXPECT_EQ(got, message);
  }
  std::string got;
  try {
    inputFormat(parseCommandLine({"molecule.pdb"}));
  } catch (const UsageError& error) {
    got = error.message;
  }
  EXPECT_NE(got.find("give --format xyz or --format mol2"), std::string::npos);
  EXPECT_EQ(inputFormat(parseCommandLine({"-", "--format", "xyz"})), InputFormat::Xyz);
}

}  // namespace
}  // namespace packscan::listing
