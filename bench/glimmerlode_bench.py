"""Glimmerlode against cat and sed on a large generated file.
usage: glimmerlode_bench.py <Glimmerlode binary> [size in MB, default 200] [runs, default 5]
Targets: at most 1.5 times the time of cat copying the same file over the
output of the run before; peak memory the same (within 1 MiB) on a 1 KB and on
the large input."""

import os
import random
import sys

from bench_common import median_seconds, peak_kib

SEARCH = "xyz"


def generate(path, size):
    rng = random.Random(7)
    alphabet = "abcxyz #="
    with open(path, "w") as f:
        written = 0
        while written < size:
            block = "".join(
                "".join(rng.choice(alphabet) for _ in range(rng.randrange(0, 300))) + "\n"
                for _ in range(2000))
            f.write(block)
            written += len(block)


def main():
    binary = os.path.abspath(sys.argv[1])
    size_mb = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    data = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")
    os.makedirs(data, exist_ok=True)
    big, small = os.path.join(data, "filter-%dmb.txt" % size_mb), os.path.join(data, "filter-1kb.txt")
    if not os.path.exists(big):
        generate(big, size_mb * 1000 * 1000)
    with open(big) as f, open(small, "w") as g:
        g.write(f.read(1000))
    out = os.path.join(data, "filter-out.txt")

    def filter_command(source):
        return [binary, source, out, SEARCH]

    cat = ["sh", "-c", 'cat "$0" > "$1"', big, out]
    sed = ["sh", "-c", 'sed "s/x.*yz/x/" "$0" > "$1"', big, out]
    median_seconds(cat, 1)  # warm the page cache
    t_filter = median_seconds(filter_command(big), runs)
    t_cat = median_seconds(cat, runs)
    t_sed = median_seconds(sed, runs)
    # Into a fresh file instead: no truncation of the last run's output, where
    # cat's in-kernel copy leaves it little to do.
    def remove_output():
        if os.path.exists(out):
            os.remove(out)

    t_filter_fresh = median_seconds(filter_command(big), runs, before=remove_output)
    t_cat_fresh = median_seconds(cat, runs, before=remove_output)
    mem_big, mem_small = peak_kib(filter_command(big)), peak_kib(filter_command(small))
    print("input: %d MB, %d runs each, median wall-clock time" % (size_mb, runs))
    print("Glimmerlode %.3f s   cat %.3f s   sed %.3f s" % (t_filter, t_cat, t_sed))
    print("ratio Glimmerlode/cat %.2f (target <= 1.5)   Glimmerlode/sed %.2f" %
          (t_filter / t_cat, t_filter / t_sed))
    print("into a fresh output file: Glimmerlode %.3f s   cat %.3f s   ratio %.2f (for information)"
          % (t_filter_fresh, t_cat_fresh, t_filter_fresh / t_cat_fresh))
    print("peak memory: %d KiB on 1 KB, %d KiB on %d MB (target: within 1024 KiB); cat %d KiB, sed %d KiB"
          % (mem_small, mem_big, size_mb, peak_kib(cat), peak_kib(sed)))
    os.remove(out)
    ok = t_filter / t_cat <= 1.5 and abs(mem_big - mem_small) <= 1024
    print("targets met" if ok else "TARGETS MISSED")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
