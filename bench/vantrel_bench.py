"""Vantrel's latency and scale.
usage: vantrel_bench.py <Vantrel binary> [runs, default 200] [report size in MB, default 50]
(a) latency: Vantrel on the sample report against cat of the same file, median of
    many runs; target at most 1.5 times cat (both are bound by process start-up).
(b) scale: a 20-device report padded with noise lines to the given size, against
    22 sequential grep -F passes over it (the checker reads the report 22 times);
    peak memory the same on the sample and on the padded report."""

import os
import random
import sys

from bench_common import median_seconds, peak_kib

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLE = os.path.join(HERE, "..", "examples", "twenty-devices.report")


def padded_report(path, size):
    """Noise first, so that every pass reads through all of it."""
    rng = random.Random(11)
    words = ["flash", "sector", "0x4000", "erase", "verify", "retry", "bus", "ok", "Vexo3"]
    with open(SAMPLE) as sample, open(path, "w") as f:
        body = sample.read()
        written = 0
        while written < size - len(body):
            block = "".join(" ".join(rng.choice(words) for _ in range(rng.randrange(1, 30))) + "\n"
                            for _ in range(1000))
            f.write(block)
            written += len(block)
        f.write(body)


def main():
    binary = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    size_mb = int(sys.argv[3]) if len(sys.argv) > 3 else 50
    data = os.path.join(HERE, "data")
    os.makedirs(data, exist_ok=True)
    big = os.path.join(data, "report-%dmb.report" % size_mb)
    if not os.path.exists(big):
        padded_report(big, size_mb * 1000 * 1000)

    checker = [binary, "0BADF00D", "3.2", SAMPLE]
    t_checker = median_seconds(checker, runs)
    t_cat = median_seconds(["cat", SAMPLE], runs)
    print("(a) latency, %d runs each, median: Vantrel %.2f ms, cat %.2f ms, ratio %.2f (target <= 1.5)"
          % (runs, t_checker * 1000, t_cat * 1000, t_checker / t_cat))

    big_checker = [binary, "0BADF00D", "3.2", big]
    greps = ["sh", "-c", 'for n in $(seq 22); do grep -F -c "Vexo #$n" "$0"; done', big]
    scale_runs = 5
    median_seconds(["cat", big], 1)  # warm the page cache
    t_big = median_seconds(big_checker, scale_runs)
    t_grep = median_seconds(greps, scale_runs)
    mem_small, mem_big = peak_kib(checker), peak_kib(big_checker)
    print("(b) scale, %d MB report, %d runs each, median: Vantrel %.3f s, 22 x grep -F %.3f s, ratio %.2f"
          % (size_mb, scale_runs, t_big, t_grep, t_big / t_grep))
    print("    peak memory: %d KiB on the sample, %d KiB on %d MB" % (mem_small, mem_big, size_mb))
    ok = t_checker / t_cat <= 1.5 and abs(mem_big - mem_small) <= 1024
    print("targets met" if ok else "TARGETS MISSED")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
