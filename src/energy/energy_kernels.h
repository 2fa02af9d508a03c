#pragma once

// The interface of the vector kernels. Each kernel lives in its own file,
// compiled for one instruction set, and sees only these plain structs, so no
// code built for a wider instruction set can end up shared with the rest of
// the program.

namespace packscan {

// Molecule A and the per-run constants, as pointers to entry 0 of arrays
// indexed from 1. Reads may run past entry NATOM up to entry 127.
struct KernelMolecule {
  const float* X;
  const float* Y;
  const float* Z;
  const float* Q;      // charge of copy atom j (the image of atom j of A)
  const float* Q1380;  // Q(i) * 1380
  const float* EPSIJ;  // row j starts at EPSIJ + j * kernelRowStride
  const float* R0IJ;
  int NATOM;           // 0..100
};

inline constexpr int kernelRowStride = 128;

struct KernelCopy {
  const float* CX;
  const float* CY;
  const float* CZ;
};

struct KernelSums {
  float EVDW;
  float ECOUL;
};

// EVDW and ECOUL of A with each of `count` copies (1 or 2), every sum in the
// order copy atom j outer, atom i of A inner. Two copies advance side by side.
void energySumsSse2(const KernelMolecule& molecule, const KernelCopy* copies, int count, KernelSums* sums);
void energySumsAvx2(const KernelMolecule& molecule, const KernelCopy* copies, int count, KernelSums* sums);
void energySumsAvx512(const KernelMolecule& molecule, const KernelCopy* copies, int count, KernelSums* sums);

// out[k] = (float)exp((double)x[k]) by the kernel's own exponential, for n a
// multiple of 16. Gives the number of lanes that had to fall back to std::exp.
long expLanesSse2(const float* x, float* out, long n);
long expLanesAvx2(const float* x, float* out, long n);
long expLanesAvx512(const float* x, float* out, long n);

}  // namespace packscan
