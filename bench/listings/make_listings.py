#!/usr/bin/env python3
"""Writes the benchmark listings atoms30/atp.dat and atoms100/atp.dat.

Each molecule is a flat polycyclic aromatic sheet in the xy plane: a patch of
a hexagonal carbon lattice (C-C 1.40 A) with hydrogens on the rim (C-H 1.08 A),
some of which are replaced by OH, NH2 or SH groups until the molecule has the
wanted number of atoms. Charges come from bond increments, so they sum to 0.
Deterministic: running it again gives the same files.
"""
import math
import os

CC, CH = 1.40, 1.08
BOND = {("C", "O"): 1.36, ("C", "N"): 1.38, ("C", "S"): 1.77, ("O", "H"): 0.96, ("N", "H"): 1.01, ("S", "H"): 1.34}
# Charge moved from the first element to the second along a bond.
INCREMENT = {("H", "C"): 0.06, ("C", "O"): 0.25, ("H", "O"): 0.40, ("C", "N"): 0.20, ("H", "N"): 0.30,
             ("C", "S"): 0.05, ("H", "S"): 0.15}
TYPE = {"C": 1, "H": 2, "N": 3, "O": 4, "S": 5}


def carbon_patch(rx, ry):
    """Lattice points of a hexagonal sheet inside an ellipse with semi-axes rx, ry."""
    a1, a2 = (CC * math.sqrt(3), 0.0), (CC * math.sqrt(3) / 2, CC * 1.5)
    points = []
    for i in range(-12, 13):
        for j in range(-12, 13):
            for base in ((0.0, 0.0), (0.0, CC)):
                x = i * a1[0] + j * a2[0] + base[0]
                y = i * a1[1] + j * a2[1] + base[1] - CC / 2
                if (x / rx) ** 2 + (y / ry) ** 2 <= 1.0:
                    points.append((x, y))
    # Drop atoms with fewer than two neighbours until none is left dangling.
    while True:
        keep = [p for p in points if sum(1 for q in points if 0 < math.dist(p, q) < CC * 1.1) >= 2]
        if len(keep) == len(points):
            return keep
        points = keep


def neighbours(points, p):
    return [q for q in points if 0 < math.dist(p, q) < CC * 1.1]


def unit(vx, vy):
    n = math.hypot(vx, vy)
    return vx / n, vy / n


def substituent(group, carbon, direction, a, others):
    """Atoms of a group on carbon `a`, or None when every way of placing it clashes."""
    heavy = {"OH": "O", "SH": "S", "NH2": "N"}[group]
    ux, uy = direction
    d = BOND[("C", heavy)]
    hx, hy = carbon[0] + d * ux, carbon[1] + d * uy
    dh = BOND[(heavy, "H")]
    for turns in ([(60.0, -60.0)] if group == "NH2" else [(60.0,), (-60.0,)]):
        atoms = [(heavy, hx, hy, a)]
        for t in turns:
            c, s = math.cos(math.radians(t)), math.sin(math.radians(t))
            atoms.append(("H", hx + dh * (ux * c - uy * s), hy + dh * (ux * s + uy * c), -1))
        clear = all(math.dist((x, y), o) >= 1.9 for _, x, y, _ in atoms for o in others
                    if math.dist(o, carbon) > 0.01)
        if clear:
            return atoms
    return None


def build(rx, ry, natom, groups):
    carbons = carbon_patch(rx, ry)
    atoms = [["C", x, y] for x, y in carbons]
    bonds = []
    for a in range(len(carbons)):
        for b in range(a + 1, len(carbons)):
            if math.dist(carbons[a], carbons[b]) < CC * 1.1:
                bonds.append((a, b))
    rim = []  # (carbon index, outward direction) of every rim position
    for a, p in enumerate(carbons):
        nb = neighbours(carbons, p)
        if len(nb) == 2:
            rim.append((a, unit(2 * p[0] - nb[0][0] - nb[1][0], 2 * p[1] - nb[0][1] - nb[1][1])))
    rim.sort(key=lambda r: math.atan2(r[1][1], r[1][0]))
    # A hydrogen on every rim carbon, then groups in place of some of them,
    # spread round the rim and only where they keep clear of their neighbours.
    hydrogens = {}
    for a, (ux, uy) in rim:
        cx, cy = carbons[a]
        hydrogens[a] = [("H", cx + CH * ux, cy + CH * uy, a)]
    extra = natom - len(carbons) - len(rim)
    order = [rim[(k * 7) % len(rim)] for k in range(len(rim))] if len(rim) % 7 else rim
    for g in groups:
        size = {"OH": 1, "SH": 1, "NH2": 2}[g]
        if size > extra:
            continue
        for a, (ux, uy) in order:
            if len(hydrogens[a]) > 1 or hydrogens[a][0][0] != "H":
                continue
            placed = [p for key, group in hydrogens.items() if key != a for p in group]
            others = [(x, y) for x, y in carbons] + [(p[1], p[2]) for p in placed]
            option = substituent(g, carbons[a], (ux, uy), a, others)
            if option:
                hydrogens[a] = option
                extra -= size
                break
    assert extra == 0, f"{extra} atoms left over"
    for a, (ux, uy) in rim:
        first = len(atoms)
        for k, (element, x, y, parent) in enumerate(hydrogens[a]):
            atoms.append([element, x, y])
            bonds.append((a if parent == a else first, len(atoms) - 1))
    assert len(atoms) == natom
    charges = [0.0] * natom
    for a, b in bonds:
        ea, eb = atoms[a][0], atoms[b][0]
        if (ea, eb) in INCREMENT:
            charges[a] += INCREMENT[(ea, eb)]
            charges[b] -= INCREMENT[(ea, eb)]
        elif (eb, ea) in INCREMENT:
            charges[b] += INCREMENT[(eb, ea)]
            charges[a] -= INCREMENT[(eb, ea)]
    bonded = set(bonds) | {(b, a) for a, b in bonds}
    closest = min(math.dist(atoms[a][1:], atoms[b][1:])
                  for a in range(natom) for b in range(a + 1, natom) if (a, b) not in bonded)
    assert closest > 1.6, f"non-bonded atoms {closest:.2f} A apart"
    return atoms, charges


def listing(atoms, charges, cell, unit_record):
    lines = ["".join(f"{v:10.4f}" for v in cell)]
    counts = {}
    names = []
    for element, x, y in atoms:
        counts[element] = counts.get(element, 0) + 1
        names.append(f"{element}{counts[element]}")
    for (element, x, y), name in zip(atoms, names):
        lines.append(f"{TYPE[element]:4d} {x:10.5f}{y:10.5f}{0.0:10.5f}    {name:<4s} {element:<4s}")
    if len(atoms) < 100:
        lines.append("   0")  # a table of 100 atom lines ends without one
    lines.append(" Molecular orientation")
    lines.append(" (three lines that the reader passes over)")
    lines.append("")
    lines.append("")
    lines.append(f"{'':15s}{0.0:10.5f}{15.0:10.5f}{90.0:10.5f}")
    lines.append(" Molecular Coordinates and charges")
    lines.append("  No      X         Y         Z         Q")
    for (element, x, y), q in zip(atoms, charges):
        lines.append(f"{TYPE[element]:4d} {x:10.5f}{y:10.5f}{0.0:10.5f}{q:10.5f}")
    lines.append("")
    rx, ry, rz, theta, sgn = unit_record
    lines.append(f"      UNIT p  {'':24s}{rx:10.5f}{ry:10.5f}{rz:10.5f}  {theta:10.5f}{sgn:10.5f}")
    return "\n".join(lines) + "\n"


def write(folder, text):
    here = os.path.dirname(os.path.abspath(__file__))
    os.makedirs(os.path.join(here, folder), exist_ok=True)
    with open(os.path.join(here, folder, "atp.dat"), "w") as f:
        f.write(text)


def main():
    atoms, charges = build(4.4, 3.6, 30, ["OH", "NH2", "SH"])
    write("atoms30", listing(atoms, charges, (7.512, 9.834, 14.441, 90.0, 101.23, 90.0, 0.0),
                             (3.756, -2.1, 4.2, 180.0, 0.0)))
    atoms, charges = build(8.0, 7.8, 100, ["OH", "NH2", "SH", "NH2"])
    write("atoms100", listing(atoms, charges, (3.912, 19.834, 24.441, 90.0, 96.12, 90.0, 0.0),
                              (1.956, -2.6, 3.4, 180.0, 0.0)))


if __name__ == "__main__":
    main()
