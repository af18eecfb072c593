"""Shared helpers for the benchmarks: time commands side by side (median of
wall-clock seconds over rounds in which each runs once, so that a slow moment of
the machine falls on all of them alike), read a command's peak resident memory
with /usr/bin/time (package time), and keep generated data in one place."""

import argparse
import os
import statistics
import subprocess
import time


def side_by_side(commands, runs, before=None):
    """Median seconds of each command, the commands taking turns. before, when
    given, is called ahead of every run, outside the timing."""
    times = [[] for _ in commands]
    for _ in range(runs):
        for command, taken in zip(commands, times):
            if before is not None:
                before()
            start = time.perf_counter()
            subprocess.run(command, stdout=subprocess.DEVNULL, check=False)
            taken.append(time.perf_counter() - start)
    return [statistics.median(taken) for taken in times]


def peak_kib(command):
    """Peak resident set size of one run, in KiB."""
    run = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, text=True, check=False)
    return int(run.stderr.strip().splitlines()[-1])


def data_file(folder, name, make):
    """The generated file name in folder, made by make(path) on first use."""
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name)
    if not os.path.exists(path):
        make(path + ".part")
        os.replace(path + ".part", path)
    return path


def command_line(doc, mb):
    """The benchmark's binary, runs, input size in MB and data folder (by
    default bench-data beside the binary, so under the build folder)."""
    parser = argparse.ArgumentParser(description=doc.split("\n")[0])
    parser.add_argument("binary")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--mb", type=int, default=mb)
    parser.add_argument("--data")
    args = parser.parse_args()
    binary = os.path.abspath(args.binary)
    return binary, args.runs, args.mb, args.data or os.path.join(os.path.dirname(binary),
                                                                  "bench-data")
