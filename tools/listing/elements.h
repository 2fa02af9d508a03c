#pragma once

#include <string>
#include <string_view>

namespace packscan::listing {

// The element symbol that `token` names, normalised ("cl" and "CL" give "Cl",
// "6" gives "C"); empty when it names no element.
std::string elementSymbol(std::string_view token);

// True for the elements that packscan has van der Waals parameters for.
bool hasPackscanParameters(std::string_view symbol);

}  // namespace packscan::listing
