#pragma once

namespace packscan {

// The placement state of one orientation step. The scan owns it; the search
// moves A, B, RXB and lowers EBEST, and leaves the rest as its last trial made it.
struct StepState {
  float CH = 0, SH = 0;
  float A = 0, B = 0, RXB = 0;
  float RY = 0, RZ = 0, TY = 0, TZ = 0;
  float EAB = 0, EAC = 0, EBEST = 0;
};

// RY, RZ of molecule B and TY, TZ of molecule C from A and B.
void derivePlacement(StepState& step);

}  // namespace packscan
