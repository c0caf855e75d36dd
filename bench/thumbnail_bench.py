#!/usr/bin/env python3
"""Times the whole kel-render process making a file-manager thumbnail of a mesh the size of
the Stanford bunny (about 35,900 vertices, 71,800 triangles, a 2.6 MB object file).

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


def write_mesh(path, rings=134, segments=268):
    """A bumpy sphere: one smooth surface of triangles, wound counter-clockwise from outside."""
    with open(path, "w") as out:
        out.write(f"{(rings + 1) * segments}\n")
        for r in range(rings + 1):
            theta = math.pi * r / rings
            for s in range(segments):
                phi = 2 * math.pi * s / segments
                bump = 1 + 0.08 * math.sin(5 * theta) * math.cos(7 * phi)
                x = bump * math.sin(theta) * math.cos(phi)
                y = bump * math.cos(theta)
                z = bump * math.sin(theta) * math.sin(phi)
                out.write(f"{r * segments + s} {x:.6f} {y:.6f} {z:.6f}\n")
        out.write("1\n")
        out.write(f"{2 * rings * segments}\n")
        for r in range(rings):
            for s in range(segments):
                a = r * segments + s
                b = r * segments + (s + 1) % segments
                c = a + segments
                d = b + segments
                out.write(f"3 {a} {b} {d}\n3 {a} {d} {c}\n")


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


def main():
    kel_render = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 21
    size = sys.argv[3] if len(sys.argv) > 3 else "256"
    with tempfile.TemporaryDirectory() as folder:
        write_mesh(os.path.join(folder, "bunny.obj"))
        scene = os.path.join(folder, "bunny.kel")
        with open(scene, "w") as out:
            out.write(SCENE)
        output = os.path.join(folder, "thumb.png")
        mb = os.path.getsize(os.path.join(folder, "bunny.obj")) / 1e6
        times = []
        cpu = []
        for _ in range(runs):
            before = resource.getrusage(resource.RUSAGE_CHILDREN)
            start = time.perf_counter()
            subprocess.run([kel_render, "--thumbnail", size, scene, output], check=True)
            times.append((time.perf_counter() - start) * 1000)
            after = resource.getrusage(resource.RUSAGE_CHILDREN)
            cpu.append((after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000)
        print(f"thumbnail {size} px of a {mb:.2f} MB object file, {runs} runs: median "
              f"{statistics.median(times):.1f} ms, fastest {min(times):.1f} ms, "
              f"slowest {max(times):.1f} ms (whole process); median CPU time "
              f"{statistics.median(cpu):.1f} ms")
        if len(sys.argv) > 4:
            subprocess.run(["cp", output, sys.argv[4]], check=True)


if __name__ == "__main__":
    main()
