#!/usr/bin/env python3
"""Start-up time to the first presented frame and peak memory at that moment: the conversion
window with the shipped Base.dat, with a full-capacity one, and a bare Qt window, each in a
fresh process, interleaved so that drift of the machine hits all three alike.

Run under an X server (xvfb-run -a). Usage:
    startup.py PROBE SHIPPED_BASE FULL_BASE [--runs N]
Prints one row per case: median and min-max of the time in ms, median peak RSS in MiB, and the
ratios to the bare window. A bare window with one label shows what drawing any text costs.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import tempfile
import time


def one_run(probe: str, mode: str, folder: str, env: dict) -> tuple[float, list[float]]:
    start = time.monotonic_ns()
    out = subprocess.run([probe, mode], cwd=folder, env=env, check=True,
                         stdout=subprocess.PIPE, text=True).stdout.split()
    # Both clocks are CLOCK_MONOTONIC, so the probe's stamp is comparable with ours.
    return (int(out[0]) - start) / 1e6, [int(kib) / 1024 for kib in out[1:4]]


def main() -> None:
    parser = argparse.ArgumentParser()
    parser.add_argument("probe")
    parser.add_argument("shipped")
    parser.add_argument("full")
    parser.add_argument("--runs", type=int, default=40)
    args = parser.parse_args()
    args.probe = os.path.abspath(args.probe)

    with tempfile.TemporaryDirectory() as tmp:
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(tmp, "config"),
                   XDG_RUNTIME_DIR=tmp)
        cases = {}
        for name, base in (("shipped Base.dat", args.shipped), ("full Base.dat", args.full)):
            folder = os.path.join(tmp, name.split()[0])
            os.makedirs(folder)
            shutil.copy(base, os.path.join(folder, "Base.dat"))
            cases[name] = ("window", folder)
        cases["bare QWidget"] = ("bare", tmp)
        cases["QWidget + QLabel"] = ("label", tmp)

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

    bare_t = statistics.median(times["bare QWidget"])
    def mib(name: str, column: int) -> float:
        return statistics.median(r[column] for r in rss[name])

    bare_m = mib("bare QWidget", 0)
    print(f"{args.runs} runs each")
    print(f"{'case':<18} {'median ms':>9} {'min-max ms':>13} {'x bare':>6} "
          f"{'RSS MiB':>8} {'x bare':>6} {'anon':>5} {'file':>5}")
    for name in cases:
        t, m = statistics.median(times[name]), mib(name, 0)
        print(f"{name:<18} {t:9.1f} {min(times[name]):6.1f}-{max(times[name]):<6.1f} "
              f"{t / bare_t:6.2f} {m:8.1f} {m / bare_m:6.2f} {mib(name, 1):5.1f} {mib(name, 2):5.1f}")


if __name__ == "__main__":
    main()
