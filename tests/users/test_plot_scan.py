#!/usr/bin/python3
"""tools/plot_scan.py: the values it reads from a report, and the PNG it draws."""
import math
import os
import struct
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # keep the source tree clean
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(SOURCE, "tools"))
import plot_scan  # noqa: E402

EXAMPLES = ["starter", "water", "caffeine", "sexithiophene", "dodecithiophene"]


def report_text(example):
    with open(os.path.join(SOURCE, "examples", example, "expected", "rb872.dat")) as handle:
        return handle.read()


def png_size(path):
    with open(path, "rb") as handle:
        head = handle.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def same(a, b):
    return a == b or (math.isnan(a) and math.isnan(b))


class ParseReport(unittest.TestCase):
    def test_summary_rows_match_the_report_lines(self):
        for example in EXAMPLES:
            with self.subTest(example=example):
                lines = report_text(example).splitlines()
                report = plot_scan.parse_report("\n".join(lines))
                # The summary is the last thirteen lines; read them here by splitting on blanks.
                for parsed, line in zip(report.summary + [report.closing], lines[-13:]):
                    if "*" in line:
                        continue
                    self.assertEqual([parsed[c] for c in plot_scan.COLUMNS], [float(v) for v in line.split()])
                self.assertEqual(report.closing["theta"], 180.0)

    def test_steps_hold_every_trial_and_agree_with_the_summary(self):
        for example in EXAMPLES:
            with self.subTest(example=example):
                text = report_text(example)
                report = plot_scan.parse_report(text)
                trial_lines = [l for l in text.splitlines() if l.startswith(" " * 11) and len(l) == 66]
                self.assertEqual(len(report.steps), 12)
                self.assertEqual(sum(len(s.trials) for s in report.steps), len(trial_lines))
                for step, row in zip(report.steps, report.summary):
                    self.assertTrue(same(step.fai, row["theta"]))
                    for column in plot_scan.COLUMNS[1:]:
                        self.assertTrue(same(step.end[column], row[column]), column)
                    self.assertGreaterEqual(len(step.trials), 6)  # a search makes at least six trials
                last = trial_lines[-1]
                self.assertEqual(report.steps[-1].trials[-1].energy, plot_scan.number(last[41:51]))
                self.assertEqual(report.steps[-1].trials[-1].flags, tuple(int(f) for f in last[51:].split()))

    def test_fixed_columns_read_touching_fields_asterisks_and_infinities(self):
        fields = ["-1234.5678", "*" * 10, "  Infinity", "      -Inf", "       NaN", "    0.0000",
                  "-9999.9999", "   -0.0000", "   12.5000", "    1.0000", "    2.0000", "    3.0000"]
        parsed = plot_scan.row("".join(fields))
        expected = [-1234.5678, math.nan, math.inf, -math.inf, math.nan, 0.0, -9999.9999, -0.0, 12.5, 1.0, 2.0, 3.0]
        for column, value in zip(plot_scan.COLUMNS, expected):
            self.assertTrue(same(parsed[column], value), column)
        t = plot_scan.trial(" " * 11 + "   3.75716   5.04975" + "*" * 10 + "-999.56789   -1    2    0")
        self.assertEqual((t.a, t.b, t.energy, t.flags), (3.75716, 5.04975, -999.56789, (-1, 2, 0)))
        self.assertTrue(math.isnan(t.rx))

    def test_unfinished_reports_are_refused(self):
        lines = report_text("water").splitlines()
        header = next(i for i, l in enumerate(lines) if l.startswith(plot_scan.HEADER))
        cases = [
            ("ends after the type table (a bad unit record)", lines[:header - 14]),
            ("ends in the middle of the scan", lines[:header + 40]),
            ("ends before the closing row", lines[:-1]),
        ]
        for what, cut in cases:
            with self.subTest(what):
                with self.assertRaises(plot_scan.ReportError):
                    plot_scan.parse_report("\n".join(cut))


class DrawPng(unittest.TestCase):
    def test_png_is_written_with_and_without_trace(self):
        report = os.path.join(SOURCE, "examples", "caffeine", "expected", "rb872.dat")
        with tempfile.TemporaryDirectory() as work:
            for args, height in (([], 640), (["--trace"], 960)):
                with self.subTest(args=args):
                    output = os.path.join(work, "scan%d.png" % len(args))
                    done = subprocess.run(["/usr/bin/python3", os.path.join(SOURCE, "tools", "plot_scan.py"),
                                           report, "-o", output] + args, capture_output=True, text=True)
                    self.assertEqual(done.returncode, 0, done.stderr)
                    self.assertEqual(done.stderr, "")
                    self.assertEqual(png_size(output), (800, height))
                    import matplotlib.image
                    self.assertEqual(matplotlib.image.imread(output).shape[:2], (height, 800))


if __name__ == "__main__":
    unittest.main()
