#!/usr/bin/env python3
"""Writes a GeoJSON coast like the real thing for the batch's tests.

Usage: make_coast.py OUT.geojson CORNER_X CORNER_Y

The region is 10 x 10 areas from the grid area CORNER_X, CORNER_Y (cell x * 32
+ area x, cell y * 32 + area y) at its north-west corner. It holds:
- "Mainland": a MultiPolygon of land over some 50 areas with a ragged coast,
  fjords narrower than a pixel (rounding makes their sides cross), lakes
  (holes, one across area edges) and islands offshore;
- "Holm": an island in one of the lakes, with a pond of its own;
- "Skerries": an archipelago of slivers from 0.02 to 40 square pixels;
- "Cover": a polygon that covers area 0, 9 whole, with a lake in it.
The features do not overlap. The same arguments always give the same file.
"""
import json
import math
import random
import sys

AREA_WIDTH, AREA_HEIGHT = 360 / 24576, 180 / 16384
PIXEL = 1 / 255  # in areas


def main():
    out, corner_x, corner_y = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    rng = random.Random(28)

    def place(x, y):  # x east, y south, in areas from the corner
        return [round(-180 + (corner_x + x) * AREA_WIDTH, 13),
                round(90 - (corner_y + y) * AREA_HEIGHT, 13)]

    def ring(points):
        return [place(x, y) for x, y in points] + [place(*points[0])]

    def ellipse(cx, cy, rx, ry, n, clockwise=False):
        step = -1 if clockwise else 1
        return [(cx + rx * math.cos(step * 2 * math.pi * k / n),
                 cy + ry * math.sin(step * 2 * math.pi * k / n)) for k in range(n)]

    # The coast: a radius that wanders, roughened at every vertex, with fjords.
    cx, cy, n = 5.0, 5.0, 1800
    fjords = {200: 0.3, 610: 0.5, 1130: 0.35, 1500: 0.45}  # where, and how deep
    coast = []
    for k in range(n):
        t = 2 * math.pi * k / n
        r = (3.2 + 0.4 * math.sin(3 * t) + 0.25 * math.sin(7 * t + 1) + 0.08 * math.sin(31 * t)
             + rng.uniform(-4, 4) * PIXEL)
        if k in fjords:  # in along one side, out along the other, under a pixel apart
            depth, side = fjords[k], 0.35 * PIXEL / r
            for s, turn in [(s, -side) for s in range(21)] + [(s, side) for s in range(19, -1, -1)]:
                d, a = r - depth * s / 20, t + turn + rng.uniform(-0.15, 0.15) * PIXEL / r
                coast.append((cx + d * math.cos(a), cy + d * math.sin(a)))
            continue
        coast.append((cx + r * math.cos(t), cy + r * math.sin(t)))
    lakes = [ellipse(5.5, 4.5, 0.3, 0.2, 60, True),       # inside one area
             ellipse(4.4, 6.3, 0.45, 0.35, 90, True),     # across area edges
             ellipse(5.9, 5.6, 0.12, 0.5, 70, True),
             ellipse(4.3, 4.2, 0.008, 0.006, 12, True),   # a pond of a few pixels
             ellipse(5.2, 5.3, 0.002, 0.0015, 8, True)]   # one too small to trace
    mainland = [[ring(coast)] + [ring(lake) for lake in lakes]]
    for a in (0.3, 0.8, 1.4, 1.9, 2.9, 3.3, 3.7, 4.2, 4.6, 5.0, 6.0):  # islands offshore
        size = rng.uniform(0.02, 0.25)
        points = ellipse(cx + 4.4 * math.cos(a), cy + 4.4 * math.sin(a), size, size * 0.7,
                         rng.randint(6, 40))
        mainland.append([ring([(x + rng.uniform(-2, 2) * PIXEL, y) for x, y in points])])

    # Slivers: triangles and thin quadrilaterals, a few larger rocks among them.
    skerries = []
    for k in range(80):
        x, y = 8.4 + (k % 10) * 0.15, 0.1 + (k // 10) * 0.18
        x, y = x + rng.uniform(0, 0.05), y + rng.uniform(0, 0.05)
        if k % 9 == 0:
            shape = ellipse(x, y, 6 * PIXEL, 4 * PIXEL, 9)
        elif k % 2:
            length, width = rng.uniform(0.3, 5) * PIXEL, rng.uniform(0.05, 0.7) * PIXEL
            shape = [(x, y), (x + length, y + width / 3), (x + length / 2, y + width)]
        else:
            length, width = rng.uniform(1, 8) * PIXEL, rng.uniform(0.02, 0.4) * PIXEL
            shape = [(x, y), (x + length, y), (x + length, y + width), (x, y + width)]
        skerries.append([ring(shape)])

    cover = [[ring([(0, 8.5), (1.5, 8.5), (1.5, 10), (0, 10)]),
              ring(ellipse(0.5, 9.5, 0.2, 0.15, 40, True))]]

    # An island in the lake, with a pond of its own.
    holm = [[ring(ellipse(4.5, 6.3, 0.15, 0.1, 30)), ring(ellipse(4.5, 6.3, 0.04, 0.03, 16, True))]]

    features = [("Mainland", mainland), ("Skerries", skerries), ("Cover", cover),
                ("Holm", holm)]
    with open(out, "w", encoding="utf-8") as file:
        json.dump({"type": "FeatureCollection", "features": [
            {"type": "Feature", "properties": {"name": name},
             "geometry": {"type": "MultiPolygon", "coordinates": polygons}}
            for name, polygons in features]}, file)


if __name__ == "__main__":
    main()
