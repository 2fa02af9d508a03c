#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace packscan::fuzz {

// A broken expectation is a finding: say which and stop, so that libFuzzer
// keeps the input.
inline void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

// Diagnostics quote listing text with unprintable bytes escaped, so a message
// never carries raw binary to the terminal.
inline bool printable(std::string_view message) {
  for (unsigned char c : message)
    if (c < 0x20 || c >= 0x7f) return false;
  return true;
}

}  // namespace packscan::fuzz
