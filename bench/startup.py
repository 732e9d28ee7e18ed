#!/usr/bin/env python3
"""Start-up time to the first presented frame and peak memory at that moment: the conversion
window with the shipped Base.dat and with a full-capacity one, against a bare Qt window and the
same window with one label, each start a fresh process, interleaved so that drift of the machine
hits all four alike. With --callgrind, also the instructions to the first frame of each case
(callgrind, the whole process: the probe exits at its first frame).

Run under an X server that does not reset when its last client leaves; a reset makes every start
wait for it and pulls every ratio towards 1:
    xvfb-run -a -s "-noreset -screen 0 1024x768x24" \\
        startup.py PROBE SHIPPED_BASE FULL_BASE [--runs N] [--callgrind]
Prints one row per case: median and min-max of the time in ms, median peak RSS in MiB, and the
ratios to the bare window and to the one-label window.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import tempfile
import time

BARE = "bare QWidget"
LABEL = "QWidget + QLabel"


def one_run(probe: str, mode: str, folder: str, env: dict) -> tuple[float, list[float]]:
    start = time.monotonic_ns()
    out = subprocess.run([probe, mode], cwd=folder, env=env, check=True,
                         stdout=subprocess.PIPE, text=True).stdout.split()
    # Both clocks are CLOCK_MONOTONIC, so the probe's stamp is comparable with ours.
    return (int(out[0]) - start) / 1e6, [int(kib) / 1024 for kib in out[1:4]]


def instructions(probe: str, mode: str, folder: str, env: dict) -> int:
    with tempfile.TemporaryDirectory() as tmp:
        run = subprocess.run(["valgrind", "--tool=callgrind",
                              f"--callgrind-out-file={os.path.join(tmp, 'out')}", probe, mode],
                             cwd=folder, env=env, check=True, stdout=subprocess.DEVNULL,
                             stderr=subprocess.PIPE, text=True)
        # A child forked on the way reports what it inherited; the probe itself counts most.
        return max(int(n) for n in re.findall(r"Collected : (\d+)", run.stderr))


def main() -> None:
    parser = argparse.ArgumentParser()
    parser.add_argument("probe")
    parser.add_argument("shipped")
    parser.add_argument("full")
    parser.add_argument("--runs", type=int, default=30)
    parser.add_argument("--callgrind", action="store_true")
    args = parser.parse_args()
    args.probe = os.path.abspath(args.probe)

    with tempfile.TemporaryDirectory() as tmp:
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(tmp, "config"),
                   XDG_RUNTIME_DIR=tmp)
        cases = {BARE: ("bare", tmp), LABEL: ("label", tmp)}
        for name, base in (("shipped Base.dat", args.shipped), ("full Base.dat", args.full)):
            folder = os.path.join(tmp, name.split()[0])
            os.makedirs(folder)
            shutil.copy(base, os.path.join(folder, "Base.dat"))
            cases[name] = ("window", folder)

        # The first start writes the settings file with its defaults; later starts only read it.
        for mode, folder in cases.values():
            one_run(args.probe, mode, folder, env)
        times = {name: [] for name in cases}
        rss = {name: [] for name in cases}
        for _ in range(args.runs):
            for name, (mode, folder) in cases.items():
                t, m = one_run(args.probe, mode, folder, env)
                times[name].append(t)
                rss[name].append(m)
        counted = {name: instructions(args.probe, mode, folder, env)
                   for name, (mode, folder) in cases.items()} if args.callgrind else {}

    def mib(name: str, column: int) -> float:
        return statistics.median(r[column] for r in rss[name])

    med = {name: statistics.median(times[name]) for name in cases}
    print(f"{args.runs} runs each, interleaved")
    print(f"{'case':<18} {'median ms':>9} {'min-max ms':>13} {'x bare':>6} {'x label':>7} "
          f"{'RSS MiB':>8} {'x bare':>6} {'x label':>7} {'anon':>5} {'file':>5}"
          + (f" {'instr M':>8} {'x bare':>6} {'x label':>7}" if counted else ""))
    for name in cases:
        t, m = med[name], mib(name, 0)
        row = (f"{name:<18} {t:9.1f} {min(times[name]):6.1f}-{max(times[name]):<6.1f} "
               f"{t / med[BARE]:6.2f} {t / med[LABEL]:7.2f} {m:8.1f} {m / mib(BARE, 0):6.2f} "
               f"{m / mib(LABEL, 0):7.2f} {mib(name, 1):5.1f} {mib(name, 2):5.1f}")
        if counted:
            i = counted[name]
            row += f" {i / 1e6:8.1f} {i / counted[BARE]:6.2f} {i / counted[LABEL]:7.2f}"
        print(row)


if __name__ == "__main__":
    main()
