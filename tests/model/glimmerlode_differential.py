"""Runs the built line filter on generated inputs and search strings and
compares the output file, standard output and exit code with the model.
usage: glimmerlode_differential.py <Glimmerlode binary> [cases] [seed]"""

import os
import random
import subprocess
import sys
import tempfile

from differential import run_cases
from glimmerlode_model import filter_bytes

BANNER = (b"\n" + b"*" * 49 + b"\n" + b" " * 20 + b"Glimmerlode" + b" " * 18 + b"\n"
          b" Build 1.50 Version 1.23 - Release Date 10/14/13 \n" + b"*" * 49 + b"\n\n")


def random_input(rng, alphabet):
    lines = []
    for _ in range(rng.randrange(0, 30)):
        length = rng.choice([0, 1, 3, 8, 40, 254, 255, 256, 300, 600])
        lines.append(bytes(rng.choice(alphabet) for _ in range(rng.randrange(length + 1))))
    data = b"\n".join(lines)
    return data + b"\n" if lines and rng.random() < 0.7 else data


def main():
    binary = sys.argv[1]
    cases = int(sys.argv[2]) if len(sys.argv) > 2 else 300
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 1)
    with tempfile.TemporaryDirectory() as tmp:
        source, target = os.path.join(tmp, "in"), os.path.join(tmp, "out")

        def check_case(_):
            search = bytes(rng.choice(b"xyz#=ab") for _ in range(rng.choice([1, 1, 2, 3, 5])))
            data = random_input(rng, search + b"ab1 #\0\r" + b"q" * rng.randrange(4))
            with open(source, "wb") as f:
                f.write(data)
            args = [binary, source, target, search.decode()]
            if rng.random() < 0.3:
                args.append("DEBUG")
            run = subprocess.run(args, capture_output=True)
            with open(target, "rb") as f:
                written = f.read()
            expected = filter_bytes(data, search)
            if (written, run.stdout, run.returncode) == (expected, BANNER, 0):
                return None
            return ("search %r\ninput %r\ngot rc %d %r\n%r\nwant\n%r"
                    % (search, data, run.returncode, run.stdout, written, expected))

        return run_cases(cases, check_case)

if __name__ == "__main__":
    sys.exit(main())
