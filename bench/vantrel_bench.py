#!/usr/bin/env python3
"""Vantrel's latency and its speed on a large report.
(a) latency: Vantrel on the sample report against cat of the same file; target
    at most 1.5 times cat (both are bound by process start-up).
(b) scale: a 20-device report with noise lines first, so that every pass reads
    all of it, against 22 grep -F passes over it (the checker reads the report
    once to count, once for the identities and once per device for the
    statuses); target at most 1.5 times the greps, and peak memory the same
    (within 1 MiB) on the sample and on the large report.

usage: vantrel_bench.py <Vantrel binary> [--runs N] [--mb N] [--data FOLDER]
The large report is generated once into FOLDER (default: bench-data beside the
binary)."""

import os
import random
import sys

from bench_common import command_line, data_file, peak_kib, side_by_side

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLE = os.path.join(HERE, "..", "examples", "twenty-devices.report")
TARGET = 1.5


def noisy_report(size):
    def make(path):
        rng = random.Random(11)
        words = [b"flash", b"sector", b"0x4000", b"erase", b"verify", b"retry", b"bus", b"ok",
                 b"Vexo3", b"Vexo", b"#7"]
        with open(SAMPLE, "rb") as sample, open(path, "wb") as f:
            body = sample.read()
            written = 0
            while written < size - len(body):
                block = b"".join(b" ".join(rng.choice(words) for _ in range(rng.randrange(1, 30)))
                                 + b"\n" for _ in range(1000))
                f.write(block)
                written += len(block)
            f.write(body)
    return make


def main():
    binary, runs, mb, folder = command_line(__doc__, 50)
    big = data_file(folder, "report-%dmb.report" % mb, noisy_report(mb * 1000 * 1000))

    checker = [binary, "0BADF00D", "3.2", SAMPLE]
    latency_runs = 30 * runs
    t_checker, t_cat = side_by_side([checker, ["cat", SAMPLE]], latency_runs)
    latency = t_checker / t_cat
    print("(a) latency, %d runs each, median: Vantrel %.2f ms, cat %.2f ms, ratio %.2f"
          " (target <= %.1f)" % (latency_runs, t_checker * 1000, t_cat * 1000, latency, TARGET))

    big_checker = [binary, "0BADF00D", "3.2", big]
    greps = ["sh", "-c", 'for n in $(seq 0 21); do grep -F -c "Vexo #$n" "$0"; done', big]
    side_by_side([["cat", big]], 1)  # warm the page cache
    t_big, t_grep = side_by_side([big_checker, greps], runs)
    scale = t_big / t_grep
    mem_small, mem_big = peak_kib(checker), peak_kib(big_checker)
    print("(b) scale, %d MB report, %d runs each, median: Vantrel %.3f s, 22 x grep -F %.3f s,"
          " ratio %.2f (target <= %.1f)" % (mb, runs, t_big, t_grep, scale, TARGET))
    print("    peak memory: %d KiB on the sample, %d KiB on %d MB"
          % (mem_small, mem_big, mb))
    ok = latency <= TARGET and scale <= TARGET and abs(mem_big - mem_small) <= 1024
    print("targets met" if ok else "TARGETS MISSED")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
