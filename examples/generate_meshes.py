#!/usr/bin/env python3
"""Writes the example meshes into this folder: meshes as other programs write them, which
Kel opens alone or names from a scene.

- torus.obj: a Wavefront torus whose outer and inner halves are two smoothing groups, so it
  shades smoothly with a sharp seam where the groups meet.
- icosphere.ply: a small binary PLY sphere with per-vertex colours (which Kel skips); it
  has no smoothing information, so the crease rule makes it one smooth surface.
- nut.stl: a binary STL hex nut (its header begins with "solid", as many do): flat faces
  meet at sharp edges, the threaded hole is smooth.
- workshop.kel: a scene that names all three with their own transforms and materials.

Run it from anywhere: python3 examples/generate_meshes.py
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def fmt(value):
    text = "%.6g" % value
    return "0" if text in ("-0", "0") else text


def sub(a, b):
    return [a[i] - b[i] for i in range(3)]


def cross(a, b):
    return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]


def dot(a, b):
    return sum(a[i] * b[i] for i in range(3))


def outward(points, face, outside):
    """The face with its corners counter-clockwise seen from `outside` of it."""
    n = cross(sub(points[face[1]], points[face[0]]), sub(points[face[2]], points[face[0]]))
    return face if dot(n, outside) >= 0 else list(reversed(face))


def torus_obj(rings=32, sides=16, major=1.0, minor=0.4):
    lines = ["# A torus about the y axis: two smoothing groups, outer and inner half.",
             "mtllib torus.mtl", "o torus"]
    for i in range(rings):
        u = 2 * math.pi * i / rings
        for j in range(sides):
            v = 2 * math.pi * j / sides
            r = major + minor * math.cos(v)
            lines.append("v %s %s %s" % (fmt(r * math.cos(u)), fmt(minor * math.sin(v)),
                                         fmt(r * math.sin(u))))
    index = lambda i, j: (i % rings) * sides + (j % sides) + 1
    groups = {1: [], 2: []}
    for i in range(rings):
        for j in range(sides):
            # Seen from outside the tube, (i, j) -> (i, j+1) -> (i+1, j+1) -> (i+1, j).
            quad = [index(i, j), index(i, j + 1), index(i + 1, j + 1), index(i + 1, j)]
            outer = math.cos(2 * math.pi * (j + 0.5) / sides) >= 0
            groups[1 if outer else 2].append(quad)
    for group, quads in groups.items():
        lines += ["g %s" % ("outer" if group == 1 else "inner"), "usemtl metal", "s %d" % group]
        lines += ["f " + " ".join(str(c) for c in q) for q in quads]
    return "\n".join(lines) + "\n"


def icosphere(levels=2):
    t = (1 + math.sqrt(5)) / 2
    points = [[-1, t, 0], [1, t, 0], [-1, -t, 0], [1, -t, 0], [0, -1, t], [0, 1, t],
              [0, -1, -t], [0, 1, -t], [t, 0, -1], [t, 0, 1], [-t, 0, -1], [-t, 0, 1]]
    points = [[c / math.sqrt(dot(p, p)) for c in p] for p in points]
    faces = [[0, 11, 5], [0, 5, 1], [0, 1, 7], [0, 7, 10], [0, 10, 11], [1, 5, 9], [5, 11, 4],
             [11, 10, 2], [10, 7, 6], [7, 1, 8], [3, 9, 4], [3, 4, 2], [3, 2, 6], [3, 6, 8],
             [3, 8, 9], [4, 9, 5], [2, 4, 11], [6, 2, 10], [8, 6, 7], [9, 8, 1]]
    for _ in range(levels):
        middle = {}

        def mid(a, b):
            key = (min(a, b), max(a, b))
            if key not in middle:
                m = [(points[a][k] + points[b][k]) / 2 for k in range(3)]
                length = math.sqrt(dot(m, m))
                points.append([c / length for c in m])
                middle[key] = len(points) - 1
            return middle[key]

        finer = []
        for a, b, c in faces:
            ab, bc, ca = mid(a, b), mid(b, c), mid(c, a)
            finer += [[a, ab, ca], [b, bc, ab], [c, ca, bc], [ab, bc, ca]]
        faces = finer
    faces = [outward(points, f, points[f[0]]) for f in faces]
    return points, faces


def binary_ply(points, faces):
    header = ("ply\nformat binary_little_endian 1.0\ncomment Kel example: an icosphere\n"
              "element vertex %d\nproperty float x\nproperty float y\nproperty float z\n"
              "property uchar red\nproperty uchar green\nproperty uchar blue\n"
              "element face %d\nproperty list uchar int vertex_indices\nend_header\n"
              % (len(points), len(faces)))
    body = b"".join(struct.pack("<fffBBB", *p, 200, 120, 40) for p in points)
    body += b"".join(struct.pack("<B3i", 3, *f) for f in faces)
    return header.encode("ascii") + body


def hex_nut(segments=36, across=1.0, hole=0.5, height=0.45):
    """A hex nut about the z axis, outer boundary sampled where the hole is."""
    corner = across / math.cos(math.radians(30))  # centre to a corner of the hexagon
    points, faces = [], []

    def ring(radius_of, z):
        start = len(points)
        for i in range(segments):
            a = 2 * math.pi * i / segments
            r = radius_of(a)
            points.append([r * math.cos(a), r * math.sin(a), z])
        return start

    def hexagon(a):
        d = math.degrees(a) % 60 - 30
        return corner * math.cos(math.radians(30)) / math.cos(math.radians(d))

    out_top, out_bottom = ring(hexagon, height / 2), ring(hexagon, -height / 2)
    in_top, in_bottom = ring(lambda a: hole, height / 2), ring(lambda a: hole, -height / 2)
    for i in range(segments):
        j = (i + 1) % segments
        a = 2 * math.pi * (i + 0.5) / segments
        radial = [math.cos(a), math.sin(a), 0]
        quads = [([out_top + i, out_top + j, in_top + j, in_top + i], [0, 0, 1]),
                 ([out_bottom + i, out_bottom + j, in_bottom + j, in_bottom + i], [0, 0, -1]),
                 ([out_top + i, out_bottom + i, out_bottom + j, out_top + j], radial),
                 ([in_top + i, in_bottom + i, in_bottom + j, in_top + j], [-c for c in radial])]
        for quad, outside in quads:
            for tri in ([quad[0], quad[1], quad[2]], [quad[0], quad[2], quad[3]]):
                faces.append(outward(points, tri, outside))
    return points, faces


def binary_stl(points, faces, name):
    header = ("solid %s (binary, written by Kel's example generator)" % name).encode("ascii")
    data = header.ljust(80, b" ") + struct.pack("<I", len(faces))
    for f in faces:
        data += struct.pack("<3f", 0, 0, 0)  # facet normals are for Kel to compute
        for i in f:
            data += struct.pack("<3f", *points[i])
        data += struct.pack("<H", 0)
    return data


def workshop_kel():
    def record(name, rotation, scaling, translation, colour, diffuse, specular, shininess):
        return [name, " ".join(fmt(v) for v in rotation), " ".join(fmt(v) for v in scaling),
                " ".join(fmt(v) for v in translation), " ".join(str(c) for c in colour),
                fmt(diffuse), fmt(specular), str(shininess)]
    lines = ["3.6 3.4 6", "0.3 0.05 0.3", "0 1 0", "5", "10", "1.2", "1", "255 255 255",
             "-1 2 4", "0.2", "3"]
    lines += record("torus.obj", (20, 0, 0), (1, 1, 1), (-0.6, 0.35, -0.4), (90, 140, 200),
                    0.8, 0.5, 40)
    lines += record("nut.stl", (-90, 0, 0), (0.8, 0.8, 0.8), (1.1, -0.2, 0.6), (190, 190, 180),
                    0.7, 0.6, 60)
    lines += record("icosphere.ply", (0, 0, 0), (0.45, 0.45, 0.45), (0.4, -0.2, 1.3),
                    (200, 120, 40), 0.8, 0.3, 20)
    return "\n".join(lines) + "\n"


def write(name, data):
    mode = "wb" if isinstance(data, bytes) else "w"
    with open(os.path.join(HERE, name), mode, **({} if mode == "wb" else {"newline": "\n"})) as out:
        out.write(data)


def main():
    write("torus.obj", torus_obj())
    write("icosphere.ply", binary_ply(*icosphere()))
    write("nut.stl", binary_stl(*hex_nut(), "nut"))
    write("workshop.kel", workshop_kel())


if __name__ == "__main__":
    main()
