#!/usr/bin/env python3
"""Glimmerlode against cat on a large file of random lines, for three search
strings: '#' (held by most lines), 'xyz' (by few) and 'abcdefgh' (by none).
Each command writes into an output of its own that exists (its own output of
the run before), as it would in use. Then a text made to slow a search down:
lines of 254 'a' searched for 200 'a' and 'ba', where every place passes the
quick test of a block, against 'abcdefgh' on as many bytes of the random lines.
Targets: at most 1.3 times the time of cat for each string; the slow text at
most 3 times the ordinary one; peak memory the same (within 1 MiB) on a 1 KB
and on the large input.

usage: glimmerlode_bench.py <Glimmerlode binary> [--runs N] [--mb N] [--data FOLDER]
The input is generated once into FOLDER (default: bench-data beside the binary)."""

import os
import random
import sys

from bench_common import command_line, data_file, peak_kib, side_by_side

SEARCHES = ["#", "xyz", "abcdefgh"]
TARGET = 1.3
SLOW_TEXT_TARGET = 3.0
SLOW_SEARCH = "a" * 200 + "ba"


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


def slow_text(size):
    def make(path):
        with open(path, "wb") as f:
            f.write((b"a" * 254 + b"\n") * max(1, size // 255))
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
    slow = data_file(folder, "slow-%dmb.txt" % (mb // 10), slow_text(mb // 10 * 1000 * 1000))
    ordinary = os.path.join(folder, "ordinary-%dmb.txt" % (mb // 10))
    with open(big, "rb") as f, open(ordinary, "wb") as g:
        g.write(f.read(os.path.getsize(slow)))
    t_slow, t_ordinary = side_by_side([[binary, slow, out, SLOW_SEARCH],
                                       [binary, ordinary, out, "abcdefgh"]], runs)
    ok = ok and t_slow / t_ordinary <= SLOW_TEXT_TARGET
    print("slow text, %d MB: Glimmerlode %.3f s, on ordinary text %.3f s, ratio %.2f"
          " (target <= %.1f)" % (mb // 10, t_slow, t_ordinary, t_slow / t_ordinary,
                                 SLOW_TEXT_TARGET))
    mem_small = peak_kib([binary, small, out, "#"])
    mem_big = peak_kib([binary, big, out, "#"])
    print("peak memory: %d KiB on 1 KB, %d KiB on %d MB (target: within 1024 KiB)"
          % (mem_small, mem_big, mb))
    os.remove(out)
    os.remove(cat_out)
    os.remove(ordinary)
    ok = ok and abs(mem_big - mem_small) <= 1024
    print("targets met" if ok else "TARGETS MISSED")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
