#include "listing_write.h"

#include <cmath>
#include <map>
#include <string_view>

#include "elements.h"
#include "recio/record_format.h"

namespace packscan::listing {
namespace {

// The layouts packscan reads, written back with the same field widths.
constexpr std::string_view kCellLine = "(7F10.4)";
constexpr std::string_view kFirstTableLine = "(I4,X,3F10.5,4X,A4,X,A4)";
constexpr std::string_view kAnglesLine = "(15X,3F10.5)";
constexpr std::string_view kCoordinateLine = "(I4,X,4F10.5)";
constexpr std::string_view kUnitLine = "(6X,'UNIT p  ',24X,3F10.5,2X,2F10.5)";

constexpr std::string_view kOrientationMarker = " Molecular orientation";
constexpr std::string_view kCoordinateMarker = " Molecular Coordinates and charges";
constexpr std::string_view kCoordinateHeader = "  No      X         Y         Z         Q";

// packscan accepts a unit record whose RZ, as read in single precision, lies
// in one of these open intervals.
bool inUnitWindow(float rz) { return (-5.1f < rz && rz < -3.0f) || (3.0f < rz && rz < 5.1f); }

// The value as the listing's text will give it back: rounded to the field's
// decimals, with a negative zero made positive so that it prints without a sign.
float fieldValue(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return static_cast<float>(std::round(value * scale) / scale + 0.0);
}

Label label(std::string_view text) {
  Label padded;
  padded.fill(' ');
  for (std::size_t k = 0; k < text.size() && k < padded.size(); ++k) padded[k] = text[k];
  return padded;
}

// Appends the records of one write; a field that would print as asterisks is
// an error, since packscan would then fail to read it.
void emit(std::string& out, std::string_view formatText, std::initializer_list<FieldValue> values,
          const std::string& what) {
  const RecordFormat format = parseFormat(formatText);
  for (const std::string& record : formatRecords(format, values)) {
    if (record.find('*') != std::string::npos)
      throw ListingError{what + " does not fit its field: " + record};
    out += record;
    out += '\n';
  }
}

// A comment line that the reader passes over. Columns 1-16 and 7-14 can never
// hold a section marker because the line starts with a fixed prefix.
std::string comment(std::string_view text) {
  std::string line = " ";
  for (unsigned char c : text) line.push_back(c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '?');
  return line;
}

void checkOptions(const ListingOptions& options) {
  if (fieldValue(options.dfai, 5) == 0.0f)
    throw ListingError{"an orientation step (DFAI) of 0 would be read as 15; give a non-zero step"};
  if (fieldValue(options.theta, 5) == 0.0f)
    throw ListingError{"a screw angle (THETA) of 0 would be read as 90; give a non-zero angle"};
  if (!inUnitWindow(fieldValue(options.rz, 5)))
    throw ListingError{"RZ of the unit record must lie between 3.0 and 5.1 or between -5.1 and -3.0 "
                       "(both bounds excluded); packscan would not accept the record"};
}

}  // namespace

std::string writeListing(const Molecule& molecule, const ListingOptions& options, Warnings& warnings) {
  checkOptions(options);
  const int natom = static_cast<int>(molecule.atoms.size());
  if (natom == 0) throw ListingError{"the molecule has no atoms"};
  if (natom > kMaxListingAtoms)
    throw ListingError{"the molecule has " + std::to_string(natom) + " atoms; packscan takes at most " +
                       std::to_string(kMaxListingAtoms)};

  // One type per element, numbered in order of first appearance.
  std::map<std::string, std::int32_t> typeOf;
  std::map<std::string, int> seen;
  std::vector<std::int32_t> types;
  std::vector<Label> names, elements;
  for (const Atom& atom : molecule.atoms) {
    auto [entry, added] = typeOf.emplace(atom.element, static_cast<std::int32_t>(typeOf.size()) + 1);
    if (added && !hasPackscanParameters(atom.element))
      warnings.push_back("element " + atom.element + " (type " + std::to_string(entry->second) +
                         ") has no van der Waals parameters in packscan; its van der Waals terms will be zero");
    types.push_back(entry->second);
    std::string name = atom.element + std::to_string(++seen[atom.element]);
    if (name.size() > 4) name = std::to_string(types.size());
    names.push_back(label(name));
    elements.push_back(label(atom.element));
  }

  std::string out;
  const auto& c = options.cell;
  emit(out, kCellLine,
       {fieldValue(c[0], 4), fieldValue(c[1], 4), fieldValue(c[2], 4), fieldValue(c[3], 4), fieldValue(c[4], 4),
        fieldValue(c[5], 4), 0.0f},
       "a cell value");
  for (int i = 0; i < natom; ++i) {
    const Atom& atom = molecule.atoms[i];
    emit(out, kFirstTableLine,
         {types[i], fieldValue(atom.x, 5), fieldValue(atom.y, 5), fieldValue(atom.z, 5), names[i], elements[i]},
         "a coordinate of atom " + std::to_string(i + 1));
  }
  emit(out, "(I4)", {std::int32_t{0}}, "the table terminator");
  out += std::string(kOrientationMarker) + '\n';
  out += comment("built by packscan-listing from " + (options.source.empty() ? "standard input" : options.source)) + '\n';
  out += comment(options.turned ? "centred on its centroid; x: longest axis, z: normal of the best plane"
                                : "coordinates as given") + '\n';
  out += '\n';
  emit(out, kAnglesLine, {fieldValue(options.fai, 5), fieldValue(options.dfai, 5), fieldValue(options.theta, 5)},
       "an angle");
  out += std::string(kCoordinateMarker) + '\n';
  out += std::string(kCoordinateHeader) + '\n';
  for (int i = 0; i < natom; ++i) {
    const Atom& atom = molecule.atoms[i];
    emit(out, kCoordinateLine,
         {types[i], fieldValue(atom.x, 5), fieldValue(atom.y, 5), fieldValue(atom.z, 5), fieldValue(atom.charge, 5)},
         "a value of atom " + std::to_string(i + 1));
  }
  out += '\n';
  emit(out, kUnitLine,
       {fieldValue(options.rx, 5), fieldValue(options.ry, 5), fieldValue(options.rz, 5), fieldValue(options.thetau, 5),
        fieldValue(options.sgnin, 5)},
       "a unit record value");
  return out;
}

}  // namespace packscan::listing
