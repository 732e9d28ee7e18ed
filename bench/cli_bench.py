#!/usr/bin/env python3
"""Whole-process timings of metrovanta-cli beside GNU units: one conversion each, and 1 000
conversions read from standard input. Runs interleave, so that the machine's load falls on
both alike; medians and min-max are printed in milliseconds.
   bench/cli_bench.py build/cli/metrovanta-cli [--base data/Base.dat] [--runs 40]"""
import argparse
import os
import random
import resource
import shutil
import statistics
import subprocess
import tempfile
import time


def cpu():
    used = resource.getrusage(resource.RUSAGE_CHILDREN)
    return used.ru_utime + used.ru_stime


def timed(command, stdin=None):
    """Wall and CPU (user + system) milliseconds of one whole process, and its output."""
    cpu_before, start = cpu(), time.perf_counter()
    done = subprocess.run(command, input=stdin, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          check=True)
    wall = (time.perf_counter() - start) * 1000
    return wall, (cpu() - cpu_before) * 1000, done.stdout


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cli")
    parser.add_argument("--base", default="data/Base.dat")
    parser.add_argument("--runs", type=int, default=40)
    args = parser.parse_args()

    rng = random.Random(24)
    lines = "".join(f"{rng.randint(1, 999)} фут {rng.randint(0, 11)} дюйм -> см\n"
                    for _ in range(1000)).encode()
    cases = {
        "metrovanta-cli, one conversion": [args.cli, "--base", args.base, "5 фут 11 дюйм", "см"],
        "GNU units, one conversion": ["units", "-t", "5 ft + 11 in", "cm"],
        "metrovanta-cli, 1 000 lines from stdin": [args.cli, "--base", args.base],
    }
    if shutil.which("units") is None:
        del cases["GNU units, one conversion"]
    # No settings file: the first run's rounding, and nothing of the user's read.
    with tempfile.TemporaryDirectory() as home:
        os.environ.update(HOME=home, XDG_CONFIG_HOME=home, XDG_DATA_HOME=home)
        walls = {name: [] for name in cases}
        cpus = {name: [] for name in cases}
        for _ in range(args.runs):
            for name, command in cases.items():
                wall, used, out = timed(command, lines if "stdin" in name else None)
                walls[name].append(wall)
                cpus[name].append(used)
        assert out.count(b"\n") == 1000, "every line gives a line"
    print(f"{'case':40} {'wall median':>11} {'min-max':>13} {'CPU median':>11}  ({args.runs} runs)")
    for name, ms in walls.items():
        spread = f"{min(ms):.1f}-{max(ms):.1f}"
        print(f"{name:40} {statistics.median(ms):11.1f} {spread:>13} "
              f"{statistics.median(cpus[name]):11.1f}")


if __name__ == "__main__":
    main()
