#include "command_line.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string_view>

namespace packscan::listing {

const char* const kUsage =
    "usage: packscan-listing [options] INPUT\n"
    "Writes a packscan input listing (atp.dat) for the molecule in INPUT, an XYZ file\n"
    "(element x y z [charge] per atom) or a MOL2 file (coordinates and partial charges).\n"
    "The molecule is centred on its centroid and turned onto its principal axes.\n"
    "\n"
    "  -o, --output FILE        write the listing to FILE (default: standard output)\n"
    "      --format xyz|mol2    format of INPUT (default: from its extension; INPUT - is stdin)\n"
    "      --keep-orientation   keep the input coordinates as they are\n"
    "      --cell A,B,C,AL,BE,GA  cell values (default 7.512,9.834,12.441,90,101.23,90)\n"
    "      --fai DEG            first orientation angle (default 0)\n"
    "      --dfai DEG           orientation step, not 0 (default 15)\n"
    "      --theta DEG          screw angle of copy B, not 0 (default 90)\n"
    "      --rx X               unit record RX (default 3.756)\n"
    "      --ry Y               unit record RY; its sign is the sign factor (default -2.1)\n"
    "      --rz Z               unit record RZ, 3.0 < |RZ| < 5.1 (default 4.2)\n"
    "      --thetau DEG         unit record angle (default 180)\n"
    "      --sgnin S            unit record sign override, 0 for none (default 0)\n"
    "  -h, --help               show this help\n";

namespace {

double parseNumber(std::string_view text, const std::string& option) {
  double value = 0;
  const char* first = text.data();
  if (!text.empty() && text[0] == '+') ++first;
  const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    throw UsageError{option + ": \"" + std::string(text) + "\" is not a number"};
  return value;
}

std::array<double, 6> parseCell(std::string_view text) {
  std::array<double, 6> cell{};
  std::size_t k = 0;
  while (true) {
    const std::size_t comma = text.find(',');
    if (k == cell.size()) throw UsageError{"--cell takes six values separated by commas"};
    cell[k++] = parseNumber(text.substr(0, comma), "--cell");
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  if (k != cell.size()) throw UsageError{"--cell takes six values separated by commas"};
  return cell;
}

}  // namespace

Command parseCommandLine(const std::vector<std::string>& args) {
  Command command;
  ListingOptions& o = command.options;
  const std::pair<const char*, double*> numeric[] = {
      {"--fai", &o.fai}, {"--dfai", &o.dfai}, {"--theta", &o.theta}, {"--rx", &o.rx},
      {"--ry", &o.ry},   {"--rz", &o.rz},     {"--thetau", &o.thetau}, {"--sgnin", &o.sgnin},
  };
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& arg = args[k];
    auto value = [&]() -> const std::string& {
      if (k + 1 >= args.size()) throw UsageError{arg + " needs a value"};
      return args[++k];
    };
    if (arg == "-h" || arg == "--help") {
      command.help = true;
      continue;
    }
    if (arg == "-o" || arg == "--output") {
      command.output = value();
      continue;
    }
    if (arg == "--format") {
      const std::string& format = value();
      if (format == "xyz") command.format = InputFormat::Xyz;
      else if (format == "mol2") command.format = InputFormat::Mol2;
      else throw UsageError{"--format: \"" + format + "\" is neither xyz nor mol2"};
      continue;
    }
    if (arg == "--keep-orientation") {
      o.turned = false;
      continue;
    }
    if (arg == "--cell") {
      o.cell = parseCell(value());
      continue;
    }
    bool matched = false;
    for (const auto& [name, target] : numeric) {
      if (arg != name) continue;
      *target = parseNumber(value(), arg);
      matched = true;
    }
    if (matched) continue;
    if (arg.size() > 1 && arg[0] == '-') throw UsageError{"unknown option " + arg};
    if (!command.input.empty()) throw UsageError{"more than one input file: " + command.input + ", " + arg};
    command.input = arg;
  }
  if (command.input.empty() && !command.help) throw UsageError{"no input file"};
  return command;
}

InputFormat inputFormat(const Command& command) {
  if (command.format != InputFormat::FromName) return command.format;
  auto endsWith = [&](std::string_view suffix) {
    const std::string& name = command.input;
    if (name.size() < suffix.size()) return false;
    for (std::size_t k = 0; k < suffix.size(); ++k)
      if (std::tolower(static_cast<unsigned char>(name[name.size() - suffix.size() + k])) != suffix[k]) return false;
    return true;
  };
  if (endsWith(".xyz")) return InputFormat::Xyz;
  if (endsWith(".mol2")) return InputFormat::Mol2;
  throw UsageError{"cannot tell the format of " + command.input + " from its name; give --format xyz or --format mol2"};
}

}  // namespace packscan::listing
