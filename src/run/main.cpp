#include "run/packscan_run.h"

// packscan takes no arguments; any given are ignored.
int main() {
#if PACKSCAN_REFERENCE_ENERGY
  // A build for comparisons: every energy from the plain reference loop.
  return packscan::runPackscan({}, {packscan::EnergyPath::Reference});
#else
  return packscan::runPackscan();
#endif
}
