#pragma once

#include <string>
#include <vector>

#include "listing_write.h"

namespace packscan::listing {

enum class InputFormat { FromName, Xyz, Mol2 };

struct Command {
  ListingOptions options;
  std::string input;   // "-" reads standard input
  std::string output;  // empty writes to standard output
  InputFormat format = InputFormat::FromName;
  bool help = false;
};

// A command line that cannot be understood.
struct UsageError {
  std::string message;
};

// Parses the arguments after the program name. Throws UsageError.
Command parseCommandLine(const std::vector<std::string>& args);

// The format of the input file: the one given, else from its extension.
// Throws UsageError when neither tells.
InputFormat inputFormat(const Command& command);

extern const char* const kUsage;

}  // namespace packscan::listing
