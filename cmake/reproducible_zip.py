"""Rewrites a ZIP so that its bytes depend on what it holds alone: members in
the order of their names, each dated at the given time, taken as UTC (a ZIP's
DOS dates have no time zone), with its permission bits but without its owner
or the extra time stamps of the file it was made from.
usage: reproducible_zip.py <zip> <seconds since 1970>"""

import io
import sys
import time
import zipfile


def main():
    path, epoch = sys.argv[1], int(sys.argv[2])
    date = time.gmtime(max(epoch, 315532800))[:6]  # DOS dates begin in 1980
    with zipfile.ZipFile(path) as archive:
        members = sorted(((info, archive.read(info)) for info in archive.infolist()),
                         key=lambda member: member[0].filename)
    rewritten = io.BytesIO()
    with zipfile.ZipFile(rewritten, "w") as archive:
        for info, data in members:
            member = zipfile.ZipInfo(info.filename, date)
            member.create_system = 3  # Unix: the high bits of the attributes are the mode
            member.external_attr = info.external_attr
            member.compress_type = zipfile.ZIP_STORED if info.is_dir() else zipfile.ZIP_DEFLATED
            archive.writestr(member, data, compresslevel=9)
    with open(path, "wb") as f:
        f.write(rewritten.getvalue())


if __name__ == "__main__":
    main()
