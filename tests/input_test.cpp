#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listing_support.h"

namespace packscan {
namespace {

using testing::readFailure;
using testing::readListing;
using testing::starterListing;
using testing::unitLine;
using testing::withLine;

std::string label(const Label& l) { return std::string(l.data(), l.size()); }

// The starter listing with its unit record replaced by `unit` and followed by
// enough lines for three candidates and the skips after each.
std::string withUnitLines(const std::vector<std::string>& unit) {
  std::string text = withLine(starterListing(), 17, unit.at(0));
  for (std::size_t k = 1; k < unit.size(); ++k) text += unit[k] + "\n";
  return text;
}

std::vector<std::string> fillerLines(int count) {
  std::vector<std::string> lines;
  for (int k = 1; k <= count; ++k) lines.push_back(unitLine("filler", 0.5f * k, 0.25f * k, 2.0f + k, 10.0f * k, 0));
  return lines;
}

TEST(ListingReader, ReadsTheStarterListing) {
  const testing::InputOutcome in = readListing(starterListing());
  EXPECT_EQ(in.run.NATOM, 3);
  EXPECT_EQ(in.run.NTYPE, 2);
  EXPECT_EQ(in.run.VV, 0.586f);
  EXPECT_EQ(in.run.VL, 1.514f);
  EXPECT_EQ(in.run.VVP2, 2.0f + 0.586f);
  EXPECT_EQ(in.run.FAI, 0.0f);
  EXPECT_EQ(in.run.DFAI, 15.0f);
  EXPECT_EQ(in.run.THETA, 90.0f);
  EXPECT_EQ(in.run.B0, 3.5f);
  EXPECT_EQ(in.run.RX, 3.756f);
  EXPECT_EQ(in.run.RY, -2.1f);
  EXPECT_EQ(in.run.RZ, 4.2f);
  EXPECT_EQ(in.run.THETAU, 180.0f);
  EXPECT_EQ(in.run.SGNIN, 0.0f);
  EXPECT_EQ(in.cood.P[2], 9.834f);
  EXPECT_EQ(label(in.cood.NAME1[2]), "H1  ");
  EXPECT_EQ(label(in.cood.NAME2[1]), "O   ");
  EXPECT_EQ(in.cood.Q[1], -0.4f);
  EXPECT_EQ(in.cood.ITYPE[3], 2);
  EXPECT_EQ(in.warnings, "");

  const std::vector<std::string> report = {
      "    7.5120    9.8340   12.4410   90.0000  101.2300   90.0000",
      "   1    0.00000   0.00000   0.00000  -0.40000    O1   O   ",
      "   2    0.75700   0.58600   0.00000   0.20000    H1   H   ",
      "   2   -0.75700   0.58600   0.00000   0.20000    H2   H   ",
      " VV =    0.58600  VL =    1.51400  THETA =   90.00000",
      "   2",
  };
  EXPECT_EQ(in.report, report);
  const std::vector<std::string> coord1 = {
      "   9", "   1", "O      0.00000   0.00000   0.00000", "H      0.75700   0.58600   0.00000",
      "H     -0.75700   0.58600   0.00000"};
  EXPECT_EQ(in.xyz[0], coord1);
  for (int k = 1; k < 12; ++k) EXPECT_EQ(in.xyz[k], (std::vector<std::string>{"   9", "   2"})) << k + 1;
}

struct TableEndCase {
  const char* name;
  std::string line4;  // replaces the third atom line
  int natom;
};

TEST(ListingReader, FirstAtomTableEndsAtTypeZeroBlankTypeOrEmptyLine) {
  const std::vector<TableEndCase> cases = {
      {"type 0", "   0    1.00000", 2},
      {"blank type field", "        1.00000   2.00000", 2},
      {"empty line", "", 2},
  };
  for (const TableEndCase& c : cases) {
    // The table now ends one line early; the old terminator is passed over by the marker scan.
    const testing::InputOutcome in = readListing(withLine(starterListing(), 4, c.line4));
    EXPECT_EQ(in.run.NATOM, c.natom) << c.name;
  }
}

TEST(ListingReader, TerminatorLineIsReadWithTheFullFormat) {
  const RunFailure failure = readFailure(withLine(starterListing(), 5, "   0    oxygen"));
  EXPECT_EQ(failure.kind, FailureKind::Input);
  EXPECT_EQ(failure.message, "atp.dat:5: columns 6-15 hold \"oxygen\": not a number (line 4 of the first atom table)");
}

TEST(ListingReader, NoAtomsGiveZeroExtentsAndTypeCountOne) {
  std::string text = withLine(starterListing(), 2, "   0");
  const testing::InputOutcome in = readListing(text);
  EXPECT_EQ(in.run.NATOM, 0);
  EXPECT_EQ(in.run.VV, 0.0f);
  EXPECT_EQ(in.run.VLP2, 2.0f);
  EXPECT_EQ(in.run.NTYPE, 1);
  EXPECT_EQ(in.report.size(), 3u);  // R1, R3, R4
  EXPECT_EQ(in.report[2], "   1");
  EXPECT_EQ(in.xyz[0], (std::vector<std::string>{"   0", "   1"}));
  EXPECT_EQ(in.xyz[11], (std::vector<std::string>{"   0", "   1"}));
}

TEST(ListingReader, HundredAtomLinesWithoutTerminator) {
  std::string text = "    7.5120    9.8340   12.4410   90.0000  101.2300   90.0000\n";
  std::string block;
  for (int j = 1; j <= 100; ++j) {
    char line[80];
    std::snprintf(line, sizeof line, "   1 %10.5f%10.5f%10.5f    C%-3d C   \n", 0.1 * j, 0.0, 0.0, j);
    text += line;
    std::snprintf(line, sizeof line, "   1%11.5f%10.5f%10.5f%10.5f\n", 0.1 * j, 0.0, 0.0, 0.0);
    block += line;
  }
  // The line right after the 100th atom is the first one the orientation scan examines.
  text += " Molecular orientation\n\n\n\n                  5.00000   0.00000   0.00000\n";
  text += " Molecular Coordinates and charges\n\n" + block + unitLine("UNIT p", 1, 1, 4, 0, 0) + "\n";
  const testing::InputOutcome in = readListing(text);
  EXPECT_EQ(in.run.NATOM, 100);
  EXPECT_EQ(in.run.FAI, 5.0f);
  EXPECT_EQ(in.run.DFAI, 15.0f);
  EXPECT_EQ(in.run.THETA, 90.0f);
  EXPECT_EQ(in.run.VL, 10.0f);
  EXPECT_EQ(in.xyz[0][0], " 300");
  EXPECT_EQ(in.warnings, "") << "no atom was left out";

  // A 101st atom line is passed over by the orientation scan, and said to be left out.
  const std::size_t marker = text.find(" Molecular orientation");
  const std::string longer = text.substr(0, marker) + "   2    9.00000   0.00000   0.00000    C101 C   \n" +
                             text.substr(marker);
  const testing::InputOutcome more = readListing(longer);
  EXPECT_EQ(more.run.NATOM, 100);
  EXPECT_EQ(more.run.FAI, 5.0f);
  EXPECT_EQ(more.warnings,
            "packscan: warning: the first atom table of atp.dat has more than 100 atom lines; only the first 100 "
            "atoms are used\n");
  // A terminator after the hundredth atom is just as quiet.
  EXPECT_EQ(readListing(text.substr(0, marker) + "   0\n" + text.substr(marker)).warnings, "");
}

TEST(ListingReader, ZeroAnglesTakeTheirDefaultsButFaiStays) {
  const testing::InputOutcome in = readListing(withLine(starterListing(), 10, "                  0.00000"));
  EXPECT_EQ(in.run.FAI, 0.0f);
  EXPECT_EQ(in.run.DFAI, 15.0f);
  EXPECT_EQ(in.run.THETA, 90.0f);
  EXPECT_EQ(in.report[4], " VV =    0.58600  VL =    1.51400  THETA =   90.00000");
}

TEST(ListingReader, CoordinateBlockStartsTwoLinesAfterItsMarker) {
  // Move the marker to line 40: pad with lines the orientation scan and the unit scan ignore.
  std::vector<std::string> lines = testing::splitLines(starterListing());
  std::vector<std::string> moved(lines.begin(), lines.begin() + 10);
  while (moved.size() < 39) moved.push_back("padding");
  moved.insert(moved.end(), lines.begin() + 10, lines.end());
  std::string text;
  for (const std::string& l : moved) text += l + "\n";
  const testing::InputOutcome in = readListing(text);
  EXPECT_EQ(in.cood.X[2], 0.757f);
  EXPECT_EQ(in.cood.Q[3], 0.2f);
}

TEST(ListingReader, MarkersMatchExactly) {
  for (const char* marker : {"Molecular Coordinates", " molecular Coordinates", " MOLECULAR COORD"}) {
    const RunFailure failure = readFailure(withLine(starterListing(), 11, marker));
    EXPECT_EQ(failure.kind, FailureKind::Input);
    EXPECT_EQ(failure.message, "atp.dat:18: end of file while reading the lines searched for \" Molecular Coord\"")
        << marker;
  }
}

TEST(ListingReader, CoordinateMarkerNotFoundMeansTheBlockStartsOnLine303) {
  std::vector<std::string> lines = testing::splitLines(starterListing());
  std::string text;
  for (int k = 0; k < 10; ++k) text += lines[k] + "\n";
  text += lines[16] + "\n";  // the unit record, on line 11
  for (int n = 12; n <= 302; ++n) text += "pad\n";
  for (int k = 12; k < 15; ++k) text += lines[k] + "\n";
  const testing::InputOutcome in = readListing(text);
  EXPECT_EQ(in.cood.X[2], 0.757f);
  EXPECT_EQ(in.run.RZ, 4.2f);
  EXPECT_EQ(in.warnings,
            "packscan: warning: no \" Molecular Coord\" marker in lines 1-300 of atp.dat; the coordinate block is "
            "read from line 303\n");
}

TEST(ListingReader, OrientationMarkerNotFoundWarns) {
  std::string text = withLine(starterListing(), 6, " Molecular Orientation");
  for (int k = 0; k < 300; ++k) text += "\n";
  const testing::InputOutcome in = readListing(text);
  EXPECT_EQ(in.run.FAI, 0.0f);
  EXPECT_EQ(in.run.DFAI, 15.0f);
  EXPECT_EQ(in.run.THETA, 90.0f);
  EXPECT_EQ(in.warnings,
            "packscan: warning: no \" Molecular orien\" marker in lines 6-305 of atp.dat; line 305 takes its place\n");
}

struct WindowCase {
  float rz;
  bool accepted;
};

TEST(ListingReader, UnitRecordWindowIsOpenAtBothEnds) {
  const std::vector<WindowCase> cases = {{3.0f, false}, {-3.0f, false}, {5.1f, false}, {-5.1f, false},
                                         {4.0f, true},  {-4.0f, true},  {3.00001f, true}, {-5.09999f, true}};
  for (const WindowCase& c : cases) {
    std::vector<std::string> unit = {unitLine("UNIT p", 1, 2, c.rz, 30, 0)};
    for (const std::string& l : fillerLines(14)) unit.push_back(l);
    const testing::InputOutcome in = readListing(withUnitLines(unit));
    if (c.accepted) {
      EXPECT_EQ(in.run.RZ, c.rz) << c.rz;
      EXPECT_EQ(in.warnings, "") << c.rz;
    } else {
      // All three rejected: the tenth line after the marker gives the values.
      EXPECT_EQ(in.run.RZ, 12.0f) << c.rz;
      EXPECT_EQ(in.run.THETAU, 100.0f) << c.rz;
      EXPECT_NE(in.warnings.find("candidates on lines 17, 22, 27"), std::string::npos) << in.warnings;
    }
  }
}

TEST(ListingReader, SecondCandidateIsTheFifthLineAfterTheMarker) {
  std::vector<std::string> unit = {unitLine("UNIT p", 1, 2, 2.5f, 30, 0), "a", "b", "c", "d",
                                   unitLine("UNIT p", 7, 8, 3.5f, 45, -1)};
  const testing::InputOutcome in = readListing(withUnitLines(unit));
  EXPECT_EQ(in.run.RX, 7.0f);
  EXPECT_EQ(in.run.RZ, 3.5f);
  EXPECT_EQ(in.run.SGNIN, -1.0f);
}

TEST(ListingReader, ThirdCandidateIsUsedWhateverItsLabel) {
  std::vector<std::string> unit = {unitLine("UNIT p", 1, 2, 2.5f, 30, 0), "", "", "", "",
                                   unitLine("UNIT p", 1, 2, 9.0f, 30, 0), "", "", "", "",
                                   unitLine("other", 5, 6, 4.0f, 70, 2), "", "", "", ""};
  const testing::InputOutcome in = readListing(withUnitLines(unit));
  EXPECT_EQ(in.run.RX, 5.0f);
  EXPECT_EQ(in.run.RZ, 4.0f);
  EXPECT_EQ(in.run.THETAU, 70.0f);
  EXPECT_EQ(in.run.SGNIN, 2.0f);
  EXPECT_EQ(in.warnings,
            "packscan: warning: none of the unit record candidates on lines 17, 22, 27 of atp.dat has \"UNIT p  \" "
            "in columns 7-14 with RZ inside (-5.1, -3.0) or (3.0, 5.1); the values of line 27 are used\n");
}

TEST(ListingReader, ShortCandidateLineReadsZeroAngleAndSign) {
  const testing::InputOutcome in = readListing(withLine(starterListing(), 17, unitLine("UNIT p", 1, 2, 4, 30, 9).substr(0, 70)));
  EXPECT_EQ(in.run.RZ, 4.0f);
  EXPECT_EQ(in.run.THETAU, 0.0f);
  EXPECT_EQ(in.run.SGNIN, 0.0f);
}

TEST(ListingReader, UnreadableUnitRecordEndsTheRunWithItsOwnKind) {
  std::string line = unitLine("UNIT p", 1, 2, 4, 30, 0);
  line.replace(48, 10, "   minus 2");
  const RunFailure failure = readFailure(withLine(starterListing(), 17, line));
  EXPECT_EQ(failure.kind, FailureKind::UnitRecord);
  EXPECT_EQ(failure.message,
            "atp.dat:17: columns 49-58 hold \"minus 2\": not a number (unit record candidate 1); the run stops "
            "before the initial placement and the scan");
}

TEST(ListingReader, ExtentsIncludeTheOrigin) {
  std::string text = starterListing();
  text = withLine(text, 13, "   1    1.00000   0.00000   0.00000  -0.40000");
  text = withLine(text, 14, "   2    3.00000   0.58600   0.00000   0.20000");
  text = withLine(text, 15, "   2    2.00000   0.58600   0.00000   0.20000");
  EXPECT_EQ(readListing(text).run.VL, 3.0f);
}

TEST(ListingReader, TypeCountComesFromTheCoordinateBlock) {
  std::string text = starterListing();
  text = withLine(text, 13, "   1    0.00000   0.00000   0.00000  -0.40000");
  text = withLine(text, 14, "   0    0.75700   0.58600   0.00000   0.20000");
  text = withLine(text, 15, "  -3   -0.75700   0.58600   0.00000   0.20000");
  const testing::InputOutcome in = readListing(text);
  EXPECT_EQ(in.run.NTYPE, 1);
  EXPECT_EQ(in.cood.ITYPE[3], -3);
  EXPECT_EQ(label(in.cood.NAME1[3]), "H2  ");  // labels stay those of the first table
  EXPECT_EQ(in.xyz[1][1], "   1");
}

TEST(ListingReader, ListingCutShortNamesWhatWasBeingRead) {
  const std::vector<std::pair<int, std::string>> cases = {
      {0, "atp.dat:1: end of file while reading the cell line"},
      {3, "atp.dat:4: end of file while reading line 3 of the first atom table"},
      {9, "atp.dat:10: end of file while reading the angles line (the fourth line after the orientation marker)"},
      {14, "atp.dat:15: end of file while reading atom 3 of the coordinate block"},
      {16, "atp.dat:17: end of file while reading the lines searched for \"UNIT p  \""},
  };
  const std::vector<std::string> lines = testing::splitLines(starterListing());
  for (const auto& [kept, message] : cases) {
    std::string text;
    for (int k = 0; k < kept; ++k) text += lines[static_cast<std::size_t>(k)] + "\n";
    EXPECT_EQ(readFailure(text).message, message) << kept;
  }
}

}  // namespace
}  // namespace packscan
