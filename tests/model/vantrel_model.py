"""Reference model of the checker, written independently of the C++ code, for
differential tests on generated reports. model_run(argv, report bytes or None)
returns (stdout bytes, exit code)."""

WS = b" \t\n\v\f\r"
TOTAL = b"Total Vexo Devices Found ="
MARKER = b"==== Vexo device ===="
SID = b"Silicon ID      = "
FW = b"Firmware rev    = "
PREFIX = b"Vexo #"
OPEN_ERR = b"ERROR: Could not open Vexo info file... Vexo info not found!\n\n"

BANNER = (b"\n" + b"*" * 60 + b"\n"
          b" Ormenta 2 Vexo3 Update Utility for use with QOR hardware   \n"
          b"          Version 1.50 - Release Date 10/22/13              \n"
          + b"*" * 60 + b"\n\n")
USAGE = b"\nUSAGE: Vantrel <siliconId> <firmware rev> <inputFile>\n\n"

RULES = [
    (b"Firmware update successful", b"No errors. Vexo found and firmware updated.\n", None),
    (b"Firmware update not required",
     b"Vexo Found and Firmware level is up-to-date. No flashing required.\n", None),
    (b"Silicon IDs do not match",
     b"Vexo Silicon ID Error.  VexO found but the silicon ID did not match file.\n", 171),
    (b"VEXO found but update failed",
     b"Vexo firmware update error - VEXO found but update failed.\n", 2),
    (b"No Vexos found", b"No Vexos found in the system\n", 1),
]
OTHER = (b"Not specified error.  The VEXO update did not complete successfully.\n", 255)


class Reader:
    """One open report: reads pieces of at most 255 bytes, stopping after a newline."""

    def __init__(self, data):
        self.data, self.pos, self.ended = data, 0, False

    def read(self):
        if self.ended or self.pos >= len(self.data):
            self.ended = True
            return None
        end = self.data.find(b"\n", self.pos, self.pos + 255)
        end = self.pos + 255 if end < 0 else end + 1
        piece = self.data[self.pos:end]
        self.pos = end
        return piece.split(b"\0", 1)[0].rstrip(WS)

    def scan(self, line, text):
        while not self.ended:
            if text in line:
                return line
            line = self.read()
        return None


def value_after(line, key):
    return line[line.index(key) + len(key):].lstrip(WS)


def atoi(text):
    text = text.lstrip(WS)
    sign = 1
    if text[:1] in (b"-", b"+"):
        sign = -1 if text[:1] == b"-" else 1
        text = text[1:]
    digits = b""
    for c in text:
        if not 48 <= c <= 57:
            break
        digits += bytes([c])
    value = sign * int(digits) if digits else 0
    return max(-2**31, min(2**31 - 1, value))


def model_run(argv, report):
    out = [BANNER]
    if len(argv) not in (3, 4) or (len(argv) == 4 and argv[3] != b"DEBUG"):
        return b"".join(out) + USAGE, 1
    debug = len(argv) == 4
    sid_expected, fw_expected = argv[0], argv[1]

    def trace(text):
        if debug:
            out.append(text)

    trace(b"\nFunction: getNumVexo\n")
    if report is None:
        out.append(OPEN_ERR)
        return b"".join(out), 255
    r = Reader(report)
    line = r.scan(r.read() or b"", TOTAL)
    if line is None:
        return b"".join(out), 171
    count = atoi(value_after(line, TOTAL))
    trace(b"Number of Vexos Found:%d.\n" % count)
    if count == 0:
        return b"".join(out), 171
    if count > 20:
        out.append(b"ERROR: Vexo info file lists %d devices... at most 20 are supported!\n\n" % count)
        return b"".join(out), 255
    n_dev = max(count, 0)
    table = [[b"", b"", b""] for _ in range(n_dev)]

    trace(b"\nFunction: getVexoInfo\n")
    r = Reader(report)
    line = r.read()
    for n in range(n_dev):
        line = r.scan(line, MARKER)
        line = r.scan(line, SID) if line is not None else None
        if line is not None:
            table[n][0] = value_after(line, SID)
            trace(b"Vexo #%d Silicon ID:%s\n" % (n, table[n][0]))
        line = r.scan(line, FW) if line is not None else None
        if line is not None:
            table[n][1] = value_after(line, FW)
            trace(b"Vexo #%d Firmware Rev:%s\n" % (n, table[n][1]))
        line = r.read()

    trace(b"\nFunction: getStatus\n")
    for n in range(n_dev):
        r = Reader(report)
        marker = b"Vexo #%d" % n
        a = r.read()
        a = r.scan(a, marker) if a is not None else None
        a = r.read() if a is not None else None
        a = r.scan(a, marker) if a is not None else None
        a = r.read() if a is not None else None
        b = r.read() if a is not None else None
        while b is not None:
            if PREFIX in b or MARKER in b:
                table[n][2] = a
                trace(b"Vexo #%d:%s\n" % (n, a))
                break
            a, b = b, r.read()

    code, matches = 0, 0
    trace(b"\nFunction: checkUpdateStatus\nnumVexo:%d.\nFW Rev:%s.\nSilicon ID:%s.\n\n"
          % (count, fw_expected, sid_expected))
    for n, (sid, fw, status) in enumerate(table):
        trace(b"Vexo #%d ID:%s\nVexo #%d ID length:%d\nVexo #%d FW Rev:%s\n"
              b"Vexo #%d FW Rev length:%d\nVexo #%d status length:%d\nVexo #%d status:%s\n\n"
              % (n, sid, n, len(sid), n, fw, n, len(fw), n, len(status), n, status))
        if sid != sid_expected or fw != fw_expected:
            continue
        matches += 1
        message, effect = next(((m, c) for p, m, c in RULES if p in status), OTHER)
        out.append(b"Vexo#%d - " % n + message)
        if effect is not None:
            code = effect
    if matches == 0:
        code = 171
    trace(b"Return Code:%d.\n VexoMatches %d\n" % (code, matches))
    return b"".join(out), code
