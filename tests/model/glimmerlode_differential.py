"""Runs the built line filter on generated inputs and search strings and
compares the output file, standard output and exit code with the model.
usage: glimmerlode_differential.py <Glimmerlode binary> [cases] [seed] [--crlf]
--crlf: the platform ends lines with CR LF (see crlf_platform in differential.py)."""

import os
import sys
import tempfile

from differential import command_line, joined_lines, run_cases, run_program
from glimmerlode_model import filter_bytes

BANNER = (b"\n" + b"*" * 49 + b"\n" + b" " * 20 + b"Glimmerlode" + b" " * 18 + b"\n"
          b" Build 1.50 Version 1.23 - Release Date 10/14/13 \n" + b"*" * 49 + b"\n\n")


def random_input(rng, alphabet):
    lines = []
    # Now and then more than the reader's chunk, so that its edges fall anywhere.
    count = rng.randrange(0, 30) if rng.random() < 0.85 else rng.randrange(1000, 3000)
    for _ in range(count):
        length = rng.choice([0, 1, 3, 8, 40, 253, 254, 255, 256, 300, 510, 600])
        lines.append(bytes(rng.choice(alphabet) for _ in range(rng.randrange(length + 1))))
    return joined_lines(rng, lines, 0.3)


def main():
    binary, cases, rng, platform = command_line()
    with tempfile.TemporaryDirectory(prefix="vexo-differential-") as tmp:
        source, target = os.path.join(tmp, "in"), os.path.join(tmp, "out")

        def check_case(_):
            search = bytes(rng.choice(b"xyz#=ab") for _ in range(rng.choice([1, 1, 2, 3, 5])))
            data = random_input(rng, search + b"ab1 #\0\r\x1a" + b"q" * rng.randrange(4))
            with open(source, "wb") as f:
                f.write(data)
            args = [source, target, search.decode()]
            if rng.random() < 0.3:
                args.append("DEBUG")
            run = run_program(binary, args)
            with open(target, "rb") as f:
                written = f.read()
            expected = platform.output(filter_bytes(platform.input(data), search))
            if (written, run.stdout, run.returncode) == (expected, platform.output(BANNER), 0):
                return None
            return ("search %r\ninput %r\ngot rc %d %r %r\n%r\nwant\n%r"
                    % (search, data, run.returncode, run.stdout, run.stderr, written, expected))

        return run_cases(cases, check_case)

if __name__ == "__main__":
    sys.exit(main())
