#!/usr/bin/python3
"""Builds the sample snapshot archive the way the host keeps it:
ROOT/DataPic/YYYY-MM-DD/NN, for today and a few earlier days and four
channels, each folder holding camera-like snapshots in all six formats and
several colour depths. Pictures are written by independent tools (Pillow and
netpbm), never by the project's own picture library.

Today's folder of the first camera ends with snapshots of the sizes today's
cameras record (1920 x 1080 and 3840 x 2160), with detail that only a closer
look shows: a number plate and the recorder's timestamp in small type.

With --second ROOT2, a second archive drive gets day folders that the first
lacks: two more days of the four channels, and today's folders of channels 5
and 6, so that the chooser has something to find only there.

usage: make_sample_archive.py ROOT [--second ROOT2] [--today YYYY-MM-DD]
"""
import datetime
import os
import shutil
import subprocess
import sys
import tempfile

from PIL import Image, ImageDraw, ImageFont

CHANNELS = ["Front gate", "Car park", "Lobby", "Loading bay"]
DAY_OFFSETS = [0, 1, 3]
# Second drive: (days before today, channel numbers counted from 0).
SECOND_DRIVE_FOLDERS = [(0, [4, 5]), (2, [0, 1, 2, 3]), (5, [0, 1, 2, 3])]
# Today's folder of the first camera, which the host opens by default: three
# full pages, since the album opens on its last page; its last snapshots are
# large ones (the last page shows them).
TODAYS_FIRST_CAMERA = 27
LARGE_SIZES = [(1920, 1080), (3840, 2160), (1920, 1080), (3840, 2160)]
SIZES = [(704, 576), (352, 288), (640, 480)]
# (extension, how it is written); each folder cycles through these.
VARIANTS = [
    ("jpg", "rgb"), ("bmp", "rgb"), ("gif", "palette"), ("pcx", "palette"),
    ("tga", "rgb"), ("tif", "rgb"), ("jpg", "grey"), ("bmp", "bmp4"),
    ("bmp", "palette"), ("pcx", "rgb"), ("tga", "palette"), ("tif", "palette"),
    ("bmp", "bmp1"), ("jpg", "rgb"),
]


def font(size):
    for path in ("/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
                 "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"):
        if os.path.exists(path):
            return ImageFont.truetype(path, size)
    return ImageFont.load_default()


def scene(size, channel, when, seq):
    """A street scene with a moving car and the camera's timestamp."""
    w, h = size
    img = Image.new("RGB", size)
    d = ImageDraw.Draw(img)
    hour_light = 0.35 + 0.65 * max(0.0, 1 - abs(when.hour - 13) / 9)
    for y in range(h // 2):
        k = y / (h / 2)
        d.line([(0, y), (w, y)], fill=(int((90 + 80 * k) * hour_light),
                                       int((130 + 70 * k) * hour_light),
                                       int((200 + 40 * k) * hour_light)))
    d.rectangle([0, h // 2, w, h], fill=(int(90 * hour_light), int(95 * hour_light), int(88 * hour_light)))
    d.polygon([(w * 0.3, h), (w * 0.45, h // 2), (w * 0.55, h // 2), (w * 0.7, h)], fill=(60, 60, 64))
    bx = (channel * 97) % (w // 3)
    d.rectangle([bx, h // 5, bx + w // 4, h // 2], fill=(150, 120, 100), outline=(40, 30, 30))
    for wy in range(h // 5 + 10, h // 2 - 10, max(h // 14, 8)):
        for wx in range(bx + 8, bx + w // 4 - 12, max(w // 28, 10)):
            d.rectangle([wx, wy, wx + w // 60 + 2, wy + h // 40 + 2], fill=(230, 220, 140))
    tx = w - w // 6
    d.rectangle([tx - 4, h // 3, tx + 4, h // 2 + 10], fill=(80, 50, 30))
    d.ellipse([tx - w // 14, h // 5, tx + w // 14, h // 3 + 10], fill=(40, 120, 50))
    cx = int((seq * 53 + channel * 31) % max(w - w // 5, 1))
    cy = h // 2 + h // 5
    colour = [(200, 30, 30), (30, 60, 200), (230, 230, 230), (240, 200, 20)][seq % 4]
    d.rectangle([cx, cy, cx + w // 5, cy + h // 12], fill=colour, outline=(0, 0, 0))
    d.rectangle([cx + w // 25, cy - h // 18, cx + w // 6 - w // 40, cy], fill=colour, outline=(0, 0, 0))
    for wheel in (cx + w // 25, cx + w // 5 - w // 25):
        d.ellipse([wheel - h // 40, cy + h // 14, wheel + h // 40, cy + h // 14 + h // 20], fill=(10, 10, 10))
    f = font(max(h // 24, 10))
    stamp = "CH%02d %s  %s" % (channel + 1, when.strftime("%Y-%m-%d %H:%M:%S"), CHANNELS[channel % 4])
    d.rectangle([0, 0, w, h // 20 + 8], fill=(0, 0, 0))
    d.text((6, 3), stamp, font=f, fill=(255, 255, 255))
    return img


def detailed_scene(size, channel, when, seq):
    """The street scene with a car in the middle whose number plate, and the
    recorder's timestamp at the bottom, are in type too small to read until
    the picture is zoomed in."""
    img = scene(size, channel, when, seq)
    w, h = size
    d = ImageDraw.Draw(img)
    car_w, car_h = w // 9, h // 11
    cx, cy = w // 2 - car_w // 2, h // 2 + h // 10
    d.rectangle([cx + car_w // 6, cy - car_h // 2, cx + car_w - car_w // 6, cy], fill=(50, 70, 140), outline=(0, 0, 0))
    d.rectangle([cx, cy, cx + car_w, cy + car_h], fill=(50, 70, 140), outline=(0, 0, 0))
    for wheel in (cx + car_w // 6, cx + car_w - car_w // 6):
        d.ellipse([wheel - car_h // 4, cy + car_h - car_h // 4, wheel + car_h // 4, cy + car_h + car_h // 4],
                  fill=(10, 10, 10))
    plate, plate_font = "SN %d%03d-K" % (channel + 1, 100 + seq), font(max(car_h // 10, 9))
    left, top, right, bottom = d.textbbox((0, 0), plate, font=plate_font)
    plate_w, plate_h = right + 6, bottom + 4
    px, py = w // 2 - plate_w // 2, cy + car_h // 2 - plate_h // 2
    d.rectangle([px, py, px + plate_w, py + plate_h], fill=(240, 240, 225), outline=(20, 20, 20))
    d.text((px + 3, py + 1), plate, font=plate_font, fill=(10, 10, 10))
    stamp = "%s.%03d  CH%02d  frame %06d  motion zone 3" % (when.strftime("%Y-%m-%d %H:%M:%S"), (seq * 37) % 1000,
                                                            channel + 1, seq * 1500)
    d.text((8, h - h // 90 - 10), stamp, font=font(max(h // 110, 10)), fill=(255, 255, 255))
    return img


def netpbm_bmp(img, bpp, path):
    with tempfile.NamedTemporaryFile(suffix=".ppm") as ppm:
        colours = 2 if bpp == 1 else 16
        img.quantize(colours).convert("RGB").save(ppm.name)
        with open(path, "wb") as out:
            subprocess.run(["ppmtobmp", "-bpp", str(bpp), ppm.name], stdout=out,
                           stderr=subprocess.DEVNULL, check=True)


def write(img, ext, how, path):
    if how == "bmp4":
        netpbm_bmp(img, 4, path)
    elif how == "bmp1":
        netpbm_bmp(img, 1, path)
    elif how == "grey":
        img.convert("L").save(path, quality=85)
    elif how == "palette":
        img.quantize(256).save(path)
    elif ext == "jpg":
        img.save(path, quality=85)
    elif ext == "tif":
        img.save(path, compression="tiff_lzw")
    else:
        img.save(path)


def fill_day_folder(pic, day, channel, count, large=0):
    """count snapshots, of which the last `large` are large JPEG ones."""
    folder = os.path.join(pic, day.strftime("%Y-%m-%d"), "%02d" % (channel + 1))
    os.makedirs(folder)
    for seq in range(count):
        when = datetime.datetime.combine(day, datetime.time(7, 0)) + datetime.timedelta(minutes=37 * seq + channel)
        ext, how = VARIANTS[(seq + channel) % len(VARIANTS)]
        size = SIZES[(seq + channel) % len(SIZES)]
        draw = scene
        if seq >= count - large:
            ext, how, size, draw = "jpg", "rgb", LARGE_SIZES[(seq - count + large) % len(LARGE_SIZES)], detailed_scene
        name = "%02dway-%s-00.%s" % (channel + 1, when.strftime("%Y-%m-%d-%H.%M.%S"), ext)
        write(draw(size, channel, when, seq), ext, how, os.path.join(folder, name))


def fresh_snapshot_root(root):
    pic = os.path.join(root, "DataPic")
    if os.path.isdir(pic):
        shutil.rmtree(pic)
    return pic


def build(root, today):
    pic = fresh_snapshot_root(root)
    for offset in DAY_OFFSETS:
        day = today - datetime.timedelta(days=offset)
        for channel in range(len(CHANNELS)):
            if offset == 0 and channel == 0:
                fill_day_folder(pic, day, channel, TODAYS_FIRST_CAMERA, len(LARGE_SIZES))
            else:
                fill_day_folder(pic, day, channel, 12)


def build_second(root, today):
    pic = fresh_snapshot_root(root)
    for offset, channels in SECOND_DRIVE_FOLDERS:
        day = today - datetime.timedelta(days=offset)
        for channel in channels:
            fill_day_folder(pic, day, channel, 6)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    today = datetime.date.today()
    if "--today" in sys.argv:
        today = datetime.date.fromisoformat(sys.argv[sys.argv.index("--today") + 1])
    build(sys.argv[1], today)
    if "--second" in sys.argv:
        build_second(sys.argv[sys.argv.index("--second") + 1], today)


if __name__ == "__main__":
    main()
