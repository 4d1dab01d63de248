#!/usr/bin/env python3
"""Checks a zip of exported pictures with readers independent of its
writer: Python's zipfile reads every entry, each picture equals its
original byte for byte under <folder>/<name> and is stored, not
compressed; sha256sum -c checks SHA256SUMS in the unpacked zip; the
manifest's rows name each picture, its size, hash, day folder, camera and
camera name.

    check_export.py ZIP ORIGINALS_DIR --folder DAY/NN --camera-name NAME
                    --album FOLDER NAME...
"""
import argparse
import csv
import hashlib
import io
import os
import subprocess
import sys
import tempfile
import zipfile


def fail(message):
    print("check_export: " + message)
    sys.exit(1)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("zip")
    parser.add_argument("originals")
    parser.add_argument("--folder", required=True)
    parser.add_argument("--camera-name", required=True)
    parser.add_argument("--album", required=True)
    parser.add_argument("names", nargs="+")
    args = parser.parse_args()
    if not os.path.exists(args.zip):
        fail("no zip at " + args.zip)

    with zipfile.ZipFile(args.zip) as archive:
        if archive.testzip() is not None:
            fail("a damaged entry: " + archive.testzip())
        expected = [args.folder + "/" + name for name in args.names]
        listed = archive.namelist()
        if sorted(listed) != sorted(expected + ["SHA256SUMS", "manifest.csv"]):
            fail("entries %r, expected %r" % (listed, expected))
        for name, entry in zip(args.names, expected):
            info = archive.getinfo(entry)
            if info.compress_type != zipfile.ZIP_STORED:
                fail(entry + " is compressed")
            with open(os.path.join(args.originals, name), "rb") as original:
                if archive.read(entry) != original.read():
                    fail(entry + " differs from its original")
        with tempfile.TemporaryDirectory() as unpacked:
            archive.extractall(unpacked)
            check = subprocess.run(["sha256sum", "-c", "--strict", "SHA256SUMS"], cwd=unpacked,
                                   capture_output=True, text=True)
            if check.returncode != 0:
                fail("sha256sum -c: " + check.stdout + check.stderr)
            if check.stdout.count(": OK") != len(args.names):
                fail("sha256sum -c checked " + check.stdout)
        manifest = archive.read("manifest.csv").decode("utf-8")

    rows = list(csv.reader(io.StringIO(manifest)))
    if rows[0][0] != "exported" or not rows[0][1].endswith("Z"):
        fail("first row %r" % rows[0])
    if rows[1] != ["album folder", args.album]:
        fail("second row %r" % rows[1])
    header = rows[2]
    pictures = [dict(zip(header, row)) for row in rows[3:]]
    if len(pictures) != len(args.names):
        fail("%d manifest rows" % len(pictures))
    day, camera = args.folder.split("/")
    for name, row in zip(args.names, pictures):
        with open(os.path.join(args.originals, name), "rb") as original:
            data = original.read()
        want = {
            "path in zip": args.folder + "/" + name,
            "original path": args.album + "\\" + name,
            "size": str(len(data)),
            "sha256": hashlib.sha256(data).hexdigest(),
            "day folder": day,
            "camera channel": camera,
            "camera name": args.camera_name,
        }
        for key, value in want.items():
            if row.get(key) != value:
                fail("%s: %s is %r, expected %r" % (name, key, row.get(key), value))
        written = row.get("last write time (UTC)", "")
        if len(written) != 20 or not written.endswith("Z") or written[10] != "T":
            fail("%s: write time %r" % (name, written))
    print("check_export: %d pictures, SHA256SUMS and manifest correct" % len(args.names))


if __name__ == "__main__":
    main()
