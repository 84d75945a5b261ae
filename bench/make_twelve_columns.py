#!/usr/bin/env python3
"""Writes the twelve-column benchmark document: 500 positions on a 40 m x 25 m site with the
overall level and the eleven octave bands, interpolated on a 1001 x 1001 grid.

    bench/make_twelve_columns.py OUT.Tsrix [TESSARIX_CLI]

The table goes through `tessarix-cli import`; the grid counts (intervals, 1000 x 1000) are then
written into the settings record, where they follow the colour scale as two int32 values just
before the map extent."""
import math
import os
import random
import struct
import subprocess
import sys
import tempfile

out = sys.argv[1]
cli = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.path.dirname(__file__), "..", "build", "src", "cli", "tessarix-cli")
names = ["SLM", "16 Hz", "31.5 Hz", "63 Hz", "125 Hz", "250 Hz", "500 Hz", "1 kHz", "2 kHz", "4 kHz", "8 kHz", "16 kHz"]
random.seed(5)
with tempfile.NamedTemporaryFile("w", suffix=".tsv", delete=False) as table:
    table.write("X\tY\t" + "\t".join(names) + "\n")
    for _ in range(500):
        x, y = random.uniform(0, 40), random.uniform(0, 25)
        levels = [60 + 20 * math.sin(x / 7 + k) * math.cos(y / 5 - k) + random.uniform(-1, 1) for k in range(12)]
        table.write(f"{x:.3f}\t{y:.3f}\t" + "\t".join(f"{v:.2f}" for v in levels) + "\n")
subprocess.run([cli, "import", table.name, out], check=True)
os.unlink(table.name)

data = bytearray(open(out, "rb").read())
extent = struct.pack("<ffff", 0, 40, 0, 25)
at = data.find(extent) - 8
if at < 0 or data.find(extent, at + 9) >= 0:
    sys.exit("the map extent was not found exactly once")
data[at:at + 8] = struct.pack("<ii", 1000, 1000)
open(out, "wb").write(data)
