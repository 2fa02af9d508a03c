#include "output/report_writer.h"

#include <array>
#include <string_view>

namespace packscan {
namespace {

// Cell values.
constexpr std::string_view kR1 = "(6F10.4)";
// One atom of the coordinate block with its labels; R4 (type count) and
// R5 (type parameters) use the leading fields of the same layout.
constexpr std::string_view kR2 = "(I4,X,4F10.5,4X,A4,X,A4)";
constexpr std::string_view kR3 = "(' VV = ',F10.5,'  VL = ',F10.5,'  THETA = ',F10.5)";
constexpr std::string_view kR4 = "(I4,X,4F10.5,4X,A4,X,A4)";
constexpr std::string_view kR5 = "(I4,X,4F10.5,4X,A4,X,A4)";
// Initial placement: the unit record and what it derives.
constexpr std::string_view kR6 = "(/,'p')";
constexpr std::string_view kR7 = "(' RX = ',F10.5,' RY = ',F10.5,' RZ = ',F10.5,               ' Theta = ',F10.5)";
constexpr std::string_view kR8First = "(' a < b ',F5.1)";
constexpr std::string_view kR8Second = "(' a > b ',F5.1)";
constexpr std::string_view kR9 = "(' cos th/2 = ',F10.5,' sin th/2 = ',F10.5)";
constexpr std::string_view kR10 = "(' RY0      = ',F10.5,' RZ0      = ',F10.5,                  ' Delta = ',F10.5)";
constexpr std::string_view kR11 = "(' a =',F10.5,' 2RZ0/cos Delta = ',F10.5)";
constexpr std::string_view kR12 = "(' b =',F10.5,' 2RY0           = ',F10.5)";
// Van der Waals, Coulomb and total energy of A with one copy.
constexpr std::string_view kR13 = "(5F10.5)";
constexpr std::string_view kR14 = "(/,'b')";
constexpr std::string_view kR15 = "(' RX = ',F10.5,' RY = ',F10.5,' RZ = ',F10.5)";
// Header of the per-step and summary table.
constexpr std::string_view kR16 = "(/,2X,'Theta',6X,'a',9X,'b',9X,'Rx',8X,'Ry',8X,'Rz',8X,           'P.E.',6X,'Fx',8X,'Fy',8X,'Fz',8X,'P.E.',6X,'Total')";
// Orientation step: its angle, the start row, one row per search trial, the result row.
constexpr std::string_view kR17 = "(/,' FAI = ',F10.5,'  Y00 = ',F10.5,'  X00 = ',F10.5)";
constexpr std::string_view kR18 = "(12F10.4)";
constexpr std::string_view kR19 = "(11X,4F10.5,3I5)";
constexpr std::string_view kR20 = "(12F10.4,/)";
// Summary rows.
constexpr std::string_view kR21 = "(12F10.4)";

constexpr std::array<std::string_view, 21> kTexts = {
    kR1, kR2, kR3, kR4, kR5, kR6, kR7, kR8First, kR9, kR10, kR11,
    kR12, kR13, kR14, kR15, kR16, kR17, kR18, kR19, kR20, kR21,
};

}  // namespace

const RecordFormat& reportFormat(ReportRecord id, R8Form form) {
  // Parsed once, on first use.
  static const std::array<RecordFormat, 21> formats = [] {
    std::array<RecordFormat, 21> parsed;
    for (std::size_t k = 0; k < kTexts.size(); ++k) parsed[k] = parseFormat(kTexts[k]);
    return parsed;
  }();
  static const RecordFormat r8Second = parseFormat(kR8Second);
  if (id == ReportRecord::R8 && form == R8Form::Second) return r8Second;
  return formats[static_cast<std::size_t>(id)];
}

void writeReport(ReportWriter& writer, ReportRecord id, std::initializer_list<FieldValue> values,
                 R8Form form) {
  write(reportFormat(id, form), *writer.file, values);
}

}  // namespace packscan
