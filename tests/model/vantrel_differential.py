"""Runs the built checker on generated reports and command lines and compares
its whole standard output and exit code with the reference model.
usage: vantrel_differential.py <Vantrel binary> [cases] [seed] [--crlf]
--crlf: the platform ends lines with CR LF (see crlf_platform in differential.py)."""

import os
import sys
import tempfile

from differential import command_line, joined_lines, run_cases, run_program
from vantrel_model import model_run

SIDS = [b"1A2B3C4D", b"1A2B", b"1A2B3C4D5E6F", b"", b"X"]
FWS = [b"1.5", b"1.4", b"1.50", b""]
PHRASES = [b"Firmware update successful", b"Firmware update not required",
           b"Silicon IDs do not match", b"VEXO found but update failed", b"No Vexos found",
           b"something else"]


def random_line(rng, devices):
    n = rng.randrange(max(devices, 1) + 12)
    kind = rng.randrange(14)
    if kind == 0:
        return b"Total Vexo Devices Found =" + rng.choice([b" ", b"\t", b""]) + rng.choice(
            [b"%d" % rng.randrange(-3, 23), b"- 3", b"+2", b"99999999999", b"2 devices", b""])
    if kind in (1, 2):
        return b"Vexo #%d " % n + rng.choice([b"update started", b"programming", b""])
    if kind == 3:
        return b"==== Vexo device ===="
    if kind == 4:
        return b"Silicon ID      = " + rng.choice(SIDS) + rng.choice([b"", b"  ", b"\t"])
    if kind == 5:
        return b"Firmware rev    = " + rng.choice(FWS) + rng.choice([b"", b" "])
    if kind in (6, 7, 8):
        return rng.choice([b"", b"  "]) + rng.choice(PHRASES) + rng.choice([b"", b" \r"])
    if kind == 9:
        return bytes(rng.choice(b"ab #=\0\t") for _ in range(rng.choice([253, 254, 255, 256, 300, 510])))
    if kind == 10:
        return b"Silicon ID      =" + rng.choice([b"", b" "])
    if kind == 11:
        return rng.choice(PHRASES)[:10] + b"\0" + rng.choice(PHRASES)
    return b"erasing"


def random_report(rng):
    devices = rng.randrange(0, 6)
    lines = [random_line(rng, devices) for _ in range(rng.randrange(0, 40))]
    if rng.random() < 0.8:
        structured = [b"Total Vexo Devices Found = %d" % devices]
        for n in range(devices):
            structured += [b"Vexo #%d start" % n, b"Vexo #%d prog" % n, b"erasing",
                           rng.choice(PHRASES)]
        for n in range(devices):
            structured += [b"==== Vexo device ====", b"Silicon ID      = " + rng.choice(SIDS[:2]),
                           b"Firmware rev    = " + rng.choice(FWS[:2])]
        for line in lines:
            structured.insert(rng.randrange(len(structured) + 1), line)
        lines = structured
    if rng.random() < 0.1:
        # More than the reader's chunk, with parts of the report's texts in it.
        noise = [b"Vexo #", b"Vexo", b"#1", b"====", b"Silicon ID", b"Firmware rev", b"=", b"x" * 200,
                 b"\0", b"Silicon ID      = ", b"Total Vexo Devices Found ="]
        block = [b" ".join(rng.choice(noise) for _ in range(rng.randrange(1, 12)))
                 for _ in range(rng.randrange(1500, 4000))]
        at = rng.randrange(len(lines) + 1)
        lines[at:at] = block
    return joined_lines(rng, lines, 0.2)


def main():
    binary, cases, rng, platform = command_line()
    with tempfile.TemporaryDirectory(prefix="vexo-differential-") as tmp:
        path = os.path.join(tmp, "report")

        def check_case(_):
            report = random_report(rng)
            with open(path, "wb") as f:
                f.write(report)
            argv = [rng.choice(SIDS[:2]), rng.choice(FWS[:2]), path.encode()]
            if rng.random() < 0.5:
                argv.append(b"DEBUG")
            run = run_program(binary, [a.decode() for a in argv])
            stdout, code = model_run(argv, platform.input(report))
            expected = platform.output(stdout), code
            if (run.stdout, run.returncode) == expected:
                return None
            return ("argv %r\nreport %r\ngot rc %d %r\n%r\nwant rc %d\n%r"
                    % (argv, report, run.returncode, run.stderr, run.stdout, expected[1], expected[0]))

        return run_cases(cases, check_case)

if __name__ == "__main__":
    sys.exit(main())
