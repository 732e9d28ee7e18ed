#!/usr/bin/env python3
"""The calculator against the plain evaluator on the four shapes of calc_bench: page faults of
one evaluation in a fresh process, and its instructions counted by callgrind (only the call is
collected). Usage: calc_figures.py CALC_PROBE [--terms N]
"""
import argparse
import os
import re
import subprocess
import tempfile

SHAPES = ("sums", "divisions", "mixed", "nested")
COLLECT = {"calc": "*evaluateWithCalculator*", "plain": "*evaluatePlain*"}


def faults(probe: str, who: str, shape: str, terms: int) -> int:
    out = subprocess.run([probe, who, shape, str(terms)], check=True, stdout=subprocess.PIPE,
                         text=True).stdout
    return int(out.split()[0])


def instructions(probe: str, who: str, shape: str, terms: int) -> int:
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "callgrind.out")
        run = subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}",
                              f"--toggle-collect={COLLECT[who]}", probe, who, shape, str(terms)],
                             check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                             text=True)
        return int(re.search(r"Collected : (\d+)", run.stderr).group(1))


def main() -> None:
    parser = argparse.ArgumentParser()
    parser.add_argument("probe")
    parser.add_argument("--terms", type=int, default=100000)
    args = parser.parse_args()
    print(f"{args.terms} terms; faults of one call in a fresh process, instructions per call")
    print(f"{'shape':<10} {'faults':>7} {'plain':>7} {'instr':>12} {'plain':>12} {'ratio':>6}")
    for shape in SHAPES:
        f = [faults(args.probe, who, shape, args.terms) for who in ("calc", "plain")]
        i = [instructions(args.probe, who, shape, args.terms) for who in ("calc", "plain")]
        print(f"{shape:<10} {f[0]:7d} {f[1]:7d} {i[0]:12d} {i[1]:12d} {i[0] / i[1]:6.2f}")


if __name__ == "__main__":
    main()
