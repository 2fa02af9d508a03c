#pragma once

#include <string>

namespace packscan {

// What ended a run abnormally. The record layer and the phases throw it; the
// run control catches it in one place, prints the message and picks the exit
// status from the kind.
enum class FailureKind {
  Input,       // end of file or a bad value in atp.dat, or atp.dat unreadable
  Output,      // an output file could not be opened or written
  UnitRecord,  // a unit record candidate holds a number that cannot be read
};

struct RunFailure {
  FailureKind kind;
  std::string message;  // "atp.dat:14: columns 16-25 hold ..." (no program prefix)
};

}  // namespace packscan
