#!/usr/bin/env python3
"""Checks every coefficient in data/src against GNU units.

For each unit, `units -t EXPRESSION REFERENCE` must give the coefficient to a
relative 1e-9; every mismatch is listed and the exit code is 1 when any is
found. GNU units is an independent reference: the coefficients are never
compared with a copy of our own numbers.
"""

import argparse
import concurrent.futures
import os
import pathlib
import shutil
import subprocess
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import make_base  # noqa: E402

TOLERANCE = 1e-9


def gnu_units(units_exe, expression, reference):
    """Value of expression in reference units, or an error text."""
    # -f '' loads only the system definitions, never a personal ~/.units.
    cmd = [units_exe, "-f", "", "-t", "-s", "-d", "max", "--", expression, reference]
    try:
        run = subprocess.run(cmd, capture_output=True, text=True, timeout=30)
    except (OSError, subprocess.TimeoutExpired) as e:
        return None, str(e)
    out = run.stdout.strip()
    if run.returncode != 0:
        return None, " ".join((out + " " + run.stderr.strip()).split())
    try:
        return float(out), None
    except ValueError:
        return None, "unexpected output %r" % out


def check_unit(units_exe, category, unit):
    got, error = gnu_units(units_exe, unit.expression, category.reference)
    if error is not None:
        return "%s: %s: units failed on %r -> %r: %s" % (
            unit.where, unit.name, unit.expression, category.reference, error)
    if abs(got - unit.coefficient) > TOLERANCE * abs(got):
        return "%s: %s: coefficient %s, GNU units gives %s for %r (relative difference %.2e)" % (
            unit.where, unit.name, make_base.number_text(unit.coefficient), repr(got),
            unit.expression, abs(got - unit.coefficient) / abs(got))
    return None


def main(argv):
    parser = argparse.ArgumentParser(description="Check coefficients against GNU units.")
    parser.add_argument("--src", type=pathlib.Path, default=make_base.SRC_DIR)
    parser.add_argument("--units", default=shutil.which("units") or "units")
    args = parser.parse_args(argv)
    try:
        categories = make_base.load_sources(args.src)
    except make_base.SourceError as e:
        print("check_units: %s" % e, file=sys.stderr)
        return 1
    jobs = [(c, u) for c in categories for u in c.units]
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        results = list(pool.map(lambda job: check_unit(args.units, *job), jobs))
    problems = [r for r in results if r]
    for problem in problems:
        print(problem)
    print("%d units checked, %d mismatches" % (len(jobs), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
