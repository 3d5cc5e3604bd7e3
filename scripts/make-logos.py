#!/usr/bin/env python3
"""Writes resources/logos/<image>.svg for every image name of the station tables.

Each logo is a monogram: one to three characters taken from the station's name,
white and bold on a rounded square whose colour follows from the image name, so a
station keeps its colour however the tables are reordered. Stations that share an
image name share the logo (the first station's name gives the letters).

Run from anywhere: scripts/make-logos.py [--check]
With --check nothing is written; the exit status says whether the files are current.
"""

import colorsys
import hashlib
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
TABLES = [ROOT / "src/catalog/RadioStations_GE.cpp", ROOT / "src/catalog/RadioStations_US.cpp"]
OUT = ROOT / "resources/logos"

# One table row: {"id", "name", "subtitle", "city", frequency, "image", ...
STRING = r'"((?:[^"\\]|\\.)*)"'
ROW = re.compile(r"\{\s*" + r",\s*".join([STRING] * 4) + r",\s*[^,]+,\s*" + STRING)

# Words that say nothing about which station it is, and words that say little.
FILLER = {"das", "die", "der", "the", "and", "und", "but", "of", "new", "york"}
WEAK = {"radio", "fm", "am"}

# Where the rule below picks letters nobody would recognise the station by.
OVERRIDES = {
    "102.7kiisfm": "KII",
    "1005dashitradio": "100",
    "1live": "1L",
    "1livediggi": "1LD",
    "80s80sradio": "80s",
    "890rtl": "89",
    "917xfm": "XFM",
    "bbradio": "BB",
    "bigfm": "big",
    "br24": "B24",
    "berlinerrundfunk914": "BR",
    "brheimat": "BRH",
    "brklassik": "BRK",
    "brschlager": "BRS",
    "brpuls": "P",
    "bytefm": "BFM",
    "country108": "108",
    "dasding": "DD",
    "deluxemusic": "DM",
    "deluxeradio": "DL",
    "deutschlandfunk": "Dlf",
    "deutschlandradio": "DR",
    "egofm": "ego",
    "espnnewyork": "ESP",
    "fluxfm": "FFM",
    "hitradiooe3": "Ö3",
    "hr1": "hr1",
    "hr2kultur": "hr2",
    "hr3": "hr3",
    "hr4": "hr4",
    "hrinfo": "hrI",
    "jamfm": "JAM",
    "komonews": "KOM",
    "ndr903": "N90",
    "njoy": "NJ",
    "radio7de": "R7",
    "radio912": "912",
    "radioeinsrbb": "re",
    "rbbfritz": "F",
    "rbbinforadio": "I",
    "rbbkultur": "rK",
    "rbb888": "rbb",
    "rsasachsen": "RSA",
    "rsh": "RSH",
    "rpr1": "RPR",
    "rs2": "rs2",
    "swraktuell": "SWR",
    "swr1": "S1",
    "swr2": "S2",
    "swr3": "S3",
    "swr4": "S4",
    "technobasefm": "TB",
    "top100station": "100",
    "wdr2": "W2",
    "wdrcosmo": "C",
    "wdrdiemaus": "M",
    "wdrevent": "WE",
    "wbznewsradio": "WBZ",
    "whtahot": "HOT",
    "whtzz100": "Z",
    "wkqichannel955": "955",
    "wnyc939fm": "NYC",
    "worltheanswer": "WOR",
    "wrod1340am": "ROD",
    "wtopnews": "TOP",
    "wwpwpower961": "PWR",
    "youfm": "YOU",
}

# Advance widths of DejaVu Sans Bold in em, for sizing; anything else counts as wide.
NARROW = {"I": 0.37, "J": 0.37, "i": 0.34, "l": 0.34, "j": 0.34, "f": 0.44, "r": 0.49, "t": 0.48, "1": 0.70}
WIDE = {"M": 1.0, "W": 1.03, "m": 1.04, "w": 0.92}


def letters_for(name):
    words = re.split(r"[\s/\-]+", name.replace("’", "."))
    # Dial frequencies (91.4, 90,3) are not part of the name's letters.
    words = [w for w in words if not re.fullmatch(r"\d+[.,]\d+", w)]
    words = [re.sub(r"[^\w]", "", w) for w in words]
    words = [w for w in words if w and w.lower() not in FILLER]
    strong = [w for w in words if w.lower() not in WEAK]
    # "RADIO PSR", "radio ffn": the short name is the name.
    if len(strong) == 1 and len(strong[0]) <= 3 and (strong[0].isupper() or strong[0].islower()):
        return strong[0]
    significant = strong if len(strong) >= 2 else words
    if len(significant) == 1:
        word = significant[0]
        if len(word) <= 3:
            return word.upper()
        humps = [c for c in word[1:] if c.isupper()] if not word.isupper() else []
        return (word[0] + "".join(humps[:1])).upper()
    picked = []
    for word in significant[:3]:
        picked.append(word if word.isdigit() and len(word) <= 2 else word[0].upper())
    return "".join(picked)[:3]


SKIPPED_HUES = (40 / 360, 85 / 360)


def colour_for(image):
    digest = hashlib.sha256(image.encode()).digest()
    # Hues between orange and green turn muddy once darkened for contrast: skip them.
    hue = int.from_bytes(digest[0:2], "big") / 65536 * (1 - SKIPPED_HUES[1] + SKIPPED_HUES[0])
    if hue >= SKIPPED_HUES[0]:
        hue += SKIPPED_HUES[1] - SKIPPED_HUES[0]
    saturation = 0.50 + digest[2] / 255 * 0.30
    lightness = 0.30 + digest[3] / 255 * 0.14
    r, g, b = colorsys.hls_to_rgb(hue, lightness, saturation)
    # White letters need at least 4.5:1; darken until they have it.
    while contrast_with_white((r, g, b)) < 4.5:
        r, g, b = r * 0.95, g * 0.95, b * 0.95
    return "#%02x%02x%02x" % (round(r * 255), round(g * 255), round(b * 255))


def contrast_with_white(rgb):
    def channel(c):
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4

    luminance = 0.2126 * channel(rgb[0]) + 0.7152 * channel(rgb[1]) + 0.0722 * channel(rgb[2])
    return 1.05 / (luminance + 0.05)


def font_size_for(text):
    width = sum(NARROW.get(c, WIDE.get(c, 0.78)) for c in text)
    largest = {1: 28, 2: 22, 3: 19}[len(text)]
    # At most 40 of the 48 units wide, clear of the rounded corners.
    return min(largest, round(40 / width, 1))


def svg_for(image, text):
    size = font_size_for(text)
    # Baseline so that the capitals sit in the middle (cap height 0.73 em).
    baseline = round(24 + 0.365 * size, 1)
    return (
        '<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">'
        f'<rect width="48" height="48" rx="10" fill="{colour_for(image)}"/>'
        f'<text x="24" y="{baseline:g}" fill="#ffffff" font-family="DejaVu Sans" font-weight="bold" '
        f'font-size="{size:g}" text-anchor="middle">{text}</text></svg>\n'
    )


def logos():
    names = {}
    for table in TABLES:
        for row in ROW.finditer(table.read_text(encoding="utf-8")):
            names.setdefault(row.group(5), row.group(2))
    return {image: svg_for(image, OVERRIDES.get(image) or letters_for(name)) for image, name in names.items()}


def main():
    check = "--check" in sys.argv[1:]
    wanted = logos()
    stale = []
    for image, svg in sorted(wanted.items()):
        path = OUT / f"{image}.svg"
        if not path.exists() or path.read_text(encoding="utf-8") != svg:
            stale.append(path.name)
            if not check:
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_text(svg, encoding="utf-8")
    extra = sorted(p.name for p in OUT.glob("*.svg") if p.stem not in wanted)
    if check:
        for name in stale:
            print(f"make-logos: {name} is missing or not current", file=sys.stderr)
        for name in extra:
            print(f"make-logos: {name} belongs to no station", file=sys.stderr)
        return 1 if stale or extra else 0
    for name in extra:
        (OUT / name).unlink()
    print(f"make-logos: {len(wanted)} logos, {len(stale)} written, {len(extra)} removed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
