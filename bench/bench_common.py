"""Shared helpers for the benchmarks: time a command several times (median of
wall-clock seconds) and read its peak resident memory with /usr/bin/time."""

import statistics
import subprocess
import time


def median_seconds(command, runs, stdout=subprocess.DEVNULL, before=None):
    """before, when given, is called ahead of every run, outside the timing."""
    times = []
    for _ in range(runs):
        if before is not None:
            before()
        start = time.perf_counter()
        subprocess.run(command, stdout=stdout, check=False)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def peak_kib(command):
    """Peak resident set size of one run, in KiB."""
    run = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, text=True, check=False)
    return int(run.stderr.strip().splitlines()[-1])
