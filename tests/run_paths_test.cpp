// Whole runs with the reference energy loop and with the fast path (every
// kernel this processor runs) write the same files, byte for byte.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "listing_support.h"
#include "run/packscan_run.h"

namespace packscan {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A listing with the atoms given as "type x y z q label element" rows, the same
// coordinates in both atom tables, and the unit record values given.
std::string listing(const std::vector<std::string>& atoms, const std::string& unitValues) {
  std::string firstTable, block;
  for (const std::string& row : atoms) {
    std::istringstream in(row);
    int type = 0;
    double x = 0, y = 0, z = 0, q = 0;
    std::string label, element;
    in >> type >> x >> y >> z >> q >> label >> element;
    char line[128];
    // The first table must not hold type 0, which would end it; the coordinate block gives the real type.
    std::snprintf(line, sizeof line, "%4d %10.5f%10.5f%10.5f    %-4s %-4s\n", type == 0 ? 9 : type, x, y, z,
                  label.c_str(), element.c_str());
    firstTable += line;
    std::snprintf(line, sizeof line, "%4d %10.5f%10.5f%10.5f%10.5f\n", type, x, y, z, q);
    block += line;
  }
  return "    7.5120    9.8340   12.4410   90.0000  101.2300   90.0000    0.0000\n" + firstTable +
         "   0\n Molecular orientation\n\n\n\n                  0.00000  15.00000  90.00000\n"
         " Molecular Coordinates and charges\n  No      X         Y         Z         Q\n" +
         block + "\n" + std::string(6, ' ') + "UNIT p  " + std::string(24, ' ') + unitValues + "\n";
}

struct ListingCase {
  const char* name;
  std::string text;
};

std::vector<ListingCase> listingCases() {
  auto bundled = [](const char* path) { return readFile(fs::path(PACKSCAN_SOURCE_DIR) / path); };
  return {
      {"starter", bundled("examples/starter/atp.dat")},
      {"30 atoms", bundled("bench/listings/atoms30/atp.dat")},
      {"100 atoms", bundled("bench/listings/atoms100/atp.dat")},
      // Types 0 and -2, and type 3 whose label names no element: no van der Waals parameters.
      {"types without parameters",
       listing({"1 0.0 0.0 0.0 -0.3 C1 C", "2 1.09 0.0 0.0 0.1 H1 H", "0 -0.5 1.0 0.0 0.1 Q1 Q",
                "-2 -0.5 -1.0 0.2 0.1 Q2 Q", "3 0.3 0.4 1.1 0.0 X1 Xx"},
               "   2.00000   0.00000   4.00000   180.00000   0.00000")},
      // The first placement puts B's image of atom 1 exactly on atom 2 of A.
      {"coincident atoms",
       listing({"1 0.0 0.0 0.0 0.2 C1 C", "4 2.0 0.0 4.0 -0.2 O1 O", "2 0.5 0.9 0.0 0.0 H1 H"},
               "   2.00000   0.00000   4.00000   180.00000   0.00000")},
      {"no atoms", listing({}, "   3.75600  -2.10000   4.20000   180.00000   0.00000")},
      // A coordinate of 1e30 and charges whose products overflow: the sums turn infinite and NaN.
      {"huge values", testing::withLine(testing::withLine(testing::starterListing(), 14,
                                                          "   2 1.0000e30   0.58600   0.00000 5.0000e17"),
                                        15, "   2   -0.75700   0.58600   0.00000-5.000e17")},
  };
}

const char* const kOutputFiles[] = {"rb872.dat",  "coord1.xyz", "coord2.xyz",  "coord3.xyz",  "coord4.xyz",
                                    "coord5.xyz", "coord6.xyz", "coord7.xyz",  "coord8.xyz",  "coord9.xyz",
                                    "coord10.xyz", "coord11.xyz", "coord12.xyz"};

// Runs packscan on `text` in a fresh folder and gives the exit status.
int runIn(const fs::path& folder, const std::string& text, const RunOptions& options) {
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::ofstream(folder / "atp.dat", std::ios::binary) << text;
  return runPackscan(folder.string(), options);
}

TEST(RunPaths, FastPathWritesTheSameFilesAsTheReference) {
  const fs::path root = fs::temp_directory_path() / ("packscan_run_paths_" + std::to_string(::getpid()));
  for (const ListingCase& c : listingCases()) {
    const fs::path reference = root / "reference";
    const int referenceStatus = runIn(reference, c.text, {EnergyPath::Reference});
    EXPECT_EQ(referenceStatus, kExitNormal) << c.name;
    for (EnergyKernel kernel : supportedEnergyKernels()) {
      const fs::path fast = root / kernelName(kernel);
      EXPECT_EQ(runIn(fast, c.text, {EnergyPath::Fast, kernel}), referenceStatus) << c.name;
      for (const char* file : kOutputFiles) {
        const std::string expected = readFile(reference / file);
        EXPECT_FALSE(expected.empty()) << c.name << ": " << file;
        EXPECT_TRUE(readFile(fast / file) == expected)
            << c.name << ", kernel " << kernelName(kernel) << ": " << file << " differs";
      }
    }
  }
  fs::remove_all(root);
}

// The special listings really reach what they are named after.
TEST(RunPaths, SpecialListingsReachTheirCases) {
  const fs::path folder = fs::temp_directory_path() / ("packscan_run_cases_" + std::to_string(::getpid()));
  for (const ListingCase& c : listingCases()) {
    if (std::string(c.name) != "coincident atoms") continue;
    ASSERT_EQ(runIn(folder, c.text, {EnergyPath::Reference}), kExitNormal);
    // The energy with molecule B that the first placement reports is no longer finite.
    const std::string report = readFile(folder / "rb872.dat");
    EXPECT_TRUE(report.find("NaN") != std::string::npos || report.find("Inf") != std::string::npos)
        << report.substr(0, 1500);
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace packscan
