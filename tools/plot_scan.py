#!/usr/bin/python3
"""Draws a finished packscan report (rb872.dat) as a PNG.

The top panel shows the total packing energy and the two pair energies of each
orientation step against the orientation angle (the summary rows), the second
panel the placement parameters a, b and Rx. With --trace a third panel shows
the search path of every step: the energy of each trial against its number,
trial 0 being the start placement.

    tools/plot_scan.py rb872.dat -o scan.png [--trace]

Values that the report prints as asterisks (too wide for their field) are left
out of the plot. Needs Python 3 with matplotlib (Debian: python3-matplotlib).
"""
import argparse
import math
import sys
from dataclasses import dataclass, field

STEPS = 12
ROW_FIELDS = 12
FIELD = 10
HEADER = "  Theta      a         b         Rx"
# Columns of a step row and of a summary row, in report order.
COLUMNS = ("theta", "a", "b", "rx", "ry", "rz", "e_ab", "fx", "fy", "fz", "e_ac", "total")


class ReportError(Exception):
    """The text is not a finished packscan report."""


@dataclass
class Trial:
    a: float
    b: float
    rx: float
    energy: float
    flags: tuple


@dataclass
class Step:
    fai: float
    start: dict
    trials: list = field(default_factory=list)
    end: dict = None


@dataclass
class Report:
    steps: list
    summary: list  # twelve rows, one per step, first column the orientation angle
    closing: dict  # step 1 again under the angle 180


def number(text):
    """A fixed-column field: asterisks (no room for the value) give NaN."""
    text = text.strip()
    if text and set(text) == {"*"}:
        return math.nan
    return float(text)  # also reads Infinity, -Infinity, Inf, -Inf and NaN


def row(line):
    values = [number(line[k * FIELD:(k + 1) * FIELD]) for k in range(ROW_FIELDS)]
    return dict(zip(COLUMNS, values))


def is_row(line):
    return len(line) == ROW_FIELDS * FIELD and not line.startswith(" " * 11)


def is_trial(line):
    return len(line) == 66 and line.startswith(" " * 11)


def trial(line):
    flags = tuple(int(line[51 + 5 * k:56 + 5 * k]) for k in range(3))
    return Trial(number(line[11:21]), number(line[21:31]), number(line[31:41]), number(line[41:51]), flags)


def parse_report(text):
    lines = text.splitlines()
    try:
        start = next(i for i, line in enumerate(lines) if line.startswith(HEADER))
    except StopIteration:
        raise ReportError("no table header: the run ended before the orientation scan") from None
    steps, rows = [], []
    for line in lines[start + 1:]:
        if line.startswith(" FAI = "):
            if len(steps) == STEPS:
                raise ReportError("more than twelve orientation steps")
            steps.append(Step(fai=number(line[7:17]), start=None))
        elif is_trial(line):
            if not steps or steps[-1].start is None or steps[-1].end is not None:
                raise ReportError("a search trial outside an orientation step")
            steps[-1].trials.append(trial(line))
        elif is_row(line):
            if steps and steps[-1].start is None:
                steps[-1].start = row(line)
            elif steps and steps[-1].end is None:
                steps[-1].end = row(line)
            else:
                rows.append(row(line))
        elif line.strip():
            raise ReportError("unexpected line in the scan: " + line.strip()[:40])
    if len(steps) < STEPS or steps[-1].end is None or len(rows) < STEPS + 1:
        raise ReportError("the report ends before the summary rows: the run did not finish")
    return Report(steps=steps, summary=rows[:STEPS], closing=rows[STEPS])


def plot(report, output, title, trace=False):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    panels = 3 if trace else 2
    fig, axes = plt.subplots(panels, 1, figsize=(8, 3.2 * panels), constrained_layout=True)
    angle = [r["theta"] for r in report.summary]
    energy, placement = axes[0], axes[1]
    energy.plot(angle, [r["total"] for r in report.summary], "o-", color="black", label="Total (best found)")
    energy.plot(angle, [r["e_ab"] for r in report.summary], "s--", label="A with B (last trial)")
    energy.plot(angle, [r["e_ac"] for r in report.summary], "^--", label="A with C (last trial)")
    energy.set_ylabel("energy")
    energy.set_title(title)
    energy.legend(fontsize="small")
    for name, label in (("a", "a"), ("b", "b"), ("rx", "Rx")):
        placement.plot(angle, [r[name] for r in report.summary], "o-", label=label)
    placement.set_ylabel("length")
    placement.legend(fontsize="small")
    for axis in (energy, placement):
        axis.set_xlabel("orientation angle FAI (degrees)")
        axis.grid(alpha=0.3)
    if trace:
        path = axes[2]
        colours = plt.get_cmap("viridis")
        for k, step in enumerate(report.steps):
            energies = [step.start["total"]] + [t.energy for t in step.trials]
            path.plot(range(len(energies)), energies, "-", color=colours(k / (STEPS - 1)),
                      label="FAI %g" % step.fai)
        path.set_xlabel("trial number (0: start placement)")
        path.set_ylabel("total energy of the trial")
        path.grid(alpha=0.3)
        path.legend(fontsize="x-small", ncol=4)
    fig.savefig(output, dpi=100)
    plt.close(fig)


def main(argv=None):
    parser = argparse.ArgumentParser(description="Plot a finished packscan report (rb872.dat) as a PNG.")
    parser.add_argument("report", nargs="?", default="rb872.dat", help="the report (default: rb872.dat)")
    parser.add_argument("-o", "--output", default="scan.png", help="the PNG to write (default: scan.png)")
    parser.add_argument("--trace", action="store_true", help="add the search path of every orientation step")
    args = parser.parse_args(argv)
    try:
        with open(args.report, encoding="ascii", errors="replace") as handle:
            report = parse_report(handle.read())
    except OSError as error:
        print("plot_scan: cannot read %s: %s" % (args.report, error.strerror), file=sys.stderr)
        return 2
    except (ReportError, ValueError) as error:
        print("plot_scan: %s: %s" % (args.report, error), file=sys.stderr)
        return 2
    plot(report, args.output, "packscan: " + args.report, args.trace)
    return 0


if __name__ == "__main__":
    sys.exit(main())
