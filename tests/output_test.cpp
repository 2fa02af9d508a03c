#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "energy/single_math.h"
#include "input/cood.h"
#include "output/report_writer.h"
#include "output/xyz_writer.h"
#include "recio/record_file.h"
#include "test_support.h"

namespace packscan {
namespace {

using testing::splitLines;

const Label kO = {'O', ' ', ' ', ' '};
const Label kO1 = {'O', '1', ' ', ' '};

std::vector<std::string> reportLines(ReportRecord id, std::initializer_list<FieldValue> values,
                                     R8Form form = R8Form::First) {
  RecordFile file = openOutputMemory("rb872.dat");
  ReportWriter writer{&file};
  writeReport(writer, id, values, form);
  return splitLines(memoryOutput(file));
}

using Lines = std::vector<std::string>;

TEST(ReportWriter, RecordLayouts) {
  const float cos90 = cosSingle(90.0f * DEG2RAD);  // a tiny negative value
  const std::string header =
      "  Theta      a         b         Rx        Ry        Rz        P.E.      Fx        Fy        Fz        "
      "P.E.      Total";
  const std::string row = "   90.0000    3.6572    4.9497    0.0000   -0.4570    3.0430   -0.4918    0.0000   "
                          "-3.5000    3.5000   -0.1575   -1.1411";
  struct Case {
    const char* name;
    Lines actual;
    Lines expected;
  };
  const std::vector<Case> cases = {
      {"R1", reportLines(ReportRecord::R1, {7.512f, 9.834f, 12.441f, 90.0f, 101.23f, 90.0f}),
       {"    7.5120    9.8340   12.4410   90.0000  101.2300   90.0000"}},
      {"R2 keeps the blanks of the label", reportLines(ReportRecord::R2, {1, 0.0f, 0.0f, 0.0f, -0.4f, kO1, kO}),
       {"   1    0.00000   0.00000   0.00000  -0.40000    O1   O   "}},
      {"R3", reportLines(ReportRecord::R3, {0.586f, 1.514f, 90.0f}),
       {" VV =    0.58600  VL =    1.51400  THETA =   90.00000"}},
      {"R4", reportLines(ReportRecord::R4, {2}), {"   2"}},
      {"R5", reportLines(ReportRecord::R5, {1, 0.2466f, 1.82f}), {"   1    0.24660   1.82000"}},
      {"R6", reportLines(ReportRecord::R6, {}), {"", "p"}},
      {"R7", reportLines(ReportRecord::R7, {3.756f, -2.1f, 4.2f, 180.0f}),
       {" RX =    3.75600 RY =   -2.10000 RZ =    4.20000 Theta =  180.00000"}},
      {"R8 first form", reportLines(ReportRecord::R8, {-1.0f}, R8Form::First), {" a < b  -1.0"}},
      {"R8 second form", reportLines(ReportRecord::R8, {0.5f}, R8Form::Second), {" a > b   0.5"}},
      {"R9 with the cosine of 90 degrees", reportLines(ReportRecord::R9, {cos90, 1.0f}),
       {" cos th/2 =   -0.00000 sin th/2 =    1.00000"}},
      {"R10", reportLines(ReportRecord::R10, {4.2f, 2.1f, -60.79021f}),
       {" RY0      =    4.20000 RZ0      =    2.10000 Delta =  -60.79021"}},
      {"R11", reportLines(ReportRecord::R11, {7.512f, 8.4f}), {" a =   7.51200 2RZ0/cos Delta =    8.40000"}},
      {"R12", reportLines(ReportRecord::R12, {9.834f, 8.6064f}), {" b =   9.83400 2RY0           =    8.60640"}},
      {"R13", reportLines(ReportRecord::R13, {-0.09876f, 0.19763f, 0.09888f}), {"  -0.09876   0.19763   0.09888"}},
      {"R14", reportLines(ReportRecord::R14, {}), {"", "b"}},
      {"R15", reportLines(ReportRecord::R15, {0.0f, 0.0f, 8.6064f}),
       {" RX =    0.00000 RY =    0.00000 RZ =    8.60640"}},
      {"R16", reportLines(ReportRecord::R16, {}), {"", header}},
      {"R17", reportLines(ReportRecord::R17, {15.0f, 2.64816f, 3.45184f}),
       {"", " FAI =   15.00000  Y00 =    2.64816  X00 =    3.45184"}},
      {"R18", reportLines(ReportRecord::R18, {90.0f, 3.6572f, 4.9497f, 0.0f, -0.457f, 3.043f, -0.4918f, 0.0f, -3.5f,
                                              3.5f, -0.1575f, -1.1411f}),
       {row}},
      {"R19", reportLines(ReportRecord::R19, {3.75716f, 5.04975f, 0.0f, -1.17599f, 1, 0, 0}),
       {"              3.75716   5.04975   0.00000  -1.17599    1    0    0"}},
      {"R19 energy too wide", reportLines(ReportRecord::R19, {1.0f, 2.0f, 0.5f, 10000.0f, 2, -1, 2}),
       {"              1.00000   2.00000   0.50000**********    2   -1    2"}},
      {"R20 ends with an empty record",
       reportLines(ReportRecord::R20, {90.0f, 3.6572f, 4.9497f, 0.0f, -0.457f, 3.043f, -0.4918f, 0.0f, -3.5f, 3.5f,
                                       -0.1575f, -1.1411f}),
       {row, ""}},
      {"R21 closing row",
       reportLines(ReportRecord::R21, {180.0f, 3.6572f, 4.9497f, 0.0f, -0.457f, 3.043f, -0.4918f, 0.0f, -3.5f, 3.5f,
                                       -0.1575f, -1.1411f}),
       {"  180.0000" + row.substr(10)}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(ReportWriter, HeaderLabelsSitInTheirColumns) {
  const std::string header = reportLines(ReportRecord::R16, {})[1];
  const std::vector<std::pair<std::string, int>> labels = {
      {"Theta", 3}, {"a", 14}, {"b", 24}, {"Rx", 34}, {"Ry", 44}, {"Rz", 54},
      {"P.E.", 64}, {"Fx", 74}, {"Fy", 84}, {"Fz", 94}, {"P.E.", 104}, {"Total", 114}};
  EXPECT_EQ(header.size(), 118u);
  for (const auto& [text, column] : labels) EXPECT_EQ(header.substr(column - 1, text.size()), text) << text;
}

TEST(XyzWriter, HeadersAndBlocks) {
  std::array<RecordFile, 12> files;
  XyzWriter writer{};
  for (int k = 0; k < 12; ++k) {
    files[k] = openOutputMemory(testing::coordName(k + 1));
    writer.files[k] = &files[k];
  }
  std::array<Label, kAtomSlots> labels{};
  labels[1] = kO;
  labels[2] = {'H', ' ', ' ', ' '};
  Coordinates x{}, y{}, z{};
  x[1] = -1234.5f;
  y[1] = 0.37011f;
  z[1] = 10000.0f;
  x[2] = 0.88287f;
  y[2] = -0.0f;
  z[2] = 3.0f;
  writeHeader(writer, 2, 9, 2);
  writeBlock(writer, 2, 2, labels, x, y, z);
  writeHeader(writer, 12, 300, 1);
  const Lines expected = {"   9", "   2", "O   **********   0.37011**********", "H      0.88287  -0.00000   3.00000"};
  EXPECT_EQ(splitLines(memoryOutput(files[1])), expected);
  EXPECT_EQ(splitLines(memoryOutput(files[11])), (Lines{" 300", "   1"}));
  EXPECT_EQ(memoryOutput(files[0]), "");
}

TEST(XyzWriter, StepFiles) {
  for (int m = 1; m <= 12; ++m) EXPECT_EQ(stepFile(m), m);
  EXPECT_EQ(stepFile(0), 1);
  EXPECT_EQ(stepFile(13), 1);
}

}  // namespace
}  // namespace packscan
