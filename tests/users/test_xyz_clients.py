#!/usr/bin/python3
"""The coordinate files as real XYZ clients read them: ASE and Open Babel must
see the atom count, the elements and the coordinates of the report's molecule."""
import math
import os
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # keep the source tree clean
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(SOURCE, "tools"))
import plot_scan  # noqa: E402

import ase.io  # noqa: E402

EXAMPLES = ["water", "caffeine", "sexithiophene", "hexamethoxytriphenylene"]
DEG2RAD = math.pi / 180
# The README's recipes for coord1.xyz, run in the folder of a run; $0 is where they write.
RECIPES = """
n=$(head -1 coord1.xyz)
{ head -2 coord1.xyz; tail -n "$n" coord1.xyz; } > "$0/step1.xyz"
{ echo $((2 * n / 3)); echo; sed -n "3,$((2 + 2 * n / 3))p" coord1.xyz; } > "$0/initial.xyz"
"""


class Molecule:
    """What the report says about a run: molecule A as read and the scan."""

    def __init__(self, folder):
        self.folder = folder
        with open(os.path.join(folder, "rb872.dat")) as handle:
            text = handle.read()
        lines = text.splitlines()
        end = next(i for i, line in enumerate(lines) if line.startswith(" VV = "))
        atoms = lines[1:end]  # the echo of the coordinate block, one line per atom
        self.elements = [line[54:58].strip() for line in atoms]
        self.xyz = [tuple(float(line[c:c + 10]) for c in (5, 15, 25)) for line in atoms]
        self.ntype = int(lines[end + 1])
        translation = next(line for line in lines if line.startswith(" RX =") and " Theta" not in line)
        self.initial_shift = (float(translation[6:16]), float(translation[22:32]), float(translation[38:48]))
        self.scan = plot_scan.parse_report(text)

    def turned(self, fai):
        """A as the scan holds it at orientation FAI: turned through -FAI about z."""
        c, s = math.cos(fai * DEG2RAD), math.sin(fai * DEG2RAD)
        return [(y * s + x * c, y * c - x * s, z) for x, y, z in self.xyz]


def header(path):
    with open(path) as handle:
        return int(handle.readline()), int(handle.readline())


def openbabel_read(path):
    done = subprocess.run(["obabel", "-ixyz", path, "-oxyz"], capture_output=True, text=True, check=True)
    lines = done.stdout.splitlines()
    atoms = [line.split() for line in lines[2:2 + int(lines[0])]]
    return [a[0] for a in atoms], [tuple(float(v) for v in a[1:4]) for a in atoms]


def distances(block):
    return [math.dist(p, q) for k, p in enumerate(block) for q in block[k + 1:]]


class CoordinateFiles(unittest.TestCase):
    def assertClose(self, got, expected, tolerance, what):
        for k, (g, e) in enumerate(zip(got, expected)):
            for axis in range(3):
                self.assertLess(abs(g[axis] - e[axis]), tolerance, "%s, atom %d, axis %d: %r vs %r" %
                                (what, k + 1, axis, g, e))

    def test_steps_two_to_twelve(self):
        for example in EXAMPLES:
            molecule = Molecule(os.path.join(SOURCE, "examples", example, "expected"))
            n = len(molecule.elements)
            for k in range(2, 13):
                with self.subTest(example=example, file=k):
                    path = os.path.join(molecule.folder, "coord%d.xyz" % k)
                    self.assertEqual(header(path), (3 * n, molecule.ntype))
                    step = molecule.scan.steps[k - 1]
                    readers = {"ase extxyz": ase.io.read(path), "ase xyz": ase.io.read(path, format="xyz")}
                    for name, atoms in readers.items():
                        self.assertEqual(atoms.get_chemical_symbols(), molecule.elements * 3, name)
                    positions = [tuple(p) for p in readers["ase xyz"].positions]
                    symbols, babel = openbabel_read(path)
                    self.assertEqual(symbols, molecule.elements * 3)
                    self.assertClose(babel, positions, 1.1e-5, "Open Babel against ASE")

                    a, b, c = positions[:n], positions[n:2 * n], positions[2 * n:]
                    self.assertClose(a, molecule.turned(step.fai), 5e-5, "A against the report's molecule")
                    # B and C are the copies of the search's last trial (see the README).
                    last = step.trials[-1]
                    self.assertClose([(xb + xa, 0, 0) for (xb, _, _), (xa, _, _) in zip(b, a)],
                                     [(last.rx, 0, 0)] * n, 5e-5, "B mirrored about x = Rx/2")
                    for got, expected in zip(distances(b), distances(a)):
                        self.assertAlmostEqual(got, expected, delta=1e-4, msg="B is a rigid copy of A")
                    s, co = math.sin(step.fai * DEG2RAD), math.cos(step.fai * DEG2RAD)
                    ty = step.end["fy"] * co - step.end["fx"] * s  # (Fx, Fy) turned back into the step's frame
                    shift = [(xc - xa, yc - ya, zc - za) for (xc, yc, zc), (xa, ya, za) in zip(c, a)]
                    self.assertClose(shift, [(0.0, ty, step.end["fz"])] * n, 3e-4, "C = A + (0, TY, TZ)")

    def test_coord1_holds_five_blocks_under_a_count_of_three(self):
        for example in EXAMPLES:
            with self.subTest(example=example):
                molecule = Molecule(os.path.join(SOURCE, "examples", example, "expected"))
                n = len(molecule.elements)
                path = os.path.join(molecule.folder, "coord1.xyz")
                with open(path) as handle:
                    lines = handle.read().splitlines()
                self.assertEqual((int(lines[0]), int(lines[1])), (3 * n, 1))
                self.assertEqual(len(lines), 2 + 5 * n)
                # Open Babel takes the first three blocks as the molecule (and warns):
                # A as read, the translated copy of the initial placement, step 1's A.
                first = openbabel_read(path)[1]
                self.assertEqual(len(first), 3 * n)
                self.assertClose(first[:n], molecule.xyz, 1.1e-5, "A as read")
                shifted = [tuple(p + d for p, d in zip(atom, molecule.initial_shift)) for atom in molecule.xyz]
                self.assertClose(first[n:2 * n], shifted, 5e-5, "the initial translated copy")
                # The README's recipes split the file into two files that every reader takes.
                with tempfile.TemporaryDirectory() as work:
                    subprocess.run(["bash", "-c", RECIPES, work], cwd=molecule.folder, check=True)
                    step1 = [tuple(p) for p in ase.io.read(os.path.join(work, "step1.xyz")).positions]
                    initial = [tuple(p) for p in ase.io.read(os.path.join(work, "initial.xyz")).positions]
                self.assertEqual(len(step1), 3 * n)
                self.assertClose(step1[:n], molecule.turned(molecule.scan.steps[0].fai), 5e-5, "step 1's A")
                self.assertEqual(len(initial), 2 * n)
                self.assertClose(initial, first[:2 * n], 1.1e-5, "A as read and its translated copy")

if __name__ == "__main__":
    unittest.main()
