#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "listing_support.h"
#include "test_support.h"

namespace packscan {
namespace {

using Lines = std::vector<std::string>;
using testing::coordName;
using testing::readText;
using testing::RunResult;
using testing::splitLines;
using testing::starterListing;
using testing::TempDir;
using testing::withLine;
using testing::writeText;

int countTrialRows(const Lines& report) {
  int trials = 0;
  for (const std::string& line : report)
    if (line.size() == 66 && line.compare(0, 11, std::string(11, ' ')) == 0) ++trials;
  return trials;
}

// The R20 rows: the only 120-column rows followed by an empty line.
Lines resultRows(const Lines& report) {
  Lines rows;
  for (std::size_t k = 0; k + 1 < report.size(); ++k)
    if (report[k].size() == 120 && report[k + 1].empty()) rows.push_back(report[k]);
  return rows;
}

TEST(CompleteRun, StarterListing) {
  TempDir dir;
  writeText(dir / "atp.dat", starterListing());
  const RunResult result = testing::runIn(dir);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.diagnostics, "");

  const Lines report = splitLines(readText(dir / "rb872.dat"));
  const Lines head = splitLines(readText(testing::sourcePath("tests/fixtures/starter/report-head.txt")));
  ASSERT_GT(report.size(), head.size() + 1);
  EXPECT_EQ(Lines(report.begin(), report.begin() + static_cast<long>(head.size())), head);

  // Step 1's start row: every field that does not hold an energy.
  const std::string& start = report[head.size()];
  EXPECT_EQ(start.substr(0, 60), "   90.0000    3.6572    4.9497    0.0000   -0.4570    3.0430");
  EXPECT_EQ(start.substr(70, 30), "    0.0000   -3.5000    3.5000");

  const std::size_t step2 = std::find(report.begin(), report.end(),
                                      " FAI =   15.00000  Y00 =    2.64816  X00 =    3.45184") -
                            report.begin();
  ASSERT_LT(step2, report.size());
  EXPECT_EQ(report[step2 - 1], "");
  EXPECT_EQ(report[step2 - 2], "");

  const int trials = countTrialRows(report);
  EXPECT_EQ(report.size(), static_cast<std::size_t>(91 + 3 + 2 + trials));

  // Summary: twelve rows in order of the angle, each repeating its step's result row, then the closing row.
  const Lines results = resultRows(report);
  ASSERT_EQ(results.size(), 12u);
  const Lines summary(report.end() - 13, report.end());
  for (int m = 1; m <= 12; ++m) {
    char angle[16];
    std::snprintf(angle, sizeof angle, "%10.4f", 15.0 * (m - 1));
    EXPECT_EQ(summary[m - 1].substr(0, 10), angle);
    EXPECT_EQ(summary[m - 1].substr(10), results[m - 1].substr(10)) << m;
  }
  EXPECT_EQ(summary[12], "  180.0000" + summary[0].substr(10));

  const Lines coord1 = splitLines(readText(dir / coordName(1)));
  const Lines coord2 = splitLines(readText(dir / coordName(2)));
  EXPECT_EQ(coord1.size(), 17u);
  EXPECT_EQ(coord2.size(), 11u);
  EXPECT_EQ(Lines(coord1.begin(), coord1.begin() + 2), (Lines{"   9", "   1"}));
  const Lines coord2Head = {"   9", "   2", "O      0.00000   0.00000   0.00000", "H      0.88287   0.37011   0.00000",
                            "H     -0.57954   0.76196   0.00000"};
  EXPECT_EQ(Lines(coord2.begin(), coord2.begin() + 5), coord2Head);
  for (int k = 3; k <= 12; ++k) EXPECT_EQ(splitLines(readText(dir / coordName(k))).size(), 11u) << k;
}

TEST(CompleteRun, NoAtoms) {
  TempDir dir;
  writeText(dir / "atp.dat", withLine(starterListing(), 2, "   0"));
  const RunResult result = testing::runIn(dir);
  EXPECT_EQ(result.status, 0);
  const Lines report = splitLines(readText(dir / "rb872.dat"));
  EXPECT_EQ(report.size(), 91u + 0 + 1 + 12 * 6);
  EXPECT_EQ(report[12], "   0.00000   0.00000   0.00000");  // R13 of A and B
  const Lines flags = {"    0    0    0", "    0    0    0", "    2    0    0",
                       "    2    0    0", "    2    2    0", "    2    2    0"};
  int trial = 0;
  for (const std::string& line : report) {
    if (line.size() != 66) continue;
    EXPECT_EQ(line.substr(51), flags[trial % 6]);
    EXPECT_EQ(line.substr(41, 10), "   0.00000");
    ++trial;
  }
  EXPECT_EQ(trial, 72);
  for (int k = 1; k <= 12; ++k) EXPECT_EQ(readText(dir / coordName(k)), "   0\n   1\n") << k;
}

// A planar 10 x 10 sheet of atoms of all five elements with small alternating charges.
std::string hundredAtomListing() {
  const char* elements[] = {"C", "H", "N", "O", "S"};
  std::string table, block;
  for (int j = 1; j <= 100; ++j) {
    const double x = 1.4 * ((j - 1) % 10) - 6.3, y = 1.4 * ((j - 1) / 10) - 6.3;
    const double q = (j % 2 ? 0.05 : -0.05) * (1 + j % 3);
    const int type = 1 + (j - 1) % 5;
    char line[96];
    std::snprintf(line, sizeof line, "%4d %10.5f%10.5f%10.5f    %-4s %-4s\n", type, x, y, 0.0,
                  (std::string(elements[type - 1]) + std::to_string(j)).substr(0, 4).c_str(), elements[type - 1]);
    table += line;
    std::snprintf(line, sizeof line, "%4d %10.5f%10.5f%10.5f%10.5f\n", type, x, y, 0.0, q);
    block += line;
  }
  return "   15.0000   18.0000   20.0000   90.0000   90.0000   90.0000\n" + table + "   0\n" +
         " Molecular orientation\n\n\n\n                  0.00000  15.00000  90.00000\n" +
         " Molecular Coordinates and charges\n\n" + block + "\n" +
         testing::unitLine("UNIT p", 6.0f, -3.0f, 4.5f, 180.0f, 0.0f) + "\n";
}

TEST(CompleteRun, HundredAtoms) {
  TempDir dir;
  writeText(dir / "atp.dat", hundredAtomListing());
  const RunResult result = testing::runIn(dir);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.diagnostics, "");
  const Lines report = splitLines(readText(dir / "rb872.dat"));
  EXPECT_EQ(report.size(), static_cast<std::size_t>(91 + 100 + 5 + countTrialRows(report)));
  EXPECT_EQ(splitLines(readText(dir / coordName(1))).size(), 502u);
  EXPECT_EQ(splitLines(readText(dir / coordName(7)))[0], " 300");
}

TEST(CompleteRun, RunawaySearchEndsAtTheTrialBound) {
  // Two like charges without van der Waals terms: every move apart lowers the energy.
  std::string text = starterListing();
  text = withLine(text, 13, "   7    0.00000   0.00000   0.00000   1.00000");
  text = withLine(text, 14, "   7    1.00000   0.00000   0.00000   1.00000");
  text = withLine(text, 2, "   1    0.00000   0.00000   0.00000    Ne1  Ne  ");
  text = withLine(text, 3, "   2    1.00000   0.00000   0.00000    Ne2  Ne  ");
  text = withLine(text, 4, "   0");
  TempDir dir;
  writeText(dir / "atp.dat", text);
  const RunResult result = testing::runIn(dir);
  EXPECT_EQ(result.status, 0);
  const Lines warnings = splitLines(result.diagnostics);
  ASSERT_EQ(warnings.size(), 13u);
  EXPECT_EQ(warnings[0], "packscan: warning: type 7 (labels \"Ne  \") has no element parameters; its van der Waals "
                         "terms are zero");
  for (int m = 1; m <= 12; ++m)
    EXPECT_EQ(warnings[m], "packscan: warning: the search of orientation step " + std::to_string(m) +
                               " stopped after 100000 trials without finishing; its result is the best point found "
                               "so far");
  EXPECT_EQ(countTrialRows(splitLines(readText(dir / "rb872.dat"))), 12 * 100000);
}

struct FailureCase {
  const char* name;
  std::string listing;
  int status;
  std::string diagnostic;
  std::size_t reportLines;  // records the run wrote before it ended
};

TEST(FailedRun, EndsWithItsStatusAndKeepsWhatWasWritten) {
  std::string badUnit = testing::unitLine("UNIT p", 3.756f, -2.1f, 4.2f, 180.0f, 0.0f);
  badUnit.replace(38, 10, "      x.yz");
  const std::vector<FailureCase> cases = {
      {"empty listing", "", 2, "packscan: atp.dat:1: end of file while reading the cell line\n", 0},
      {"bad cell value", withLine(starterListing(), 1, "    7.5120    9.8x40"), 2,
       "packscan: atp.dat:1: columns 11-20 hold \"9.8x40\": not a number (the cell line)\n", 0},
      {"listing cut short", starterListing().substr(0, starterListing().rfind("   2   -0.757")), 2,
       "packscan: atp.dat:15: end of file while reading atom 3 of the coordinate block\n", 3},
      {"unreadable unit record", withLine(starterListing(), 17, badUnit), 4,
       "packscan: atp.dat:17: columns 39-48 hold \"x.yz\": not a number (unit record candidate 1); the run stops "
       "before the initial placement and the scan\n",
       6},
  };
  for (const FailureCase& c : cases) {
    TempDir dir;
    writeText(dir / "atp.dat", c.listing);
    writeText(dir / "rb872.dat", "an earlier report\n");
    const RunResult result = testing::runIn(dir);
    EXPECT_EQ(result.status, c.status) << c.name;
    EXPECT_EQ(result.diagnostics, c.diagnostic) << c.name;
    const std::string report = readText(dir / "rb872.dat");
    if (c.reportLines == 0) {
      EXPECT_EQ(report, "an earlier report\n") << c.name << ": a report never written keeps its content";
    } else {
      EXPECT_EQ(splitLines(report).size(), c.reportLines) << c.name;
    }
    for (int k = 1; k <= 12; ++k) EXPECT_TRUE(std::filesystem::exists(dir / coordName(k))) << c.name;
  }
}

TEST(FailedRun, UnreadableUnitRecordLeavesHeadersAndMoleculeA) {
  std::string badUnit = testing::unitLine("UNIT p", 3.756f, -2.1f, 4.2f, 180.0f, 0.0f);
  badUnit.replace(60, 8, "four.two");
  TempDir dir;
  writeText(dir / "atp.dat", withLine(starterListing(), 17, badUnit));
  EXPECT_EQ(testing::runIn(dir).status, 4);
  EXPECT_EQ(splitLines(readText(dir / "rb872.dat")).back(), "   2");
  EXPECT_EQ(splitLines(readText(dir / coordName(1))).size(), 5u);
  for (int k = 2; k <= 12; ++k) EXPECT_EQ(readText(dir / coordName(k)), "   9\n   2\n") << k;
}

TEST(FailedRun, MissingListingIsCreatedAndTheMessageSaysSo) {
  TempDir dir;
  const RunResult result = testing::runIn(dir);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.diagnostics,
            "packscan: atp.dat:1: end of file while reading the cell line (atp.dat did not exist and was created "
            "empty: is this the right folder?)\n");
  EXPECT_TRUE(std::filesystem::exists(dir / "atp.dat"));
  EXPECT_TRUE(std::filesystem::exists(dir / "rb872.dat"));
}

TEST(FailedRun, ReportThatCannotBeWritten) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TempDir dir;
  writeText(dir / "atp.dat", starterListing());
  std::filesystem::create_symlink("/dev/full", dir / "rb872.dat");
  const RunResult result = testing::runIn(dir);
  EXPECT_EQ(result.status, 3);
  EXPECT_EQ(result.diagnostics, "packscan: rb872.dat: cannot write: No space left on device\n");
  EXPECT_EQ(splitLines(readText(dir / coordName(2))).size(), 11u) << "the other files are complete";
}

TEST(FailedRun, ListingThatIsADirectory) {
  TempDir dir;
  std::filesystem::create_directory(dir / "atp.dat");
  const RunResult result = testing::runIn(dir);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.diagnostics, "packscan: atp.dat: cannot read: Is a directory\n");
}

TEST(Program, ArgumentsChangeNothing) {
  TempDir plain, withArguments;
  writeText(plain / "atp.dat", starterListing());
  writeText(withArguments / "atp.dat", starterListing());
  const std::string binary = PACKSCAN_BINARY;
  ASSERT_EQ(std::system(("cd '" + plain.path.string() + "' && '" + binary + "'").c_str()), 0);
  ASSERT_EQ(std::system(("cd '" + withArguments.path.string() + "' && '" + binary + "' -v --help x.dat").c_str()), 0);
  EXPECT_EQ(readText(plain / "rb872.dat"), readText(withArguments / "rb872.dat"));
  for (int k = 1; k <= 12; ++k) EXPECT_EQ(readText(plain / coordName(k)), readText(withArguments / coordName(k)));
}

}  // namespace
}  // namespace packscan
