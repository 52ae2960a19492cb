#!/usr/bin/env python3
"""Writes a GeoJSON of country-like coastlines, as a national extract is:
one MultiPolygon of land per country (a ragged mainland with a lake, and
islands off its coast), about 200 countries, the largest of about 2 million
vertices, coordinates with 7 decimals as OpenStreetMap gives them.

    python3 scripts/make_coastlines.py OUT.geojson [--scale S] [--seed N]

--scale multiplies every country's vertex count (1: about 100 MB; the
tests use a small scale for the same shapes in a smaller file). The same
arguments always write the same bytes. Prints two places on the largest
country's coast, its east and west ends, as LAT,LON lines.
"""

import argparse
import math
import random

COUNTRIES = 200
LARGEST = 2_000_000
# The other countries share this many vertices, a few large and many small.
OTHERS = 2_150_000
# The largest country's centre and mainland radius in degrees.
BIG_CENTRE = (20.0, 60.0)
BIG_RADIUS = 2.5
# The others on a grid of slots this far apart, west and south of it.
SLOT = 1.25
GRID_WEST, GRID_SOUTH, GRID_COLUMNS = -12.0, 35.0, 15


def ragged_radii(count, rng):
    """Radii of a ragged coast around a circle of radius 1: a few slow
    bulges, and bays and capes at every scale from a few vertices to a
    tenth of the coast (a sum of mean-reverting walks, larger the slower),
    each pulled back at the end so that the ring closes smoothly. Always
    between 0.3 and 1."""
    bulges = [(rng.randint(2, 7), rng.uniform(0, 2 * math.pi), rng.uniform(0.03, 0.08))
              for _ in range(4)]
    step = 2 * math.pi * 0.75 / count  # between two vertices, in radii
    total = [0.0] * count
    tau = 10.0
    while tau < count / 5:
        pull = 1 - 1 / tau
        sigma = 0.09 * (tau * step) ** 0.8 / math.sqrt(tau / 2)
        walk, walks = 0.0, []
        for _ in range(count):
            walk = pull * walk + rng.gauss(0, sigma)
            walks.append(walk)
        drift = walks[-1] - walks[0]
        for k in range(count):
            total[k] += walks[k] - drift * k / count
        tau *= 10
    out = []
    for k in range(count):
        theta = 2 * math.pi * k / count
        slow = sum(a * math.sin(f * theta + p) for f, p, a in bulges)
        out.append(min(1.0, max(0.3, 0.75 + slow + total[k])))
    return out


def ring(cx, cy, radius, count, rng, clockwise=False):
    radii = ragged_radii(count, rng)
    # Longitude degrees shrink towards the poles: widen them so that the
    # country looks round on the ground.
    stretch = 1 / math.cos(math.radians(cy))
    points = []
    for k in range(count):
        theta = 2 * math.pi * k / count * (-1 if clockwise else 1)
        r = radius * radii[k]
        points.append((cx + r * stretch * math.cos(theta), cy + r * math.sin(theta)))
    points.append(points[0])
    return points


def country(cx, cy, radius, vertices, rng):
    """A MultiPolygon: the mainland with a lake inside its smallest radius,
    and islands in sectors of their own beyond its largest."""
    islands = 0 if vertices < 2000 else min(12, vertices // 20000 + 2)
    lake = max(8, vertices // 50)
    island_points = max(8, vertices // 40) if islands else 0
    main = max(16, vertices - lake - islands * island_points)
    mainland = ring(cx, cy, radius, main, rng)
    hole = ring(cx, cy, radius * 0.2, lake, rng, clockwise=True)
    polygons = [[mainland, hole]]
    for i in range(islands):
        sector = 2 * math.pi * (i + rng.uniform(0.3, 0.7)) / islands
        distance = radius * rng.uniform(1.08, 1.16)
        size = radius * rng.uniform(0.01, 0.03)
        stretch = 1 / math.cos(math.radians(cy))
        polygons.append([ring(cx + distance * stretch * math.cos(sector),
                              cy + distance * math.sin(sector), size, island_points, rng)])
    return polygons


def sizes(rng):
    """Vertex counts of the other countries: a long tail, summing to OTHERS."""
    weights = [1 / (i + 1) ** 1.1 * rng.uniform(0.7, 1.3) for i in range(COUNTRIES - 1)]
    total = sum(weights)
    return [max(200, int(OTHERS * w / total)) for w in weights]


def write(out, polygons, properties):
    rings = ",".join(
        "[" + ",".join("[" + ",".join("[%.7f,%.7f]" % p for p in r) + "]" for r in poly) + "]"
        for poly in polygons)
    out.write('{"type":"Feature","properties":{%s},"geometry":'
              '{"type":"MultiPolygon","coordinates":[%s]}}' % (properties, rings))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("out")
    parser.add_argument("--scale", type=float, default=1.0)
    parser.add_argument("--seed", type=int, default=29)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    counts = [int(n * args.scale) for n in sizes(rng)]
    with open(args.out, "w", encoding="ascii", newline="\n") as out:
        out.write('{"type":"FeatureCollection","name":"coastlines","features":[\n')
        big = int(LARGEST * args.scale)
        largest = country(*BIG_CENTRE, BIG_RADIUS, big, rng)
        write(out, largest, '"name":"Country 1","vertices":%d' % big)
        for i, n in enumerate(counts):
            cx = GRID_WEST + 1.7 * SLOT * (i % GRID_COLUMNS)
            cy = GRID_SOUTH + SLOT * (i // GRID_COLUMNS)
            out.write(",\n")
            write(out, country(cx, cy, SLOT * 0.38, n, rng),
                  '"name":"Country %d","vertices":%d' % (i + 2, n))
        out.write("\n]}\n")
    coast = largest[0][0]
    for lon, lat in (coast[0], coast[len(coast) // 2]):
        print("%.7f,%.7f" % (lat, lon))


if __name__ == "__main__":
    main()
