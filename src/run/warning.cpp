#include "run/warning.h"

#include <cstdio>

namespace packscan {

void warn(std::string_view text) {
  std::fprintf(stderr, "packscan: warning: %.*s\n", static_cast<int>(text.size()), text.data());
}

}  // namespace packscan
