#include "run/packscan_run.h"

// packscan takes no arguments; any given are ignored.
int main() { return packscan::runPackscan(); }
