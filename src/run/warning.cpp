#include "run/warning.h"

#include <cstdio>
#include <string>

#include "recio/record_format.h"

namespace packscan {

void warn(std::string_view text) {
  // Warnings quote labels from the listing, which may hold any byte.
  const std::string shown = escapeUnprintable(text);
  std::fprintf(stderr, "packscan: warning: %s\n", shown.c_str());
}

}  // namespace packscan
