"""Far elements and the depth planes, end to end in crimpa-mars under Xvfb.

A design file may place a point far beyond the rest in depth, or beyond what
single precision holds. The window still shows the design, and everything else
looks as it does without that point: only the point's own pixels differ, and
the point shows behind the scene as it does in front. A design itself keeps its
depth order at every zoom step wherever it lies: the picture is the one a GL
without depth clamping draws.
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
# A flat 3 by 3 grid of points in four quads about the origin.
GRID = ["%d %d %d 0 0" % (3 * j + i + 1, i - 1, j - 1) for j in range(3) for i in range(3)]
GRID_FACES = ["1 4 1 2 5 4 1", "2 4 2 3 6 5 1", "3 4 4 5 8 7 1", "4 4 5 6 9 8 1"]
# A GL that does not clamp depth: the same build, drawing what lies beyond the planes cut.
WITHOUT_CLAMPING = ("env", "MESA_GL_VERSION_OVERRIDE=2.1", "MESA_EXTENSION_OVERRIDE=-GL_ARB_depth_clamp")


def grid_with(far=None):
    """The grid as a design file, with a tenth point beside it at (1.4, 1.3, far)."""
    points = GRID + (["10 1.4 1.3 %r 0" % far] if far is not None else [])
    return "\n".join(["%d 4 0" % len(points)] + points + GRID_FACES) + "\n"


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


def write_design(prog, entry, text):
    """A design file under the name the design menu's entry reads, in the program's directory."""
    with open(os.path.join(prog.workdir, FILES[entry]), "w") as f:
        f.write(text)


def still(prog):
    """The window once every input so far has been handled and it has stopped changing."""
    prog.sync("w", WRITE_REPLY)
    return prog.wait_still()


def load_design(prog, entry, points):
    start = len(prog.output())
    prog.choose_menu([DESIGNS, entry])
    prog.wait_for_output("read %d points ... done\n" % points, start=start)


def drag_from_middle(prog, dx, dy):
    """A left drag from the window's middle: half a degree per pixel, down about x, right about z."""
    _, _, w, h = prog.geometry()
    prog.drag(w // 2, h // 2, w // 2 + dx, h // 2 + dy)


class FarElements(unittest.TestCase):
    def setUp(self):
        self.x, self.prog = harness.start_for_test(self, "PROGRAM_CRIMPA_MARS", TITLE)
        self.prog.wait_for_count(START_EDGES, 3)
        self.rot = [START_ROT_X, START_ROT_Z]

    def write(self, entry, text):
        write_design(self.prog, entry, text)

    def still(self):
        return still(self.prog)

    def load(self, entry, points):
        load_design(self.prog, entry, points)
        return self.still()

    def drag(self, dx, dy):
        drag_from_middle(self.prog, dx, dy)
        self.rot[0] += dy * 0.5
        self.rot[1] += dx * 0.5

    def count(self, img, predicate):
        x, y, w, h = self.prog.geometry()
        return img.count(predicate, (x, y, x + w, y + h))

    def where(self, p, k=K):
        """The window pixel (x, y) a model point is drawn at in the current view, k the half-size
        across the window's height (the start zoom's by default)."""
        x, y, w, h = self.prog.geometry()
        ex, ey, _ = eye(p, *self.rot)
        a = k * w / h
        return (ex + a) / (2 * a) * w, (k - ey) / (2 * k) * h

    def differing(self, a, b):
        """Window pixels (x, y) in which two screenshots differ."""
        x0, y0, w, h = self.prog.geometry()
        return [(x, y) for y in range(h) for x in range(w) if a.pixel(x0 + x, y0 + y) != b.pixel(x0 + x, y0 + y)]

    def assert_only_on(self, a, b, points, k=K):
        """a and b differ only where the point, segment or triangle of model points is drawn: the
        element's own pixels, with its spheres and tubes. The display turns in single precision, which
        may move a far point by a few parts in 1e8 of its distance."""
        x, y, w, h = self.prog.geometry()
        farthest = max(math.sqrt(sum(c * c for c in p)) for p in points)
        radius = 12 + 1.2e-7 * farthest / (2 * k) * h
        corners = [self.where(p, k) for p in points]
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
        # Across the line of sight 3.5e38 to 3.7e38 deep in the start view, every coordinate within
        # single precision but no corner's distance from the origin: too far out to be drawn.
        self.write(5, "3 1 0\n1 1.33621e38 3.08645e38 1.00913e38 0\n2 9.92475e37 3.31156e38 1.04333e38 0\n"
                      "3 1.14237e38 3.13862e38 1.64135e38 0\n1 3 1 2 3 1\n")
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
            ("a lone vertex at depth -1e6", (0, -160), (-0.84, -0.69, -1e6), False),
            ("a face reaching 1e6", (0, -160), (0.3, 0.2, 1e6), True),
            ("a face reaching -1e6", (0, -160), (0.3, 0.2, -1e6), True),
            ("a point far along x turned into the line of sight", (-90, -90), (1e6, 0, 0), False),
            ("a point far along -x turned into the line of sight behind", (-90, -90), (-1e6, 0, 0), False),
        )
        for what, (rot_x, rot_z), far, face in cases:
            with self.subTest(what):
                self.drag(int(2 * (rot_z - self.rot[1])), int(2 * (rot_x - self.rot[0])))
                extra = ["%d 3 1 2 %d 1" % (n_f + 1, n_v + 1)] if face else []
                self.write(6, "\n".join(["%d %d 0" % (n_v + 1, n_f + len(extra))] + vertices
                                        + ["%d %r %r %r 0" % ((n_v + 1,) + far)] + faces + extra) + "\n")
                before = self.load(5, n_v)
                after = self.load(6, n_v + 1)
                self.assert_only_on(before, after, (corner if face else []) + [far])
                if not (face and far[2] < 0):  # a face behind the design is hidden by it
                    self.assertGreater(before.differing(after), 40, "the far element is drawn")

    def test_a_far_vertex_behind_the_scene_is_drawn_at_the_far_plane_as_one_in_front_at_the_near(self):
        self.drag(320, 140)  # the top view
        self.write(5, grid_with())
        plain = self.load(5, 9)
        outline = {}
        for far in (1e4, -1e4, -1e6, -3e38):
            with self.subTest(far=far):
                self.write(6, grid_with(far))
                shown = self.load(6, 10)
                self.assert_only_on(plain, shown, [(1.4, 1.3, far)])
                outline[far] = self.differing(plain, shown)
                self.assertGreater(len(outline[far]), 40, "its sphere is drawn")
                # Flat at the plane, its sphere's shading may differ; never where it shows.
                self.assertEqual(outline[1e4], outline[far], "its sphere shows where it shows in front")

    def test_a_vertex_999_half_sizes_behind_is_drawn_after_one_zoom_step_in(self):
        self.drag(320, 140)
        self.write(5, grid_with())
        self.write(6, grid_with(-999 * K))
        self.assertGreater(self.load(5, 9).differing(self.load(6, 10)), 40, "drawn where the planes reach it")
        self.prog.key("plus")
        stray = self.still()
        plain = self.load(5, 9)
        self.assert_only_on(plain, stray, [(1.4, 1.3, -999 * K)], k=K / 1.1)
        self.assertGreater(plain.differing(stray), 20, "drawn at the far plane one step in")


# A six-sided pyramid with its apex at z = 6, and a tetrahedron with one vertex at z = 9.
PYRAMID = ["1 0 0 6.0 0"] + ["%d %r %r 0 0" % (i + 2, 3 * math.cos(i * math.pi / 3), 3 * math.sin(i * math.pi / 3))
                             for i in range(6)]
PYRAMID_FACES = ["%d 3 1 %d %d %d" % (i + 1, i + 2, (i + 1) % 6 + 2, i + 1) for i in range(6)] + ["7 6 7 6 5 4 3 2 2"]
SPIKE = ["1 0 0 9 0", "2 3 0 0 0", "3 -1.5 2.59807621 0 0", "4 -1.5 -2.59807621 0 0"]
SPIKE_FACES = ["1 3 2 4 3 2", "2 3 1 2 3 1", "3 3 1 3 4 3", "4 3 1 4 2 4"]


def design(points, faces, dz=0.0):
    """A design file of the points (lines "index x y z type") moved by dz along z, and the faces."""
    moved = []
    for line in points:
        i, x, y, z, t = line.split()
        moved.append("%s %s %s %r %s" % (i, x, y, float(z) + dz, t))
    return "\n".join(["%d %d 0" % (len(points), len(faces))] + moved + faces) + "\n"


class DeepZoom(unittest.TestCase):
    """The build beside itself on a GL without depth clamping, each on an X server of its own, driven
    alike: a design keeps its depth order at every zoom step wherever it lies, so the two pictures are
    the same."""

    def setUp(self):
        self.progs = []
        for runner in ((), WITHOUT_CLAMPING):
            _, prog = harness.start_for_test(self, "PROGRAM_CRIMPA_MARS", TITLE, runner)
            prog.wait_for_count(START_EDGES, 3)
            self.progs.append(prog)

    def write(self, entry, text):
        for prog in self.progs:
            write_design(prog, entry, text)

    def load(self, entry, points):
        for prog in self.progs:
            load_design(prog, entry, points)

    def drag(self, dx, dy):
        for prog in self.progs:
            drag_from_middle(prog, dx, dy)

    def keys(self, key, count=1):
        for prog in self.progs:
            prog.key_repeat(key, count)

    def pictures(self):
        """Both windows once every input so far has been handled and they have stopped changing."""
        return [still(prog) for prog in self.progs]

    def assert_alike(self, what):
        clamped, unclamped = self.pictures()
        self.assertEqual(0, clamped.differing(unclamped), what)

    def test_the_other_gl_cuts_what_lies_beyond_its_planes(self):
        # Beyond 1e30 no planes follow: the sphere is cut there, drawn at the near plane here.
        self.drag(320, 140)
        self.write(5, grid_with())
        self.write(6, grid_with(1e31))
        self.load(5, 9)
        plain = self.pictures()
        self.load(6, 10)
        clamped, unclamped = self.pictures()
        self.assertEqual(0, plain[1].differing(unclamped))
        self.assertGreater(plain[0].differing(clamped), 40)

    def test_the_pyramid_and_the_spike_keep_their_depth_order_at_every_deep_zoom_step(self):
        self.write(5, design(PYRAMID, PYRAMID_FACES))
        self.write(6, design(SPIKE, SPIKE_FACES))
        self.load(5, 7)
        self.drag(0, 140)  # the top view: the apex in the middle of the window, nearest the viewer
        self.keys("plus", 40)
        self.assert_alike("the pyramid 40 steps in")
        for step in range(41, 61):
            self.keys("plus")
            self.assert_alike("the pyramid %d steps in" % step)
        self.load(6, 4)
        self.assert_alike("the spike 60 steps in")
        for step in range(59, 39, -1):
            self.keys("minus")
            self.assert_alike("the spike %d steps in" % step)

    def test_designs_far_from_the_origin_keep_their_depth_order(self):
        self.drag(0, 140)
        steps = (0, 20, 40, 50, 55, 60)
        for entry, dz in ((5, 10.0), (6, 100.0), (7, -1000.0)):
            self.write(entry, design(PYRAMID, PYRAMID_FACES, dz))
            self.load(entry, 7)
            for before, step in zip((0,) + steps, steps):
                if step > before:
                    self.keys("plus", step - before)
                self.assert_alike("the pyramid moved %g, %d steps in" % (dz, step))
            self.keys("minus", 60)


if __name__ == "__main__":
    unittest.main()
