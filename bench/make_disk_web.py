#!/usr/bin/env python3
"""Writes a disk web for the stand-in host's benchmarks: PAGES pages in one folder.

    make_disk_web.py FOLDER PAGES

All pages lie flat in FOLDER (no subfolders), the harshest spread for a host that
reads a whole folder to find one name in it. Each page is a small HTML file with a
title and a BODY start tag with two attributes, as the run through COM uses.
Written natively, as 100,000 files under Wine would take minutes. A web already
written with the same number of pages (told by FOLDER.ready beside it) is kept, so
a run reuses it; what earlier saves changed in its pages does not matter to the
benchmarks, whose first pass is untimed. Standard library only.
"""

import os
import shutil
import sys

VERSION = "1"


def page_bytes(i):
    return (f'<html><head><title>Page {i}</title></head>\r\n<body bgcolor="white" topmargin="3">\r\n'
            f"<p>{i}</p>\r\n</body></html>\r\n").encode("ascii")


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__.strip().splitlines()[2].strip())
    folder, pages = sys.argv[1].rstrip("/"), int(sys.argv[2])
    stamp = folder + ".ready"
    expected = f"pages={pages} version={VERSION}\n"
    if os.path.isdir(folder) and os.path.isfile(stamp):
        with open(stamp, encoding="ascii") as f:
            if f.read() == expected:
                return
    if os.path.exists(stamp):
        os.remove(stamp)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for i in range(pages):
        fd = os.open(os.path.join(folder, f"p{i:06d}.htm"), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
        try:
            os.write(fd, page_bytes(i))
        finally:
            os.close(fd)
    with open(stamp, "w", encoding="ascii") as f:
        f.write(expected)


if __name__ == "__main__":
    main()
