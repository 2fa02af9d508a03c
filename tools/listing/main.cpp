// packscan-listing: writes a packscan input listing for a molecule from an
// XYZ or MOL2 file. Exit statuses: 0 done, 1 bad command line, 2 the input
// cannot be used, 3 the output cannot be written.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "command_line.h"
#include "molecule_read.h"
#include "principal_axes.h"

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitInput = 2;
constexpr int kExitOutput = 3;

void report(const std::string& text) { std::fprintf(stderr, "packscan-listing: %s\n", text.c_str()); }

std::string baseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace packscan::listing;
  Command command;
  InputFormat format;
  try {
    command = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (command.help) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    format = inputFormat(command);
  } catch (const UsageError& error) {
    report(error.message);
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }

  const bool fromStdin = command.input == "-";
  const std::string name = fromStdin ? "standard input" : command.input;
  std::ostringstream content;
  if (fromStdin) {
    content << std::cin.rdbuf();
  } else {
    std::ifstream in(command.input, std::ios::binary);
    if (!in) {
      report("cannot open " + command.input);
      return kExitInput;
    }
    content << in.rdbuf();
  }

  Warnings warnings;
  std::string listing;
  try {
    Molecule molecule = format == InputFormat::Xyz ? readXyz(content.str(), name, warnings)
                                                   : readMol2(content.str(), name, warnings);
    if (!molecule.hasCharges)
      warnings.push_back(name + " gives no partial charges; every charge is 0 and the Coulomb terms vanish");
    if (command.options.turned) turnOntoPrincipalAxes(molecule);
    command.options.source = fromStdin ? "" : baseName(command.input);
    listing = writeListing(molecule, command.options, warnings);
  } catch (const ListingError& error) {
    for (const std::string& warning : warnings) report("warning: " + warning);
    report(error.message);
    return kExitInput;
  }
  for (const std::string& warning : warnings) report("warning: " + warning);

  if (command.output.empty()) {
    std::fwrite(listing.data(), 1, listing.size(), stdout);
    if (std::fflush(stdout) != 0) {
      report("cannot write to standard output");
      return kExitOutput;
    }
    return 0;
  }
  std::ofstream out(command.output, std::ios::binary | std::ios::trunc);
  out << listing;
  out.close();
  if (!out) {
    report("cannot write " + command.output);
    return kExitOutput;
  }
  return 0;
}
