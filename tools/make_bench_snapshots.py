#!/usr/bin/python3
"""Writes COUNT camera-like JPEG snapshots of WIDTH x HEIGHT into FOLDER, with
Pillow (the same street scene as the sample archive).

usage: make_bench_snapshots.py FOLDER COUNT WIDTH HEIGHT"""
import datetime
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_sample_archive import scene  # noqa: E402


def main():
    folder, count, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
    os.makedirs(folder, exist_ok=True)
    start = datetime.datetime(2026, 1, 5, 9, 0, 0)
    for i in range(count):
        when = start + datetime.timedelta(minutes=7 * i)
        path = os.path.join(folder, "01way-%s-00.jpg" % when.strftime("%Y-%m-%d-%H.%M.%S"))
        if not os.path.exists(path):
            scene((width, height), i % 4, when, i).save(path, quality=85)


if __name__ == "__main__":
    main()
