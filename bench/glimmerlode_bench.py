#!/usr/bin/env python3
"""Glimmerlode against cat on a large file of random lines, for three search
strings: '#' (held by most lines), 'xyz' (by few) and 'abcdefgh' (by none).
Each command writes into an output of its own that exists (its own output of
the run before), as it would in use.
Targets: at most 1.3 times the time of cat for each string; peak memory the
same (within 1 MiB) on a 1 KB and on the large input.

usage: glimmerlode_bench.py <Glimmerlode binary> [--runs N] [--mb N] [--data FOLDER]
The input is generated once into FOLDER (default: bench-data beside the binary)."""

import os
import random
import sys

from bench_common import command_line, data_file, peak_kib, side_by_side

SEARCHES = ["#", "xyz", "abcdefgh"]
TARGET = 1.3


def random_lines(size):
    def make(path):
        rng = random.Random(7)
        alphabet = b"abcdefgh#xyz0123 "
        block = b"".join(bytes(rng.choices(alphabet, k=rng.randint(20, 120))) + b"\n"
                         for _ in range(100000))
        with open(path, "wb") as f:
            for _ in range(max(1, size // len(block))):
                f.write(block)
    return make


def main():
    binary, runs, mb, folder = command_line(__doc__, 227)
    big = data_file(folder, "lines-%dmb.txt" % mb, random_lines(mb * 1000 * 1000))
    small = os.path.join(folder, "lines-1kb.txt")
    with open(big, "rb") as f, open(small, "wb") as g:
        g.write(f.read(1000))
    out, cat_out = os.path.join(folder, "out.txt"), os.path.join(folder, "cat-out.txt")
    cat = ["sh", "-c", 'cat "$0" > "$1"', big, cat_out]

    print("input: %d MB of lines of 20 to 120 bytes; %d runs each, median wall-clock time"
          % (mb, runs))
    side_by_side([cat], 1)  # warm the page cache
    ok = True
    for search in SEARCHES:
        t_filter, t_cat = side_by_side([[binary, big, out, search], cat], runs)
        ok = ok and t_filter / t_cat <= TARGET
        print("search %-9r Glimmerlode %.3f s   cat %.3f s   ratio %.2f (target <= %.1f)"
              % (search, t_filter, t_cat, t_filter / t_cat, TARGET))
    mem_small = peak_kib([binary, small, out, "#"])
    mem_big = peak_kib([binary, big, out, "#"])
    print("peak memory: %d KiB on 1 KB, %d KiB on %d MB (target: within 1024 KiB)"
          % (mem_small, mem_big, mb))
    os.remove(out)
    os.remove(cat_out)
    ok = ok and abs(mem_big - mem_small) <= 1024
    print("targets met" if ok else "TARGETS MISSED")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
