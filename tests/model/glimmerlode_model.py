"""Reference model of the line filter's rewrite, written independently of the
C++ code: filter_bytes(data, search) is the output file's content."""


def pieces(data):
    """Reads of at most 255 bytes, each stopping after a newline."""
    pos = 0
    while pos < len(data):
        end = data.find(b"\n", pos, pos + 255)
        end = pos + 255 if end < 0 else end + 1
        yield data[pos:end]
        pos = end


def rewrite(line, search):
    if not search or search not in line:
        return line
    pos = next(i for i, c in enumerate(line) if c in search)
    head = line[:pos + 1] if pos >= 1 else b""
    start = line.rindex(search[:1]) + len(search) - 1
    return head + line[start:]


def filter_bytes(data, search):
    return b"".join(rewrite(line, search) for line in pieces(data))
