"""What both differential tests share: running the program (under
VEXO_RUN_PREFIX when set, Wine say), the platform's line ends, and the case
loop that prints the first few disagreements with the model and ends with the
count line."""

import os
import shlex
import subprocess


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
