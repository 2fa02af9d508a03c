#include "elements.h"

#include <cctype>
#include <charconv>

namespace packscan::listing {
namespace {

// Symbols in order of atomic number, so that an index gives the number.
constexpr std::string_view kSymbols[] = {
    "H",  "He", "Li", "Be", "B",  "C",  "N",  "O",  "F",  "Ne", "Na", "Mg", "Al", "Si", "P",  "S",
    "Cl", "Ar", "K",  "Ca", "Sc", "Ti", "V",  "Cr", "Mn", "Fe", "Co", "Ni", "Cu", "Zn", "Ga", "Ge",
    "As", "Se", "Br", "Kr", "Rb", "Sr", "Y",  "Zr", "Nb", "Mo", "Tc", "Ru", "Rh", "Pd", "Ag", "Cd",
    "In", "Sn", "Sb", "Te", "I",  "Xe", "Cs", "Ba", "La", "Ce", "Pr", "Nd", "Pm", "Sm", "Eu", "Gd",
    "Tb", "Dy", "Ho", "Er", "Tm", "Yb", "Lu", "Hf", "Ta", "W",  "Re", "Os", "Ir", "Pt", "Au", "Hg",
    "Tl", "Pb", "Bi", "Po", "At", "Rn", "Fr", "Ra", "Ac", "Th", "Pa", "U",  "Np", "Pu", "Am", "Cm",
    "Bk", "Cf", "Es", "Fm", "Md", "No", "Lr", "Rf", "Db", "Sg", "Bh", "Hs", "Mt", "Ds", "Rg", "Cn",
    "Nh", "Fl", "Mc", "Lv", "Ts", "Og",
};

// The element table of packscan's energy model.
constexpr std::string_view kParameterised[] = {"S", "C", "H", "N", "O"};

}  // namespace

std::string elementSymbol(std::string_view token) {
  if (token.empty()) return {};
  if (std::isdigit(static_cast<unsigned char>(token[0]))) {
    int number = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), number);
    if (error != std::errc() || end != token.data() + token.size()) return {};
    if (number < 1 || number > static_cast<int>(std::size(kSymbols))) return {};
    return std::string(kSymbols[number - 1]);
  }
  if (token.size() > 2) return {};
  std::string symbol(token);
  symbol[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(symbol[0])));
  if (symbol.size() == 2) symbol[1] = static_cast<char>(std::tolower(static_cast<unsigned char>(symbol[1])));
  for (std::string_view known : kSymbols)
    if (known == symbol) return symbol;
  return {};
}

bool hasPackscanParameters(std::string_view symbol) {
  for (std::string_view known : kParameterised)
    if (known == symbol) return true;
  return false;
}

}  // namespace packscan::listing
