#!/usr/bin/env python3
"""Times the whole kel-render process making a file-manager thumbnail of a mesh the size of
the Stanford bunny (about 35,900 vertices, 71,800 triangles): once as a Kel scene with a
2.6 MB object file, and once as a bare OFF mesh (2.5 MB) when kel-render reads meshes.

Usage: bench/thumbnail_bench.py KEL_RENDER [RUNS] [SIZE]
Prints the median, fastest and slowest wall time of RUNS runs (default 21) at SIZE (256),
and the median CPU time (user + system), which on a busy machine is the better guess of
the wall time on an idle one.
"""
import math
import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time


def bumpy_sphere(rings=134, segments=268):
    """Vertices and triangles of a bumpy sphere, wound counter-clockwise from outside."""
    vertices = []
    for r in range(rings + 1):
        theta = math.pi * r / rings
        for s in range(segments):
            phi = 2 * math.pi * s / segments
            bump = 1 + 0.08 * math.sin(5 * theta) * math.cos(7 * phi)
            vertices.append((bump * math.sin(theta) * math.cos(phi), bump * math.cos(theta),
                             bump * math.sin(theta) * math.sin(phi)))
    triangles = []
    for r in range(rings):
        for s in range(segments):
            a = r * segments + s
            b = r * segments + (s + 1) % segments
            triangles += [(a, b, b + segments), (a, b + segments, a + segments)]
    return vertices, triangles


def write_mesh(path):
    """A Kel object file: one smooth surface of triangles."""
    vertices, triangles = bumpy_sphere()
    with open(path, "w") as out:
        out.write(f"{len(vertices)}\n")
        for i, (x, y, z) in enumerate(vertices):
            out.write(f"{i} {x:.6f} {y:.6f} {z:.6f}\n")
        out.write(f"1\n{len(triangles)}\n")
        for a, b, c in triangles:
            out.write(f"3 {a} {b} {c}\n")


def write_off(path):
    vertices, triangles = bumpy_sphere()
    with open(path, "w") as out:
        out.write(f"OFF\n{len(vertices)} {len(triangles)} 0\n")
        for x, y, z in vertices:
            out.write(f"{x:.6f} {y:.6f} {z:.6f}\n")
        for a, b, c in triangles:
            out.write(f"3 {a} {b} {c}\n")


SCENE = """0 0.8 -3.2
0 0 0
0 1 0
1
10
1
1
255 255 255
0.3 0.6 -1
0.2
1
bunny.obj
0 0 0
1 1 1
0 0 0
200 170 130
0.8
0.3
20
"""


def time_thumbnails(kel_render, size, source, output, runs):
    """Median, fastest and slowest wall time and median CPU time in ms, or None when
    kel-render cannot read the source."""
    if subprocess.run([kel_render, "--thumbnail", size, source, output],
                      stderr=subprocess.DEVNULL).returncode != 0:
        return None
    times = []
    cpu = []
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        subprocess.run([kel_render, "--thumbnail", size, source, output], check=True)
        times.append((time.perf_counter() - start) * 1000)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu.append((after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000)
    return statistics.median(times), min(times), max(times), statistics.median(cpu)


def main():
    kel_render = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 21
    size = sys.argv[3] if len(sys.argv) > 3 else "256"
    with tempfile.TemporaryDirectory() as folder:
        write_mesh(os.path.join(folder, "bunny.obj"))
        write_off(os.path.join(folder, "bunny.off"))
        scene = os.path.join(folder, "bunny.kel")
        with open(scene, "w") as out:
            out.write(SCENE)
        output = os.path.join(folder, "thumb.png")
        for label, source, data in (("Kel scene", scene, "bunny.obj"),
                                    ("OFF mesh", os.path.join(folder, "bunny.off"), "bunny.off")):
            mb = os.path.getsize(os.path.join(folder, data)) / 1e6
            result = time_thumbnails(kel_render, size, source, output, runs)
            if result is None:
                print(f"{label}: kel-render cannot read it; not timed")
                continue
            median, fastest, slowest, cpu = result
            print(f"{label}, thumbnail {size} px of {mb:.2f} MB, {runs} runs: median "
                  f"{median:.1f} ms, fastest {fastest:.1f} ms, slowest {slowest:.1f} ms "
                  f"(whole process); median CPU time {cpu:.1f} ms")


if __name__ == "__main__":
    main()
