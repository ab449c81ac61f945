#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on the files' contents and names.

usage: zip_release.py ZIP EPOCH FOLDER NAME...

Stores FOLDER/NAME for each NAME, in the order given, flat, deflated at
level 9, every entry dated EPOCH (seconds since 1970, UTC; the commit's
time) and marked as an ordinary file readable by all; nothing of the
machine (owner, permissions, file times, extra fields) enters the archive.
"""
import os
import sys
import time
import zipfile


def main(argv):
    if len(argv) < 5:
        sys.stderr.write(__doc__)
        return 2
    out, epoch, folder, names = argv[1], int(argv[2]), argv[3], argv[4:]
    # Zip dates run from 1980 and carry two-second steps.
    date = time.gmtime(max(epoch, 315532800))[:6]
    date = date[:5] + (date[5] - date[5] % 2,)
    partial = out + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for name in names:
            with open(os.path.join(folder, name), "rb") as f:
                data = f.read()
            entry = zipfile.ZipInfo(name, date_time=date)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 3  # Unix, so that the permissions below are read
            entry.external_attr = 0o100644 << 16
            archive.writestr(entry, data, compresslevel=9)
    os.replace(partial, out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
