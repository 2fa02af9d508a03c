// Arbitrary records read through every format text of the listing reader,
// with and without the error branch.
//
// Input: byte 0 picks the format text (low bits) and the error branch (bit 3);
// byte 1 picks how many of the format's data fields get a destination (a read
// may give fewer than the format has); the remaining bytes are the file.
// The file is read to its end, rewound and read again; both passes must agree.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_checks.h"
#include "input/listing_reader.h"
#include "recio/record_file.h"
#include "recio/record_format.h"
#include "recio/run_failure.h"

namespace packscan::fuzz {
namespace {

constexpr std::size_t kMaxFields = 8;

// One variable per data field of the format, of the field's kind and width.
struct Variables {
  std::array<std::int32_t, kMaxFields> integers{};
  std::array<float, kMaxFields> reals{};
  std::array<std::array<char, 4>, kMaxFields> text4{};
  std::array<std::array<char, 8>, kMaxFields> text8{};
  std::array<std::array<char, 16>, kMaxFields> text16{};
  std::vector<Destination> destinations;
};

void bind(const RecordFormat& format, Variables& v) {
  for (const EditItem& item : format.items) {
    const std::size_t k = v.destinations.size();
    if (item.kind == EditKind::Integer) v.destinations.emplace_back(v.integers[k]);
    if (item.kind == EditKind::Real) v.destinations.emplace_back(v.reals[k]);
    if (item.kind != EditKind::Text) continue;
    if (item.width == 4) v.destinations.emplace_back(v.text4[k]);
    else if (item.width == 8) v.destinations.emplace_back(v.text8[k]);
    else if (item.width == 16) v.destinations.emplace_back(v.text16[k]);
    else check(false, "text field of a width no listing line uses");
  }
  check(v.destinations.size() <= kMaxFields, "more data fields than the fuzz target holds");
}

// read() takes its destinations as a braced list; spell out each length.
ReadStatus readSome(const RecordFormat& f, RecordFile& file, const std::vector<Destination>& d, std::size_t n,
                    bool errorBranch, std::string* fault) {
  const char* what = "a fuzzed record";
  switch (n) {
    case 0: return read(f, file, {}, errorBranch, what, fault);
    case 1: return read(f, file, {d[0]}, errorBranch, what, fault);
    case 2: return read(f, file, {d[0], d[1]}, errorBranch, what, fault);
    case 3: return read(f, file, {d[0], d[1], d[2]}, errorBranch, what, fault);
    case 4: return read(f, file, {d[0], d[1], d[2], d[3]}, errorBranch, what, fault);
    case 5: return read(f, file, {d[0], d[1], d[2], d[3], d[4]}, errorBranch, what, fault);
    case 6: return read(f, file, {d[0], d[1], d[2], d[3], d[4], d[5]}, errorBranch, what, fault);
    case 7: return read(f, file, {d[0], d[1], d[2], d[3], d[4], d[5], d[6]}, errorBranch, what, fault);
  }
  check(false, "destination count out of range");
  return ReadStatus::Ok;
}

// What one read left behind, as bytes, so that two passes compare exactly.
std::string snapshot(const Variables& v, ReadStatus status, const RecordFile& file) {
  std::string bytes(1, status == ReadStatus::Ok ? 'k' : 'c');
  bytes.append(reinterpret_cast<const char*>(&v.integers), sizeof v.integers);
  bytes.append(reinterpret_cast<const char*>(&v.reals), sizeof v.reals);
  bytes.append(reinterpret_cast<const char*>(&v.text4), sizeof v.text4);
  bytes.append(reinterpret_cast<const char*>(&v.text8), sizeof v.text8);
  bytes.append(reinterpret_cast<const char*>(&v.text16), sizeof v.text16);
  bytes += std::to_string(file.lineNumber);
  return bytes;
}

// Reads until the file ends (or a read without the error branch fails) and
// gives what every read left.
std::vector<std::string> readToEnd(const RecordFormat& format, RecordFile& file, Variables& v, std::size_t count,
                                   bool errorBranch) {
  std::vector<std::string> pass;
  for (;;) {
    std::string fault;
    ReadStatus status;
    try {
      status = readSome(format, file, v.destinations, count, errorBranch, &fault);
    } catch (const RunFailure& failure) {
      check(failure.kind == FailureKind::Input, "a read failed with a kind other than input");
      check(failure.message.rfind("atp.dat:", 0) == 0, "a read failure that does not name the file");
      check(printable(failure.message), "a read failure message with unprintable bytes");
      pass.push_back("failure " + failure.message);
      return pass;
    }
    check(file.record.size() <= kStoredColumns, "a stored record longer than the stored columns");
    if (status == ReadStatus::ConversionError) {
      check(errorBranch, "ConversionError from a read without the error branch");
      check(printable(fault) && fault.rfind("atp.dat:", 0) == 0, "a conversion fault without a proper message");
    } else {
      for (float r : v.reals) check(std::isfinite(r), "a field read as an infinity or a NaN");
    }
    pass.push_back(snapshot(v, status, file));
  }
}

}  // namespace
}  // namespace packscan::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace packscan;
  using namespace packscan::fuzz;
  if (size < 2) return 0;
  const auto texts = listingFormatTexts();
  static const std::vector<RecordFormat> formats = [&] {
    std::vector<RecordFormat> parsed;
    for (std::string_view text : texts) parsed.push_back(parseFormat(text));
    return parsed;
  }();
  const RecordFormat& format = formats[(data[0] & 7u) % formats.size()];
  const bool errorBranch = (data[0] & 8u) != 0;

  Variables v;
  bind(format, v);
  const std::size_t count = data[1] % (v.destinations.size() + 1);
  RecordFile file = openInputMemory("atp.dat", std::string(reinterpret_cast<const char*>(data) + 2, size - 2));

  const std::vector<std::string> first = readToEnd(format, file, v, count, errorBranch);
  rewindFile(file);
  v = Variables{};
  bind(format, v);
  const std::vector<std::string> second = readToEnd(format, file, v, count, errorBranch);
  check(first == second, "reading again after a rewind gave different values");
  return 0;
}
