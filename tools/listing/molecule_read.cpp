#include "molecule_read.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "elements.h"

namespace packscan::listing {
namespace {

struct Line {
  int number;
  std::string_view text;
};

std::vector<Line> splitLines(std::string_view content) {
  std::vector<Line> lines;
  int number = 0;
  while (!content.empty()) {
    const std::size_t end = content.find('\n');
    std::string_view text = content.substr(0, end);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    lines.push_back({++number, text});
    if (end == std::string_view::npos) break;
    content.remove_prefix(end + 1);
  }
  return lines;
}

std::vector<std::string_view> fieldsOf(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  while (true) {
    pos = text.find_first_not_of(" \t", pos);
    if (pos == std::string_view::npos) return fields;
    const std::size_t end = text.find_first_of(" \t", pos);
    fields.push_back(text.substr(pos, end == std::string_view::npos ? end : end - pos));
    if (end == std::string_view::npos) return fields;
    pos = end;
  }
}

bool isBlank(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

std::string quote(std::string_view text) {
  std::string quoted = "\"";
  for (unsigned char c : text) quoted.push_back(c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '?');
  return quoted + "\"";
}

struct Where {
  const std::string& name;
  int line;
  std::string fail(const std::string& what) const { return name + ":" + std::to_string(line) + ": " + what; }
};

double number(std::string_view field, const Where& where, const std::string& what) {
  double value = 0;
  const char* first = field.data();
  if (!field.empty() && field[0] == '+') ++first;
  const auto [end, error] = std::from_chars(first, field.data() + field.size(), value);
  if (error != std::errc() || end != field.data() + field.size() || !std::isfinite(value))
    throw ListingError{where.fail(quote(field) + " is not a number (" + what + ")")};
  return value;
}

int count(std::string_view field, const Where& where, const std::string& what) {
  int value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (error != std::errc() || end != field.data() + field.size() || value < 0)
    throw ListingError{where.fail(quote(field) + " is not an atom count (" + what + ")")};
  return value;
}

void checkAtomCount(int atoms, const Where& where) {
  if (atoms == 0) throw ListingError{where.fail("the molecule has no atoms")};
  if (atoms > kMaxListingAtoms)
    throw ListingError{where.fail("the molecule has " + std::to_string(atoms) + " atoms; packscan takes at most " +
                                  std::to_string(kMaxListingAtoms))};
}

std::string element(std::string_view field, const Where& where, const std::string& atom) {
  std::string symbol = elementSymbol(field);
  if (symbol.empty()) throw ListingError{where.fail(quote(field) + " is not an element symbol (" + atom + ")")};
  return symbol;
}

std::string atomName(int index) { return "atom " + std::to_string(index); }

// Atoms must all carry a charge or all go without: a charge missing on a few
// lines is more likely a damaged file than a choice.
void checkChargePresence(bool charged, int index, bool firstCharged, const Where& where) {
  if (charged == firstCharged) return;
  throw ListingError{where.fail(atomName(index) + (charged ? " has a charge but atom 1 has none"
                                                           : " has no charge but atom 1 has one") +
                                "; give a charge for every atom or for none")};
}

}  // namespace

Molecule readXyz(std::string_view content, const std::string& name, Warnings& warnings) {
  const std::vector<Line> lines = splitLines(content);
  if (lines.empty() || isBlank(lines[0].text))
    throw ListingError{name + ":1: the first line must hold the atom count"};
  const Where countLine{name, 1};
  const std::vector<std::string_view> countFields = fieldsOf(lines[0].text);
  const int atoms = count(countFields[0], countLine, "first line");
  checkAtomCount(atoms, countLine);

  Molecule molecule;
  for (int index = 1; index <= atoms; ++index) {
    const std::size_t at = static_cast<std::size_t>(index) + 1;  // line 2 is the comment
    if (at >= lines.size())
      throw ListingError{name + ":" + std::to_string(lines.size()) + ": the file ends after " +
                         std::to_string(index - 1) + " of " + std::to_string(atoms) + " atoms"};
    const Where where{name, lines[at].number};
    const std::vector<std::string_view> fields = fieldsOf(lines[at].text);
    const std::string atom = atomName(index);
    if (fields.size() != 4 && fields.size() != 5)
      throw ListingError{where.fail("expected an element, x, y, z and an optional charge, found " +
                                    std::to_string(fields.size()) + " fields (" + atom + ")")};
    Atom parsed;
    parsed.element = element(fields[0], where, atom);
    parsed.x = number(fields[1], where, "x of " + atom);
    parsed.y = number(fields[2], where, "y of " + atom);
    parsed.z = number(fields[3], where, "z of " + atom);
    const bool charged = fields.size() == 5;
    if (index == 1) molecule.hasCharges = charged;
    checkChargePresence(charged, index, molecule.hasCharges, where);
    if (charged) parsed.charge = number(fields[4], where, "charge of " + atom);
    molecule.atoms.push_back(parsed);
  }
  for (std::size_t k = static_cast<std::size_t>(atoms) + 2; k < lines.size(); ++k) {
    if (isBlank(lines[k].text)) continue;
    warnings.push_back(name + ":" + std::to_string(lines[k].number) +
                       ": more lines follow the first molecule; only the first molecule is used");
    break;
  }
  return molecule;
}

Molecule readMol2(std::string_view content, const std::string& name, Warnings& warnings) {
  const std::vector<Line> lines = splitLines(content);
  auto findSection = [&](std::string_view tag, std::size_t from) {
    for (std::size_t k = from; k < lines.size(); ++k)
      if (lines[k].text.rfind(tag, 0) == 0) return k;
    return lines.size();
  };
  const std::size_t moleculeAt = findSection("@<TRIPOS>MOLECULE", 0);
  if (moleculeAt == lines.size()) throw ListingError{name + ": no @<TRIPOS>MOLECULE section"};
  // The section holds the molecule's name, then the counts, the molecule type and the charge type.
  if (moleculeAt + 2 >= lines.size())
    throw ListingError{name + ":" + std::to_string(lines.back().number) + ": the MOLECULE section ends early"};
  const Where countLine{name, lines[moleculeAt + 2].number};
  const std::vector<std::string_view> countFields = fieldsOf(lines[moleculeAt + 2].text);
  if (countFields.empty()) throw ListingError{countLine.fail("the line must hold the atom count")};
  const int atoms = count(countFields[0], countLine, "atom count of the MOLECULE section");
  checkAtomCount(atoms, countLine);
  const bool declaredUncharged =
      moleculeAt + 4 < lines.size() && fieldsOf(lines[moleculeAt + 4].text).size() == 1 &&
      fieldsOf(lines[moleculeAt + 4].text)[0] == "NO_CHARGES";

  const std::size_t atomAt = findSection("@<TRIPOS>ATOM", moleculeAt);
  if (atomAt == lines.size()) throw ListingError{name + ": no @<TRIPOS>ATOM section"};
  Molecule molecule;
  std::size_t k = atomAt + 1;
  for (int index = 1; index <= atoms; ++index, ++k) {
    while (k < lines.size() && isBlank(lines[k].text)) ++k;
    if (k >= lines.size() || lines[k].text.rfind("@<TRIPOS>", 0) == 0)
      throw ListingError{name + ":" + std::to_string(k < lines.size() ? lines[k].number : lines.back().number) +
                         ": the ATOM section ends after " + std::to_string(index - 1) + " of " +
                         std::to_string(atoms) + " atoms"};
    const Where where{name, lines[k].number};
    const std::vector<std::string_view> fields = fieldsOf(lines[k].text);
    const std::string atom = atomName(index);
    if (fields.size() < 6)
      throw ListingError{where.fail("expected id, name, x, y, z and SYBYL type, found " +
                                    std::to_string(fields.size()) + " fields (" + atom + ")")};
    Atom parsed;
    parsed.x = number(fields[2], where, "x of " + atom);
    parsed.y = number(fields[3], where, "y of " + atom);
    parsed.z = number(fields[4], where, "z of " + atom);
    const std::string_view type = fields[5].substr(0, fields[5].find('.'));
    parsed.element = element(type, where, "SYBYL type of " + atom);
    const bool charged = fields.size() >= 9 && !declaredUncharged;
    if (index == 1) molecule.hasCharges = charged;
    if (!declaredUncharged) checkChargePresence(charged, index, molecule.hasCharges, where);
    if (charged) parsed.charge = number(fields[8], where, "charge of " + atom);
    molecule.atoms.push_back(parsed);
  }
  if (findSection("@<TRIPOS>MOLECULE", moleculeAt + 1) != lines.size())
    warnings.push_back(name + ": the file holds more than one molecule; only the first is used");
  return molecule;
}

}  // namespace packscan::listing
