#include "principal_axes.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace packscan::listing {
namespace {

using Vec = std::array<double, 3>;
using Mat = std::array<Vec, 3>;

// Eigenvalues (diagonal of a) and eigenvectors (columns of v) of a symmetric
// 3 x 3 matrix by cyclic Jacobi rotations.
void jacobi(Mat& a, Mat& v) {
  v = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
  for (int sweep = 0; sweep < 50; ++sweep) {
    const double off = std::abs(a[0][1]) + std::abs(a[0][2]) + std::abs(a[1][2]);
    if (off < 1e-15 * (std::abs(a[0][0]) + std::abs(a[1][1]) + std::abs(a[2][2]) + 1e-300)) return;
    for (int p = 0; p < 2; ++p) {
      for (int q = p + 1; q < 3; ++q) {
        if (a[p][q] == 0.0) continue;
        const double theta = (a[q][q] - a[p][p]) / (2.0 * a[p][q]);
        const double t = (theta >= 0 ? 1.0 : -1.0) / (std::abs(theta) + std::sqrt(theta * theta + 1.0));
        const double c = 1.0 / std::sqrt(t * t + 1.0);
        const double s = t * c;
        for (int k = 0; k < 3; ++k) {  // a = a * R
          const double akp = a[k][p], akq = a[k][q];
          a[k][p] = c * akp - s * akq;
          a[k][q] = s * akp + c * akq;
        }
        for (int k = 0; k < 3; ++k) {  // a = R^T * a
          const double apk = a[p][k], aqk = a[q][k];
          a[p][k] = c * apk - s * aqk;
          a[q][k] = s * apk + c * aqk;
        }
        for (int k = 0; k < 3; ++k) {
          const double vkp = v[k][p], vkq = v[k][q];
          v[k][p] = c * vkp - s * vkq;
          v[k][q] = s * vkp + c * vkq;
        }
      }
    }
  }
}

double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Vec cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Vec position(const Atom& atom) { return {atom.x, atom.y, atom.z}; }

// Flips `axis` so that the atoms lean its way (see the header).
void orientSign(Vec& axis, const Molecule& molecule, double size) {
  double skew = 0;
  for (const Atom& atom : molecule.atoms) {
    const double d = dot(position(atom), axis);
    skew += d * d * d;
  }
  const double tiny = 1e-6 * size;
  double sign = 0;
  if (std::abs(skew) > tiny * size * size) {
    sign = skew > 0 ? 1 : -1;
  } else {
    for (const Atom& atom : molecule.atoms) {
      const double d = dot(position(atom), axis);
      if (std::abs(d) > tiny) {
        sign = d > 0 ? 1 : -1;
        break;
      }
    }
  }
  if (sign < 0)
    for (double& c : axis) c = -c;
}

}  // namespace

void turnOntoPrincipalAxes(Molecule& molecule) {
  const double n = static_cast<double>(molecule.atoms.size());
  if (n == 0) return;
  Vec centroid{0, 0, 0};
  for (const Atom& atom : molecule.atoms) {
    centroid[0] += atom.x / n;
    centroid[1] += atom.y / n;
    centroid[2] += atom.z / n;
  }
  Mat spread{};
  double size = 0;
  for (Atom& atom : molecule.atoms) {
    atom.x -= centroid[0];
    atom.y -= centroid[1];
    atom.z -= centroid[2];
    const Vec p = position(atom);
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) spread[r][c] += p[r] * p[c];
    size = std::max(size, std::sqrt(dot(p, p)));
  }
  Mat vectors;
  jacobi(spread, vectors);
  std::array<int, 3> order{0, 1, 2};
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return spread[a][a] > spread[b][b]; });
  Vec x{vectors[0][order[0]], vectors[1][order[0]], vectors[2][order[0]]};
  Vec y{vectors[0][order[1]], vectors[1][order[1]], vectors[2][order[1]]};
  orientSign(x, molecule, size);
  orientSign(y, molecule, size);
  const Vec z = cross(x, y);
  for (Atom& atom : molecule.atoms) {
    const Vec p = position(atom);
    atom.x = dot(p, x);
    atom.y = dot(p, y);
    atom.z = dot(p, z);
  }
}

}  // namespace packscan::listing
