#!/usr/bin/env python3
"""Writes the example scenes and their object files into this folder.

Every box face is its own surface, so shading keeps the edges between faces sharp, and
the corners of every face run counter-clockwise seen from outside, so its normal points
outward and back-face culling keeps the faces turned to the camera.

Run it from anywhere: python3 examples/generate.py
"""

import os

HERE = os.path.dirname(os.path.abspath(__file__))


def fmt(value):
    text = "%g" % value
    return "0" if text == "-0" else text


class Mesh:
    def __init__(self):
        self.vertices = []  # (id, x, y, z)
        self.surfaces = []  # list of polygons, each a list of ids

    def vertex(self, x, y, z):
        vid = len(self.vertices)
        self.vertices.append((vid, x, y, z))
        return vid

    def box(self, x0, x1, y0, y1, z0, z1):
        """Six one-quad surfaces of the box [x0, x1] x [y0, y1] x [z0, z1]."""
        v = {}
        for i, x in enumerate((x0, x1)):
            for j, y in enumerate((y0, y1)):
                for k, z in enumerate((z0, z1)):
                    v[i, j, k] = self.vertex(x, y, z)
        faces = [
            [(0, 0, 0), (0, 0, 1), (0, 1, 1), (0, 1, 0)],  # -x
            [(1, 0, 0), (1, 1, 0), (1, 1, 1), (1, 0, 1)],  # +x
            [(0, 0, 0), (1, 0, 0), (1, 0, 1), (0, 0, 1)],  # -y
            [(0, 1, 0), (0, 1, 1), (1, 1, 1), (1, 1, 0)],  # +y
            [(0, 0, 0), (0, 1, 0), (1, 1, 0), (1, 0, 0)],  # -z
            [(0, 0, 1), (1, 0, 1), (1, 1, 1), (0, 1, 1)],  # +z
        ]
        for face in faces:
            self.surfaces.append([[v[c] for c in face]])

    def text(self):
        lines = [str(len(self.vertices))]
        for vid, x, y, z in self.vertices:
            lines.append("%d %s %s %s" % (vid, fmt(x), fmt(y), fmt(z)))
        lines.append(str(len(self.surfaces)))
        for polygons in self.surfaces:
            lines.append(str(len(polygons)))
            for corners in polygons:
                lines.append("%d %s" % (len(corners), " ".join(str(c) for c in corners)))
        return "\n".join(lines) + "\n"


def triple(values):
    return " ".join(fmt(v) for v in values)


def scene_text(camera, frustum, light, ambient, objects):
    """camera: (from, to, up); frustum: (near, far, height);
    light: (intensity, colour, direction); objects: dicts with the record's fields."""
    lines = [triple(camera[0]), triple(camera[1]), triple(camera[2])]
    lines += [fmt(v) for v in frustum]
    lines += [fmt(light[0]), " ".join(str(c) for c in light[1]), triple(light[2])]
    lines += [fmt(ambient), str(len(objects))]
    for o in objects:
        lines += [
            o["file"],
            triple(o.get("rotation", (0, 0, 0))),
            triple(o.get("scaling", (1, 1, 1))),
            triple(o.get("translation", (0, 0, 0))),
            " ".join(str(c) for c in o["colour"]),
            fmt(o.get("diffuse", 0.8)),
            fmt(o.get("specular", 0.3)),
            str(o.get("shininess", 20)),
        ]
    return "\n".join(lines) + "\n"


def cube():
    mesh = Mesh()
    mesh.box(-1, 1, -1, 1, -1, 1)
    return mesh


def table():
    mesh = Mesh()
    mesh.box(-0.8, 0.8, 0.72, 0.8, -0.5, 0.5)  # top
    for x in (-0.72, 0.64):
        for z in (-0.42, 0.34):
            mesh.box(x, x + 0.08, 0, 0.72, z, z + 0.08)
    return mesh


def chair():
    """Seat at 0.45, the back on the -z side."""
    mesh = Mesh()
    mesh.box(-0.22, 0.22, 0.42, 0.47, -0.22, 0.22)  # seat
    for x in (-0.22, 0.17):
        for z in (-0.22, 0.17):
            mesh.box(x, x + 0.05, 0, 0.42, z, z + 0.05)
    mesh.box(-0.22, 0.22, 0.47, 1.0, -0.22, -0.18)  # back
    return mesh


def floor():
    mesh = Mesh()
    corners = [mesh.vertex(x, 0, z) for x, z in ((-1.3, -1.3), (-1.3, 1.3), (1.3, 1.3), (1.3, -1.3))]
    mesh.surfaces.append([corners])
    return mesh


def write(name, text):
    with open(os.path.join(HERE, name), "w", newline="\n") as out:
        out.write(text)


def main():
    write("cube.obj", cube().text())
    write("table.obj", table().text())
    write("chair.obj", chair().text())
    write("floor.obj", floor().text())

    write("cube.kel", scene_text(
        camera=((4, 3, 5), (0, 0, 0), (0, 1, 0)),
        frustum=(4, 10, 1.2),
        light=(0.8, (255, 255, 255), (0.2, 1, 0.45)),
        ambient=0.2,
        objects=[dict(file="cube.obj", colour=(200, 60, 40), specular=0.4, shininess=20)]))

    write("room.kel", scene_text(
        camera=((3, 2.2, 3.2), (0, 0.4, 0), (0, 1, 0)),
        frustum=(2.5, 7.5, 1.0),
        light=(0.9, (255, 220, 170), (0.4, 1, 0.6)),
        ambient=0.25,
        objects=[
            dict(file="floor.obj", colour=(120, 140, 160), diffuse=0.7, specular=0.1, shininess=5),
            dict(file="table.obj", colour=(150, 90, 40), specular=0.3, shininess=30),
            dict(file="chair.obj", rotation=(0, 180, 0), translation=(0, 0, 0.85),
                 colour=(60, 120, 70), specular=0.2, shininess=10),
            dict(file="chair.obj", translation=(0.1, 0, -0.85),
                 colour=(60, 120, 70), specular=0.2, shininess=10),
        ]))

    write("clipping.kel", scene_text(
        camera=((0, 1.5, 6), (0, 0, 0), (0, 1, 0)),
        frustum=(1, 12, 0.5),
        light=(0.85, (255, 255, 255), (-0.3, 1, 0.7)),
        ambient=0.2,
        objects=[
            # A beam that runs past the camera: it crosses the near plane.
            dict(file="cube.obj", scaling=(0.3, 0.3, 4), translation=(1, -0.4, 3),
                 colour=(220, 180, 40)),
            # A cube that sticks out of the left edge of the view.
            dict(file="cube.obj", translation=(-2.6, 0.3, 0), colour=(40, 90, 200)),
            dict(file="cube.obj", rotation=(30, 45, 0), scaling=(0.7, 0.7, 0.7),
                 colour=(200, 60, 40), specular=0.5, shininess=40),
        ]))


if __name__ == "__main__":
    main()
