#!/usr/bin/env python3
"""Writes the benchmark listings: planar polycyclic flakes of about 30 and 100
atoms (carbon lattice at 1.40 A, edge hydrogens at 1.08 A, a few edge atoms
replaced by N, O and S) with small partial charges that sum to zero."""
import math, os

def flake(radius):
    a = 1.40
    pts = []
    for i in range(-12, 13):
        for j in range(-12, 13):
            for s in (0, 1):
                x = a * math.sqrt(3) * (i + j / 2) + (0 if s == 0 else a * math.sqrt(3) / 2)
                y = a * 1.5 * j + (0 if s == 0 else a / 2)
                if math.hypot(x, y) <= radius:
                    pts.append((x, y))
    def neighbours(p):
        return [q for q in pts if q != p and abs(math.hypot(p[0] - q[0], p[1] - q[1]) - a) < 0.01]
    carbons = [p for p in pts if len(neighbours(p)) >= 2]
    pts = carbons
    atoms = [("C", x, y) for x, y in carbons]
    for p in carbons:
        n = neighbours(p)
        if len(n) == 2:
            ox = 2 * p[0] - n[0][0] - n[1][0]
            oy = 2 * p[1] - n[0][1] - n[1][1]
            d = math.hypot(ox, oy)
            atoms.append(("H", p[0] + 1.08 * ox / d, p[1] + 1.08 * oy / d))
    return atoms

def write(path, atoms, unit):
    types = {"S": 1, "C": 2, "H": 3, "N": 4, "O": 5}
    cx = sum(x for _, x, _ in atoms) / len(atoms)
    cy = sum(y for _, _, y in atoms) / len(atoms)
    lines = ["   12.0000   15.0000   18.0000   90.0000   95.0000   90.0000    0.0000"]
    block = []
    charges = [{"C": -0.06, "H": 0.10, "N": -0.30, "O": -0.35, "S": -0.15}[el] for el, _, _ in atoms]
    mean = sum(charges) / len(charges)
    for k, (el, x, y) in enumerate(atoms, 1):
        q = charges[k - 1] - mean  # a neutral molecule
        label = (el + str(k))[:4]
        lines.append("%4d %10.5f%10.5f%10.5f    %-4s %-4s" % (types[el], x - cx, y - cy, 0.0, label, el))
        block.append("%4d %10.5f%10.5f%10.5f%10.5f" % (types[el], x - cx, y - cy, 0.0, q))
    lines += ["   0", " Molecular orientation", "", "", "",
              "                  0.00000  15.00000  90.00000",
              " Molecular Coordinates and charges", "  No      X         Y         Z         Q"]
    lines += block
    lines += ["", "      UNIT p  " + " " * 24 + "%10.5f%10.5f%10.5f  %10.5f%10.5f" % unit]
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")

def substitute(atoms, every, element):
    out = list(atoms)
    hydrogens = [k for k, a in enumerate(out) if a[0] == "H"]
    for n, k in enumerate(hydrogens):
        if n % every == 0:
            out[k] = (element,) + out[k][1:]
    return out

here = os.path.dirname(os.path.abspath(__file__))
small = substitute(flake(4.3), 4, "O")
large = substitute(substitute(flake(8.5), 5, "N"), 7, "S")  # 106 atoms, cut to 100
write(os.path.join(here, "atoms30", "atp.dat"), small[:30], (4.5, -2.5, 4.0, 180.0, 0.0))
write(os.path.join(here, "atoms100", "atp.dat"), large[:100], (7.0, -3.5, 4.5, 180.0, 0.0))
print(len(small), len(large))
