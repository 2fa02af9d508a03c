#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <random>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "recio/record_file.h"
#include "recio/record_format.h"
#include "recio/run_failure.h"
#include "test_support.h"

namespace packscan {
namespace {

using testing::TempDir;

const float kInf = std::numeric_limits<float>::infinity();
const Label kLabelO = {'O', ' ', ' ', ' '};

struct WriteCase {
  const char* name;
  const char* format;
  std::vector<FieldValue> values;
  std::vector<std::string> records;
};

std::vector<std::string> formatWith(const RecordFormat& format, const std::vector<FieldValue>& v) {
  // formatRecords takes an initializer list; spell out the lengths the table uses.
  switch (v.size()) {
    case 0: return formatRecords(format, {});
    case 1: return formatRecords(format, {v[0]});
    case 2: return formatRecords(format, {v[0], v[1]});
    case 3: return formatRecords(format, {v[0], v[1], v[2]});
    case 4: return formatRecords(format, {v[0], v[1], v[2], v[3]});
    case 7: return formatRecords(format, {v[0], v[1], v[2], v[3], v[4], v[5], v[6]});
    case 12:
      return formatRecords(format, {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11]});
  }
  ADD_FAILURE() << "no case for " << v.size() << " values";
  return {};
}

TEST(RecordFormatWrite, ProducesTheRecordsOfTheTable) {
  const std::vector<FieldValue> twelve(12, FieldValue(1.5f));
  std::string twelveFields;
  for (int k = 0; k < 12; ++k) twelveFields += "    1.5000";
  const std::vector<WriteCase> cases = {
      {"record end then literal, no values", "(/,'p')", {}, {"", "p"}},
      {"twelve values then a record end", "(12F10.4,/)", twelve, {twelveFields, ""}},
      {"skip after the last value adds no blank", "(I4,X,3F10.5,4X,A4,X,A4)", {36}, {"  36"}},
      {"stops at the first field without a value", "(I4,X,4F10.5,4X,A4,X,A4)", {1, 1.5f, -2.25f},
       {"   1    1.50000  -2.25000"}},
      {"text and three of five reals", "(A4,5F10.5)", {kLabelO, 1.0f, -2.0f, 3.0f},
       {"O      1.00000  -2.00000   3.00000"}},
      {"literal keeps its blanks", "(' a < b ',F5.1)", {1.0f}, {" a < b   1.0"}},
      {"blanks between items carry no meaning", "(' RX = ',F10.5,               ' Theta = ',F10.5)",
       {1.0f, 2.0f}, {" RX =    1.00000 Theta =    2.00000"}},
      {"literal with a slash in it", "(' a =',F10.5,' 2RZ0/cos Delta = ',F10.5)", {1.0f, 2.0f},
       {" a =   1.00000 2RZ0/cos Delta =    2.00000"}},
      {"too wide positive real", "(F10.5)", {12345.0f}, {"**********"}},
      {"too wide negative real", "(F10.5)", {-1000.0f}, {"**********"}},
      {"negative real filling the field", "(F10.5)", {-999.5f}, {"-999.50000"}},
      {"largest that fits", "(F10.5)", {9999.99f}, {"9999.99023"}},
      {"rounds up past the width", "(F5.1)", {999.96f}, {"*****"}},
      {"negative zero keeps its sign", "(F10.4)", {-0.0f}, {"   -0.0000"}},
      {"negative value rounding to zero", "(F10.4)", {-0.00004f}, {"   -0.0000"}},
      {"zero before the point", "(F10.4)", {0.5f}, {"    0.5000"}},
      {"F5.1 of minus one", "(F5.1)", {-1.0f}, {" -1.0"}},
      {"exact value of the stored float", "(F10.5)", {1234.56789f}, {"1234.56787"}},
      {"rounding works on the stored value", "(F10.4)", {1.00005f}, {"    1.0000"}},
      {"halfway rounds to even, down", "(F10.4)", {0.03125f}, {"    0.0312"}},
      {"halfway rounds to even, up", "(F10.4)", {0.09375f}, {"    0.0938"}},
      {"infinity", "(F10.5)", {kInf}, {"  Infinity"}},
      {"negative infinity", "(F10.5)", {-kInf}, {" -Infinity"}},
      {"infinity in a narrow field", "(F5.1)", {kInf}, {"  Inf"}},
      {"negative infinity in a narrow field", "(F5.1)", {-kInf}, {" -Inf"}},
      {"not a number", "(F10.4)", {std::numeric_limits<float>::quiet_NaN()}, {"       NaN"}},
      {"negative integer", "(I5)", {-1}, {"   -1"}},
      {"integer too wide", "(I4)", {12345}, {"****"}},
      {"most negative that fits I4", "(I4)", {-999}, {"-999"}},
      {"negative integer too wide", "(I4)", {-1000}, {"****"}},
      {"trial row layout", "(11X,4F10.5,3I5)", {1.1f, 2.0f, 0.5f, 9.0f, 0, -1, 2},
       {"              1.10000   2.00000   0.50000   9.00000    0   -1    2"}},
  };
  for (const WriteCase& c : cases) {
    EXPECT_EQ(formatWith(parseFormat(c.format), c.values), c.records) << c.name;
  }
}

TEST(RecordFormatWrite, DroppingTheLeadingZeroOnlyWhenTheFieldIsTooNarrow) {
  EXPECT_EQ(renderReal(0.5f, 5, 4), ".5000");
  EXPECT_EQ(renderReal(-0.5f, 6, 4), "-.5000");
  EXPECT_EQ(renderReal(0.5f, 6, 4), "0.5000");
}

// The F rendering is exact decimal rounding of the stored value, halfway
// cases to even; glibc's printf does the same, so the two must agree on every
// value, tiny, huge, halfway or not.
TEST(RecordFormatWrite, RealsRenderAsGlibcPrintsThem) {
  std::mt19937 random(5);
  std::vector<float> values = {0.0f, -0.0f, 1e-45f, -1e-45f, 0.00005f, -0.00005f, 0.000005f, 0.03125f,
                               0.09375f, 2.5e-5f, 99999.99995f, 1e10f, 3e38f, -3e38f, 17592186044416.0f};
  std::uniform_int_distribution<std::uint32_t> anyBits;
  std::uniform_real_distribution<float> moderate(-2e5f, 2e5f);
  for (int k = 0; k < 100000; ++k) {
    const float bitsValue = std::bit_cast<float>(anyBits(random));
    if (std::isfinite(bitsValue)) values.push_back(bitsValue);
    values.push_back(moderate(random));
    // Exact multiples of 2^-6 .. 2^-20 land on halfway cases of four and five decimals.
    values.push_back(std::ldexp(static_cast<float>(anyBits(random) % 4096), -static_cast<int>(6 + k % 15)));
  }
  for (float value : values) {
    for (int decimals : {1, 4, 5}) {
      char expected[128];
      std::snprintf(expected, sizeof expected, "%*.*f", 60, decimals, static_cast<double>(value));
      ASSERT_EQ(renderReal(value, 60, decimals), expected) << value << " with " << decimals << " decimals";
    }
  }
}

TEST(RecordFormatParse, RefusesMalformedTexts) {
  for (const char* text : {"I4", "(I4", "(Q4)", "(F10)", "('abc)", "(I4,,I4)", "(I4) x"}) {
    EXPECT_THROW(parseFormat(text), std::invalid_argument) << text;
  }
}

TEST(RecordFormatParse, ExpandsRepeatCounts) {
  const RecordFormat format = parseFormat("(///,15X,3F10.5)");
  ASSERT_EQ(format.items.size(), 7u);
  EXPECT_EQ(format.items[2].kind, EditKind::RecordEnd);
  EXPECT_EQ(format.items[3].kind, EditKind::Skip);
  EXPECT_EQ(format.items[3].width, 15);
  EXPECT_EQ(format.items[6].kind, EditKind::Real);
  EXPECT_EQ(format.items[6].decimals, 5);
}

struct RealCase {
  const char* field;
  int decimals;
  float expected;
};

TEST(FieldConversion, RealsReadAsTheNearestFloat) {
  const std::vector<RealCase> cases = {
      {"          ", 5, 0.0f},
      {"     12345", 5, 0.12345f},
      {"    150000", 5, 1.5f},
      {"   1.5    ", 5, 1.5f},
      {" 1 . 5    ", 5, 1.5f},
      {"    -2.100", 5, -2.1f},
      {"     1.5E2", 5, 150.0f},
      {"     1.5d2", 5, 150.0f},
      {"    1.5e+2", 5, 150.0f},
      {"     1.5+2", 5, 150.0f},
      {"   -15.e-1", 5, -1.5f},
      {"       15-1", 0, 1.5f},
      {"        .5", 4, 0.5f},
      {"   +3.0   ", 5, 3.0f},
      {"1e-60     ", 5, 0.0f},
      // Decimal to float in one rounding: going through double would land
      // exactly on the midpoint between two floats and round down to 1.
      {"1.0000000596046448", 0, 1.00000012f},
      {"16777217", 0, 16777216.0f},
  };
  for (const RealCase& c : cases) {
    float value = -123.0f;
    EXPECT_EQ(convertReal(c.field, c.decimals, value), "") << c.field;
    EXPECT_EQ(value, c.expected) << c.field;
  }
  float value;
  ASSERT_EQ(convertReal("-0.0", 1, value), "");
  EXPECT_TRUE(std::signbit(value));
}

TEST(FieldConversion, RefusesWhatIsNotANumber) {
  const char* bad[] = {"1.2.3", "abc", "1e", "+", "-", ".", "1e+", "\t1.0", "inf", "NaN", "1.0x",
                       "1.0e39", "1,5", "--1"};
  for (const char* field : bad) {
    float value = 7.0f;
    EXPECT_NE(convertReal(field, 5, value), "") << field;
    EXPECT_EQ(value, 7.0f) << field;
  }
}

TEST(FieldConversion, Integers) {
  const std::vector<std::pair<const char*, std::int32_t>> good = {
      {" 1 2", 12}, {"    ", 0}, {"  -7", -7}, {"+  3", 3}, {"0000", 0}};
  for (const auto& [field, expected] : good) {
    std::int32_t value = -1;
    EXPECT_EQ(convertInteger(field, value), "") << field;
    EXPECT_EQ(value, expected) << field;
  }
  for (const char* field : {"1.0", "a", "-", "1-2", "99999999999"}) {
    std::int32_t value = 0;
    EXPECT_NE(convertInteger(field, value), "") << field;
  }
}

std::string catchFailure(const std::function<void()>& action, FailureKind expectedKind) {
  try {
    action();
  } catch (const RunFailure& failure) {
    EXPECT_EQ(failure.kind, expectedKind);
    return failure.message;
  }
  ADD_FAILURE() << "no failure";
  return {};
}

TEST(RecordFormatRead, ShortRecordsReadAsBlanks) {
  RecordFile file = openInputMemory("atp.dat", "   7    1.50000 2.25\n");
  std::int32_t type = 0;
  float x = -1, y = -1, z = -1, q = -1;
  read(parseFormat("(I4,X,4F10.5)"), file, {type, x, y, z, q}, false, "a line");
  EXPECT_EQ(type, 7);
  EXPECT_EQ(x, 1.5f);
  EXPECT_EQ(y, 2.25f);
  EXPECT_EQ(z, 0.0f);
  EXPECT_EQ(q, 0.0f);
}

TEST(RecordFormatRead, RecordEndsConsumeWholeRecordsAndTheRestIsSkipped) {
  RecordFile file = openInputMemory("atp.dat", "a\nb\nc\n               1.0       2.0       3.0       junk\nnext\n");
  float fai = 0, dfai = 0, theta = 0;
  read(parseFormat("(///,15X,3F10.5)"), file, {fai, dfai, theta}, false, "the angles line");
  EXPECT_EQ(fai, 1.0f);
  EXPECT_EQ(dfai, 2.0f);
  EXPECT_EQ(theta, 3.0f);
  std::array<char, 4> label;
  read(parseFormat("(A4)"), file, {label}, false, "a label");
  EXPECT_EQ(std::string(label.data(), 4), "next");
}

TEST(RecordFormatRead, OneTextDestinationLeavesTheNumericColumnsUnread) {
  RecordFile file = openInputMemory("atp.dat", "      UNIT p                          letters here  and   more\n");
  std::array<char, 8> label;
  EXPECT_EQ(read(parseFormat("(6X,A8,24X,3F10.5,2X,2F10.5)"), file, {label}, false, "a label"),
            ReadStatus::Ok);
  EXPECT_EQ(std::string(label.data(), 8), "UNIT p  ");
}

TEST(RecordFormatRead, ConversionFailureNamesLineColumnsAndText) {
  RecordFile file = openInputMemory("atp.dat", "ok\n   1    0.00000     1.2.3\n");
  readRecord(file);
  std::int32_t type;
  float x, y, z, q;
  const std::string message = catchFailure(
      [&] { read(parseFormat("(I4,X,4F10.5)"), file, {type, x, y, z, q}, false, "atom 1 of the coordinate block"); },
      FailureKind::Input);
  EXPECT_EQ(message, "atp.dat:2: columns 16-25 hold \"1.2.3\": not a number (atom 1 of the coordinate block)");
}

TEST(RecordFormatRead, ErrorBranchReturnsConversionErrorButNotEndOfFile) {
  RecordFile file = openInputMemory("atp.dat", "      UNIT p                          abc\n");
  std::array<char, 8> label;
  float rx, ry, rz;
  std::string fault;
  EXPECT_EQ(read(parseFormat("(6X,A8,24X,3F10.5,2X,2F10.5)"), file, {label, rx, ry, rz}, true, "a candidate",
                 &fault),
            ReadStatus::ConversionError);
  EXPECT_EQ(fault, "atp.dat:1: columns 39-48 hold \"abc\": not a number (a candidate)");
  const std::string message = catchFailure(
      [&] { read(parseFormat("(6X,A8,24X,3F10.5,2X,2F10.5)"), file, {label}, true, "a candidate"); },
      FailureKind::Input);
  EXPECT_EQ(message, "atp.dat:2: end of file while reading a candidate");
}

TEST(RecordFile, LineEndsAndControlBytes) {
  const char content[] = "one\r\ntwo\n\nfour\rx\nfi\0ve\nlast";
  RecordFile file = openInputMemory("atp.dat", std::string(content, sizeof content - 1));
  std::vector<std::string> records;
  while (readRecord(file)) records.push_back(file.record);
  const std::vector<std::string> expected = {"one", "two", "", "four\rx", std::string("fi\0ve", 5), "last"};
  EXPECT_EQ(records, expected);
  EXPECT_EQ(file.lineNumber, 6);
  rewindFile(file);
  ASSERT_TRUE(readRecord(file));
  EXPECT_EQ(file.record, "one");
  EXPECT_EQ(file.lineNumber, 1);
}

TEST(RecordFile, AnEndlessLineIsCutToTheStoredColumns) {
  TempDir dir;
  std::string content(5'000'000, '7');
  content[3] = ' ';
  testing::writeText(dir / "long.dat", content + "\r\nsecond\r\n");
  RecordFile file = openInputFile("long.dat", dir.path.string());
  ASSERT_TRUE(readRecord(file));
  EXPECT_EQ(file.record.size(), kStoredColumns);
  EXPECT_EQ(file.record.substr(0, 5), "777 7");
  ASSERT_TRUE(readRecord(file));
  EXPECT_EQ(file.record, "second");
  EXPECT_FALSE(readRecord(file));
  closeFile(file);
}

TEST(RecordFile, FileInputReadsAcrossBufferRefillsAndRewinds) {
  TempDir dir;
  std::string content;
  for (int k = 0; k < 20000; ++k) content += "line " + std::to_string(k) + "\r\n";
  testing::writeText(dir / "many.dat", content);
  RecordFile file = openInputFile("many.dat", dir.path.string());
  int count = 0;
  std::string last;
  while (readRecord(file)) {
    last = file.record;
    ++count;
  }
  EXPECT_EQ(count, 20000);
  EXPECT_EQ(last, "line 19999");
  rewindFile(file);
  ASSERT_TRUE(readRecord(file));
  EXPECT_EQ(file.record, "line 0");
  closeFile(file);
}

TEST(RecordFile, OutputKeepsEarlierContentUntilTheFirstRecord) {
  TempDir dir;
  testing::writeText(dir / "kept.dat", "earlier\n");
  testing::writeText(dir / "replaced.dat", "earlier content that is longer\n");
  RecordFile kept = openOutputFile("kept.dat", dir.path.string());
  RecordFile replaced = openOutputFile("replaced.dat", dir.path.string());
  appendRecord(replaced, "new");
  closeFile(kept);
  closeFile(replaced);
  EXPECT_EQ(testing::readText(dir / "kept.dat"), "earlier\n");
  EXPECT_EQ(testing::readText(dir / "replaced.dat"), "new\n");
}

TEST(RecordFile, MissingInputIsCreatedEmptyAndTheEndOfFileSaysSo) {
  TempDir dir;
  RecordFile file = openInputFile("atp.dat", dir.path.string());
  EXPECT_TRUE(std::filesystem::exists(dir / "atp.dat"));
  float value;
  const std::string message =
      catchFailure([&] { read(parseFormat("(F10.4)"), file, {value}, false, "the cell line"); }, FailureKind::Input);
  EXPECT_EQ(message,
            "atp.dat:1: end of file while reading the cell line (atp.dat did not exist and was created empty: "
            "is this the right folder?)");
  closeFile(file);
}

TEST(RecordFile, WriteFailureNamesTheFile) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TempDir dir;
  std::filesystem::create_symlink("/dev/full", dir / "rb872.dat");
  RecordFile file = openOutputFile("rb872.dat", dir.path.string());
  appendRecord(file, "a record");
  const std::string message = catchFailure([&] { closeFile(file); }, FailureKind::Output);
  EXPECT_EQ(message, "rb872.dat: cannot write: " + std::string(std::strerror(ENOSPC)));
}

}  // namespace
}  // namespace packscan
