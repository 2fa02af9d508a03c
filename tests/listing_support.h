#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "input/cood.h"
#include "input/listing_reader.h"
#include "recio/record_file.h"
#include "recio/run_failure.h"
#include "test_support.h"

namespace packscan::testing {

// The 17-line example listing of the README: water, three atoms of two types.
inline std::string starterListing() { return readText(sourcePath("examples/starter/atp.dat")); }

// Replaces line n (from 1) of a listing.
inline std::string withLine(const std::string& text, int n, const std::string& line) {
  std::vector<std::string> lines = splitLines(text);
  lines.at(static_cast<std::size_t>(n - 1)) = line;
  std::string joined;
  for (const std::string& l : lines) joined += l + "\n";
  return joined;
}

inline std::string unitLine(const char* label, float rx, float ry, float rz, float thetau, float sgnin) {
  char line[128];
  std::snprintf(line, sizeof line, "%6s%-8s%24s%10.5f%10.5f%10.5f%2s%10.5f%10.5f", "", label, "", rx, ry, rz, "",
                thetau, sgnin);
  return line;
}

// Everything the input phase leaves behind.
struct InputOutcome {
  Cood cood;
  RunParameters run;
  std::vector<std::string> report;
  std::array<std::vector<std::string>, 12> xyz;
  std::string warnings;
};

struct MemoryFiles {
  RecordFile listing;
  RecordFile report = openOutputMemory("rb872.dat");
  std::array<RecordFile, 12> coords;
  ReportWriter reportWriter{&report};
  XyzWriter xyzWriter{};

  explicit MemoryFiles(const std::string& text) : listing(openInputMemory("atp.dat", text)) {
    for (int k = 0; k < 12; ++k) {
      coords[k] = openOutputMemory(coordName(k + 1));
      xyzWriter.files[k] = &coords[k];
    }
  }
};

inline InputOutcome readListing(const std::string& text) {
  InputOutcome outcome;
  MemoryFiles files(text);
  ::testing::internal::CaptureStderr();
  try {
    readInputListing(files.listing, files.reportWriter, files.xyzWriter, outcome.cood, outcome.run);
  } catch (...) {
    ::testing::internal::GetCapturedStderr();
    throw;
  }
  outcome.warnings = ::testing::internal::GetCapturedStderr();
  outcome.report = splitLines(memoryOutput(files.report));
  for (int k = 0; k < 12; ++k) outcome.xyz[k] = splitLines(memoryOutput(files.coords[k]));
  return outcome;
}

// The failure that ends the input phase on this listing.
inline RunFailure readFailure(const std::string& text) {
  try {
    readListing(text);
  } catch (const RunFailure& failure) {
    return failure;
  }
  ADD_FAILURE() << "the listing was read without failure";
  return {FailureKind::Input, ""};
}

}  // namespace packscan::testing
