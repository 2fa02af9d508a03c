#include "output/xyz_writer.h"

#include <string_view>

namespace packscan {
namespace {

// Header lines: the count of one step's atom lines, then the type count.
constexpr std::string_view kC1 = "(I4,X,3F10.5,4X,A4,X,A4)";
constexpr std::string_view kC2 = "(I4,X,3F10.5,4X,A4,X,A4)";
// One atom: element label, x, y, z.
constexpr std::string_view kC3 = "(A4,5F10.5)";

const RecordFormat& formatC1() {
  static const RecordFormat format = parseFormat(kC1);
  return format;
}
const RecordFormat& formatC2() {
  static const RecordFormat format = parseFormat(kC2);
  return format;
}
const RecordFormat& formatC3() {
  static const RecordFormat format = parseFormat(kC3);
  return format;
}

}  // namespace

void writeHeader(XyzWriter& writer, int k, std::int32_t atomCount, std::int32_t second) {
  RecordFile& file = *writer.files[static_cast<std::size_t>(k - 1)];
  write(formatC1(), file, {atomCount});
  write(formatC2(), file, {second});
}

void writeBlock(XyzWriter& writer, int k, std::int32_t natom, const std::array<Label, kAtomSlots>& labels,
                const Coordinates& x, const Coordinates& y, const Coordinates& z) {
  RecordFile& file = *writer.files[static_cast<std::size_t>(k - 1)];
  for (int j = 1; j <= natom; ++j) write(formatC3(), file, {labels[j], x[j], y[j], z[j]});
}

int stepFile(int m) { return m >= 2 && m <= kOrientationSteps ? m : 1; }

}  // namespace packscan
