#!/usr/bin/env python3
"""The scripted way to the twelve maps, for comparison with `tessarix-cli render --all`: one
vector-valued scipy RBFInterpolator for every enabled column (the document's kernel and grid),
then matplotlib's contour lines (contourpy underneath), labels, positions and a colour bar per
column, each saved as a PNG picture of the same size.

    tessarix-cli info DOC.Tsrix > DOC.json            # positions, values and settings as JSON
    bench/scripted_pipeline.py DOC.json OUT_PREFIX [WIDTHxHEIGHT]

Needs the system Python's numpy, scipy, contourpy and matplotlib (`scripts/setup --bench`).
Phase times go to the error output.

The document's Multiquadric sqrt(r^2 + c^2) on positions normalised to the map extent, with a
linear polynomial, is scipy's "multiquadric" -sqrt(1 + (epsilon r)^2) with epsilon = 1 / c and
degree 1: the two kernels differ by the factor -1/c only, which the weights absorb, so both give
the same surface. The corner boundary points at the boundary level are added as the document
adds them."""
import json
import sys
import time

import numpy as np
from scipy.interpolate import RBFInterpolator
import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

started = time.perf_counter()
doc = json.load(open(sys.argv[1]))
prefix = sys.argv[2]
width, height = (int(v) for v in (sys.argv[3] if len(sys.argv) > 3 else "1000x800").lower().split("x"))
s = doc["settings"]
x0, x1, y0, y1 = s["extent"]
if s["interpFunction"] != 0:
    sys.exit("only the Multiquadric kernel is compared")
c = s["interpParameter"]
columns = [col for col in doc["columns"] if col["enabled"]]

x = np.array(doc["x"], dtype=float)
y = np.array(doc["y"], dtype=float)
values = np.column_stack([np.array(col["values"], dtype=float) for col in columns])
if s.get("useBoundaryConditions") and s.get("boundaryLayout") in (0, 2):
    xs, xe, ys, ye = s["xAxis"]["start"], s["xAxis"]["stop"], s["yAxis"]["start"], s["yAxis"]["stop"]
    d, level = s["boundaryDistance"], s["boundaryLevel"]
    x = np.append(x, [xs - d, xe + d, xe + d, xs - d])
    y = np.append(y, [ys - d, ys - d, ye + d, ye + d])
    values = np.vstack([values, np.full((4, values.shape[1]), level)])
points = np.column_stack([(x - x0) / (x1 - x0), (y - y0) / (y1 - y0)])

nx, ny = s["gridCountX"] + 1, s["gridCountY"] + 1
gx, gy = np.linspace(0.0, 1.0, nx), np.linspace(0.0, 1.0, ny)
grid = np.column_stack([g.ravel() for g in np.meshgrid(gx, gy)])

t = time.perf_counter()
rbf = RBFInterpolator(points, values, kernel="multiquadric", epsilon=1.0 / c, degree=1)
surfaces = rbf(grid).reshape(ny, nx, len(columns))
interpolated = time.perf_counter() - t

z = s["zAxis"]
step = z["step"]
main_levels = np.arange(z["start"], z["stop"] + step / 2, step)
levels = np.sort(np.concatenate([main_levels, main_levels + step / 3, main_levels + 2 * step / 3]))
wx, wy = x0 + gx * (x1 - x0), y0 + gy * (y1 - y0)
measured = len(doc["x"])

drawn = saved = 0.0
for k, col in enumerate(columns):
    t = time.perf_counter()
    fig = plt.figure(figsize=(width / 100, height / 100), dpi=100)
    ax = fig.add_axes([0.06, 0.13, 0.85, 0.7])
    lines = ax.contour(wx, wy, surfaces[:, :, k], levels=levels, cmap="jet", vmin=z["start"], vmax=z["stop"],
                       linewidths=0.8)
    ax.clabel(lines, levels=main_levels, fmt="%.1f", fontsize=9)
    ax.plot(doc["x"][:measured], doc["y"][:measured], "o", color="black", markersize=5)
    ax.set_xlim(x0, x1)
    ax.set_ylim(y0, y1)
    fig.colorbar(lines, ax=ax, label=z.get("label", "dB"))
    fig.canvas.draw()
    t2 = time.perf_counter()
    fig.savefig(f"{prefix}_{k}.png", dpi=100)
    plt.close(fig)
    drawn += t2 - t
    saved += time.perf_counter() - t2

total = time.perf_counter() - started
sys.stderr.write(f"interpolation {interpolated:.3f} s, contours and drawing {drawn:.3f} s, "
                 f"png saving {saved:.3f} s, total {total:.3f} s\n")
