"""What both differential tests share: running the program (under
VEXO_RUN_PREFIX when set, Wine say), the platform's line ends, and the case
loop that prints the first few disagreements with the model and ends with the
count line."""

import os
import random
import shlex
import subprocess
import sys


def command_line():
    """binary, number of cases, random generator, platform from
    <binary> [cases] [seed] [--crlf]."""
    args = [a for a in sys.argv[1:] if a != "--crlf"]
    cases = int(args[1]) if len(args) > 1 else 300
    rng = random.Random(int(args[2]) if len(args) > 2 else 1)
    return args[0], cases, rng, crlf_platform("--crlf" in sys.argv)


def joined_lines(rng, lines, mixed_share):
    """The lines, each ended by a newline, or in mixed_share of the files by any
    of CR LF, a lone CR or a Ctrl-Z and a newline; the last end dropped now
    and then."""
    ends = [b"\n", b"\r\n", b"\r", b"\x1a\n"]
    mixed = rng.random() < mixed_share
    data = b"".join(line + rng.choice(ends if mixed else ends[:1]) for line in lines)
    return data[:-1] if lines and rng.random() < 0.3 else data


def run_program(binary, args):
    prefix = shlex.split(os.environ.get("VEXO_RUN_PREFIX", ""))
    return subprocess.run(prefix + [binary] + args, capture_output=True)


class crlf_platform:
    """Where lines end with CR LF, the programs read a CR followed by a LF as one
    newline, and write every newline, on the console and into files, as CR LF."""

    def __init__(self, crlf):
        self.crlf = crlf

    def input(self, data):
        return data.replace(b"\r\n", b"\n") if self.crlf else data

    def output(self, data):
        return data.replace(b"\n", b"\r\n") if self.crlf else data


def run_cases(cases, check_case):
    """check_case(n) returns None when the program agrees with the model on
    case n, else a description of the difference. Returns the exit code."""
    failures = 0
    checked = 0
    for case in range(cases):
        checked += 1
        difference = check_case(case)
        if difference is not None:
            failures += 1
            print("case %d differs: %s\n" % (case, difference))
            if failures > 3:
                break
    print("%d passed, %d failed" % (checked - failures, failures))
    return 1 if failures else 0
