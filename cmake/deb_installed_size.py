"""Sets a Debian package's Installed-Size the way dpkg-gencontrol counts it:
the bytes of its files and symbolic links, a hard link's once, and 1 KiB for
every other entry (a folder), in KiB rounded up. CPack counts the folders by
the size the staging file system gives them, so that the same package built
on another kind of file system (ext4, tmpfs) would differ in this field alone.
The control archive is written again with its members as they were, but for
that line, so the package stays reproducible.
usage: deb_installed_size.py <package.deb>"""

import gzip
import io
import lzma
import re
import sys
import tarfile

AR_MAGIC = b"!<arch>\n"


def ar_members(data):
    """(header, content) of each member of an ar archive."""
    members, at = [], len(AR_MAGIC)
    while at < len(data):
        header = data[at:at + 60]
        size = int(header[48:58])
        members.append((header, data[at + 60:at + 60 + size]))
        at += 60 + size + size % 2
    return members


def ar_archive(members):
    out = bytearray(AR_MAGIC)
    for header, content in members:
        out += header[:48] + b"%-10d" % len(content) + header[58:60] + content
        out += b"\n" if len(content) % 2 else b""
    return bytes(out)


def decompressed(name, content):
    if name.endswith(".gz"):
        return gzip.decompress(content)
    if name.endswith(".xz"):
        return lzma.decompress(content)
    return content


def compressed(name, content):
    if name.endswith(".gz"):
        out = io.BytesIO()
        with gzip.GzipFile(filename="", mode="wb", fileobj=out, mtime=0, compresslevel=9) as f:
            f.write(content)
        return out.getvalue()
    if name.endswith(".xz"):
        return lzma.compress(content)
    return content


def installed_kib(data_tar):
    total = 0
    with tarfile.open(fileobj=io.BytesIO(data_tar)) as archive:
        for member in archive:
            if member.isfile():
                total += member.size
            elif member.issym():
                total += len(member.linkname.encode())
            elif not member.islnk():
                total += 1024
    return (total + 1023) // 1024


def with_installed_size(control_tar, kib):
    out = io.BytesIO()
    with tarfile.open(fileobj=io.BytesIO(control_tar)) as source, \
            tarfile.open(fileobj=out, mode="w", format=tarfile.GNU_FORMAT) as target:
        for member in source:
            content = source.extractfile(member).read() if member.isfile() else None
            if member.name.lstrip("./") == "control":
                content = re.sub(rb"(?m)^Installed-Size: .*$", b"Installed-Size: %d" % kib,
                                 content)
                member.size = len(content)
            target.addfile(member, io.BytesIO(content) if content is not None else None)
    return out.getvalue()


def main():
    path = sys.argv[1]
    with open(path, "rb") as f:
        members = ar_members(f.read())
    names = [header[:16].decode().strip().rstrip("/") for header, _ in members]
    data_name = next(name for name in names if name.startswith("data.tar"))
    kib = installed_kib(decompressed(data_name, members[names.index(data_name)][1]))
    rewritten = []
    for name, (header, content) in zip(names, members):
        if name.startswith("control.tar"):
            content = compressed(name, with_installed_size(decompressed(name, content), kib))
        rewritten.append((header, content))
    with open(path, "wb") as f:
        f.write(ar_archive(rewritten))


if __name__ == "__main__":
    main()
