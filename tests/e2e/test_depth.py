"""Far elements and the depth planes, end to end in crimpa-mars under Xvfb.

A design file may place a point far beyond the rest in depth, or beyond what
single precision holds. The window still shows the design, and everything else
looks as it does without that point: only the point's own pixels differ.
"""
import math
import os
import unittest

import harness

TITLE = "Rigid folding by TZL - MARS design"
START_EDGES = ".\n generated 24 edges\n"
DESIGNS = 6  # the design submenu in the main menu
# Design menu entries and their file names.
FILES = {5: "fold1b.cqv", 6: "fold1c.cqv", 7: "fold1d.cqv"}
WRITE_REPLY = r"write \d+ vertices \.\.\. write \d+ vertices \.\.\. "
START_ROT_X, START_ROT_Z = -70.0, -160.0
# Half-size of the start view across the window's height, as the viewer computes it in single precision.
K = 1.7677669525146484

SQUARE = "1 -1 -1 0 0\n2 1 -1 0 0\n3 1 1 0 0\n4 -1 1 0 0\n"


def coloured(r, g, b):
    return r < 245 or g < 245 or b < 245


def red(r, g, b):
    return r > 200 and g < 80 and b < 80


def yellow(r, g, b):
    return r > 200 and g > 200 and b < 80


def distance_to_polygon(q, corners):
    """Pixel distance from q to a point, a segment or a convex polygon (0 inside)."""
    def to_segment(a, b):
        dx, dy = b[0] - a[0], b[1] - a[1]
        t = 0 if dx == dy == 0 else max(0, min(1, ((q[0] - a[0]) * dx + (q[1] - a[1]) * dy) / (dx * dx + dy * dy)))
        return math.hypot(q[0] - a[0] - t * dx, q[1] - a[1] - t * dy)
    n = len(corners)
    if n >= 3:
        sides = [(b[0] - a[0]) * (q[1] - a[1]) - (b[1] - a[1]) * (q[0] - a[0])
                 for a, b in zip(corners, corners[1:] + corners[:1])]
        if all(s >= 0 for s in sides) or all(s <= 0 for s in sides):
            return 0
    return min(to_segment(corners[i], corners[(i + 1) % n]) for i in range(n))


def eye(p, rot_x, rot_z):
    """A model point in eye space: turned about z by rot_z, then about x by rot_x (degrees)."""
    cx, sx = math.cos(math.radians(rot_x)), math.sin(math.radians(rot_x))
    cz, sz = math.cos(math.radians(rot_z)), math.sin(math.radians(rot_z))
    x, y = cz * p[0] - sz * p[1], sz * p[0] + cz * p[1]
    return x, cx * y - sx * p[2], sx * y + cx * p[2]


class FarElements(unittest.TestCase):
    def setUp(self):
        self.x, self.prog = harness.start_for_test(self, "PROGRAM_CRIMPA_MARS", TITLE)
        self.prog.wait_for_count(START_EDGES, 3)
        self.rot = [START_ROT_X, START_ROT_Z]

    def write(self, entry, text):
        with open(os.path.join(self.prog.workdir, FILES[entry]), "w") as f:
            f.write(text)

    def still(self):
        """The window once every input so far has been handled and it has stopped changing."""
        self.prog.sync("w", WRITE_REPLY)
        return self.prog.wait_still()

    def load(self, entry, points):
        start = len(self.prog.output())
        self.prog.choose_menu([DESIGNS, entry])
        self.prog.wait_for_output("read %d points ... done\n" % points, start=start)
        return self.still()

    def drag(self, dx, dy):
        """A left drag from the window's middle: half a degree per pixel, down about x, right about z."""
        _, _, w, h = self.prog.geometry()
        self.prog.drag(w // 2, h // 2, w // 2 + dx, h // 2 + dy)
        self.rot[0] += dy * 0.5
        self.rot[1] += dx * 0.5

    def count(self, img, predicate):
        x, y, w, h = self.prog.geometry()
        return img.count(predicate, (x, y, x + w, y + h))

    def where(self, p):
        """The window pixel (x, y) a model point is drawn at in the current view and start zoom."""
        x, y, w, h = self.prog.geometry()
        ex, ey, _ = eye(p, *self.rot)
        a = K * w / h
        return (ex + a) / (2 * a) * w, (K - ey) / (2 * K) * h

    def differing(self, a, b):
        """Window pixels (x, y) in which two screenshots differ."""
        x0, y0, w, h = self.prog.geometry()
        return [(x, y) for y in range(h) for x in range(w) if a.pixel(x0 + x, y0 + y) != b.pixel(x0 + x, y0 + y)]

    def assert_only_on(self, a, b, points):
        """a and b differ only where the point, segment or triangle of model points is drawn: the
        element's own pixels, with its spheres and tubes. The display turns in single precision, which
        may move a far point by a few parts in 1e8 of its distance."""
        x, y, w, h = self.prog.geometry()
        farthest = max(math.sqrt(sum(c * c for c in p)) for p in points)
        radius = 12 + 1.2e-7 * farthest / (2 * K) * h
        corners = [self.where(p) for p in points]
        differing = self.differing(a, b)
        away = [q for q in differing if distance_to_polygon(q, corners) > radius]
        self.assertEqual([], away[:20], "%d of %d differing pixels lie away from %s"
                         % (len(away), len(differing), corners))

    def test_a_vertex_beyond_single_precision_in_view_leaves_the_square_shown(self):
        self.write(5, "5 1 0\n" + SQUARE + "5 0.3 0.2 1e39 0\n1 4 1 2 3 4 1\n")
        self.load(5, 5)
        self.drag(0, 140)  # straight down: the far vertex comes into view
        shown = self.still()
        self.assertGreater(self.count(shown, red), 20000, "the square's face")
        self.assertGreater(self.count(shown, yellow), 500, "its edges and corners")

    def test_a_huge_slanted_triangle_leaves_the_start_view_shown(self):
        # Across the line of sight 5e38 to 6e38 deep in the start view: too far out to be drawn.
        self.write(5, "3 1 0\n1 3e38 5.3e38 1.1e38 0\n2 1.1e38 6e38 1.1e38 0\n3 1.4e38 3.9e38 3.1e38 0\n"
                      "1 3 1 2 3 1\n")
        shown = self.load(5, 3)
        self.assertGreater(self.count(shown, coloured), 1000, "the axes")

    def test_a_far_element_in_view_changes_only_its_own_pixels(self):
        # The start design as key w writes it: the counts, the vertex lines, the face lines.
        self.prog.sync("w", WRITE_REPLY)
        with open(os.path.join(self.prog.workdir, "wemo.txt")) as f:
            lines = f.read().splitlines()
        n_v, n_f = (int(t) for t in lines[0].split()[:2])
        vertices, faces = lines[1:1 + n_v], lines[1 + n_v:1 + n_v + n_f]
        self.write(5, "\n".join(lines[:1 + n_v + n_f]) + "\n")
        corner = [[float(t) for t in vertices[v].split()[1:4]] for v in (0, 1)]
        cases = (
            # what, view (rotX, rotZ), the far vertex, a face from the first two corners to it
            ("a lone vertex at depth 1e6", (0, -160), (-0.84, -0.69, 1e6), False),
            ("a face reaching 1e6", (0, -160), (0.3, 0.2, 1e6), True),
            ("a point far along x turned into the line of sight", (-90, -90), (1e6, 0, 0), False),
        )
        for what, (rot_x, rot_z), far, face in cases:
            with self.subTest(what):
                self.drag(int(2 * (rot_z - self.rot[1])), int(2 * (rot_x - self.rot[0])))
                extra = ["%d 3 1 2 %d 1" % (n_f + 1, n_v + 1)] if face else []
                self.write(6, "\n".join(["%d %d 0" % (n_v + 1, n_f + len(extra))] + vertices
                                        + ["%d %r %r %r 0" % ((n_v + 1,) + far)] + faces + extra) + "\n")
                before = self.load(5, n_v)
                self.assert_only_on(before, self.load(6, n_v + 1), (corner if face else []) + [far])

if __name__ == "__main__":
    unittest.main()
