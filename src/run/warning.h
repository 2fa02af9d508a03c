#pragma once

#include <string_view>

namespace packscan {

// Tells the user why results may look odd; the run goes on. Prints
// "packscan: warning: <text>" on standard error.
void warn(std::string_view text);

}  // namespace packscan
