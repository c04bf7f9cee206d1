"""crimpa-nfmars end to end: the real program in a window under Xvfb."""
import math
import os
import re
import unittest

import harness
from test_hedrix import file_texts, plant_at_temporary_names, read_short_mesh

TITLE = "Rigid folding by TZL - non flat MARS design"
EDGE_LINE = "\n generated 60 edges\n"
PI = 3.14159265358979
# Main menu: six toggles, the design submenu, "Quit".
DESIGNS, QUIT = 6, 7
FILE_MESSAGE = "Datei kann nicht geoeffnet werden!"
# What key w prints once wemo.txt and crInc.txt are written.
WRITE_REPLY = r"write \d+ vertices \.\.\. write \d+ vertices \.\.\. "


# --- an independent computation of the fold ----------------------------------

def sub(p, q):
    return [p[k] - q[k] for k in range(3)]


def add(p, q):
    return [p[k] + q[k] for k in range(3)]


def scale(s, p):
    return [s * p[k] for k in range(3)]


def dot(p, q):
    return sum(p[k] * q[k] for k in range(3))


def norm(p):
    return math.sqrt(dot(p, p))


def cross(p, q):
    return [p[1] * q[2] - p[2] * q[1], p[2] * q[0] - p[0] * q[2], p[0] * q[1] - p[1] * q[0]]


def trilaterate(p1, r1, p2, r2, p3, r3, near):
    """Common point of three spheres nearest `near`, in closed form."""
    d = norm(sub(p2, p1))
    ex = scale(1 / d, sub(p2, p1))
    i = dot(ex, sub(p3, p1))
    ey = sub(sub(p3, p1), scale(i, ex))
    ey = scale(1 / norm(ey), ey)
    ez = cross(ex, ey)
    j = dot(ey, sub(p3, p1))
    x = (r1 * r1 - r2 * r2 + d * d) / (2 * d)
    y = (r1 * r1 - r3 * r3 + i * i + j * j) / (2 * j) - i * x / j
    z = math.sqrt(max(r1 * r1 - x * x - y * y, 0.0))
    base = add(p1, add(scale(x, ex), scale(y, ey)))
    candidates = [add(base, scale(z, ez)), add(base, scale(-z, ez))]
    return min(candidates, key=lambda c: norm(sub(c, near)))


def fold(rho_degrees):
    """The 36 points after folding the start layout to rho."""
    a, b, c = 0.5, 1.0, 0.5 * math.sqrt(2)
    delta = 5.4 / 180 * PI
    h, w = c * math.cos(delta + PI / 4), c * math.sin(delta + PI / 4)
    zt, zm = 0.4329, 0.21645
    p = [None] * 36
    for j in range(6):
        raised = j in (2, 3)
        xs = ([-(b + 2 * a), -(b + a), -b, b, b + a, b + 2 * a] if raised
              else [-(b + 2 * a), -b, a - b, b - a, b, b + 2 * a])
        outer_y = [-(2 * a + 2 * h), -(a + 2 * h), -(a + h), a + h, a + 2 * h, 2 * a + 2 * h][j]
        inner_y = [-(2 * a + 2 * h), -(a + h), -a, a, a + h, 2 * a + 2 * h][j]
        for i in range(6):
            inner = i in (2, 3)
            z = (zt if inner else zm) if raised else (zm if inner else 0.0)
            p[6 * j + i] = [xs[i], inner_y if inner else outer_y, z]
    mx = lambda q: [-q[0], q[1], q[2]]
    my = lambda q: [q[0], -q[1], q[2]]
    mxy = lambda q: [-q[0], -q[1], q[2]]
    rho = rho_degrees / 180 * PI
    k = (a + h) / a
    q = add([a - b, -a, zt], [0.0, -a * math.cos(rho), a * math.sin(rho)])
    p[8], p[26] = q, my(q)
    p[9] = add(q, scale(0.5, sub(p[15], p[14])))
    p[27] = my(p[9])
    n1 = trilaterate(p[14], c, q, 2 * a, p[20], math.hypot(2 * a + h, w), p[13])
    p[13], p[16] = n1, mx(n1)
    p[19] = add(n1, scale(k, sub(p[20], p[14])))
    p[22] = mx(p[19])
    p[7] = add(sub(n1, p[14]), q)
    p[25], p[10], p[28] = my(p[7]), mx(p[7]), mxy(p[7])
    n2 = trilaterate(n1, a, p[19], math.hypot(2 * a + 2 * h, a), p[7], math.sqrt(5) * a, p[12])
    p[12], p[18], p[17], p[23] = n2, my(n2), mx(n2), mxy(n2)
    p[6] = add(p[7], scale(2, sub(n2, n1)))
    p[24], p[11], p[29] = my(p[6]), mx(p[6]), mxy(p[6])
    n3 = trilaterate(p[7], a, q, math.hypot(w, a + h), p[6], math.sqrt(5) * a, p[1])
    p[1], p[31], p[4], p[34] = n3, my(n3), mx(n3), mxy(n3)
    p[0] = add(sub(p[6], p[7]), n3)
    p[30], p[5], p[35] = my(p[0]), mx(p[0]), mxy(p[0])
    p[2] = add(q, scale(k, sub(n3, p[7])))
    p[32], p[3], p[33] = my(p[2]), mx(p[2]), mxy(p[2])
    return p


def read_source_rows(path):
    """The (x, y, z) rows of the _v table of a crInc.txt."""
    rows = re.findall(r"^      \{(.*),  0\},$", harness.read_text(path), re.M)
    return [[float(t) for t in row.split(",")] for row in rows]


def sync(prog):
    """Key w: once both files are written, every earlier key and menu choice has been handled.
    Returns the match of the reply."""
    return prog.sync("w", WRITE_REPLY)


def printed_since(prog, start):
    """All the program printed from output position `start` up to the reply of a sync."""
    end = sync(prog).start()
    return prog.output()[start:end]


SQUARE = ("4 1 0\n1 -1.5 -1.5 0 0\n2 1.5 -1.5 0 0\n3 1.5 1.5 0 0\n4 -1.5 1.5 0 0\n"
          "1 4 1 2 3 4 3\n")



def grid_design(n, size=3.0):
    """An n by n quad grid `size` wide about the origin, its vertices hidden: blue faces on the left
    half, green on the right."""
    step = size / n
    lines = ["%d %d 0" % ((n + 1) ** 2, n * n)]
    for j in range(n + 1):
        for i in range(n + 1):
            lines.append("%d %g %g 0 99" % (j * (n + 1) + i + 1, -size / 2 + i * step, -size / 2 + j * step))
    for j in range(n):
        for i in range(n):
            v = j * (n + 1) + i + 1
            side = 2 if i < n // 2 else 3
            lines.append("%d 4 %d %d %d %d %d" % (j * n + i + 1, v, v + 1, v + n + 2, v + n + 1, side))
    return "\n".join(lines) + "\n"


class CrimpaNfmars(unittest.TestCase):
    def setUp(self):
        self.x, self.prog = harness.start_for_test(self, "PROGRAM_CRIMPA_NFMARS", TITLE)
        self.prog.wait_for_count(EDGE_LINE, 3)

    def path(self, name):
        return os.path.join(self.prog.workdir, name)

    def sync(self):
        return sync(self.prog)

    def printed_since(self, start):
        return printed_since(self.prog, start)

    def write_meshes(self):
        self.sync()
        return read_short_mesh(self.path("wemo.txt"))

    def choose_design(self, entry):
        """Chooses a design file from the menu; returns all the choice printed."""
        start = len(self.prog.output())
        self.prog.choose_menu([DESIGNS, entry])
        return self.printed_since(start)

    def test_title_and_three_edge_lines_at_start(self):
        self.assertEqual(self.prog.output().count(EDGE_LINE), 3, self.prog.output())
        self.assertTrue(self.prog.output().startswith(".\n generated 60 edges\n"))

    def test_R_prints_step_norms_then_rho(self):
        start = len(self.prog.output())
        self.prog.key("R")
        out = self.prog.wait_for_output("rho = -25\n", start=start)[start:]
        norms = out[:out.index("rho = ")].split()
        self.assertGreaterEqual(len(norms), 3)
        for n in norms:
            self.assertGreaterEqual(float(n), 0.0)
        # The refold after the print solves again from the new positions.
        self.assertTrue(self.printed_since(start).endswith("\n"))

    def test_w_writes_the_folded_design(self):
        self.prog.key("R", "R", "r", "r", "r")
        self.prog.wait_for_output("rho = -27\n")
        vertices, faces = self.write_meshes()
        expected = fold(-27)
        self.assertEqual(len(vertices), 36)
        self.assertEqual(len(faces), 25)
        for v, (x, y, z, t) in enumerate(vertices):
            for got, want in zip((x, y, z), expected[v]):
                self.assertAlmostEqual(got, want, delta=1e-5 + 5e-6 * abs(want), msg="vertex %d" % v)
        rows = read_source_rows(self.path("crInc.txt"))
        self.assertEqual(len(rows), 36)
        for v, row in enumerate(rows):
            for got, want in zip(row, expected[v]):
                self.assertAlmostEqual(got, 0.5 * want, delta=1e-9, msg="vertex %d" % v)
        self.assertEqual(faces[0], ([14, 15, 21, 20], 3))

    def test_design_file_from_the_menu_is_loaded_and_shown(self):
        with open(self.path("fold1a.cqv"), "w") as f:
            f.write(SQUARE)
        x, y, w, h = self.prog.geometry()
        self.sync()
        before = self.prog.wait_still()
        out = self.choose_design(4)
        self.assertIn("read 4 points ... done\n", out)
        self.assertIn("read 1 faces ... done\n", out)
        self.assertIn(" generated 4 edges\n", out)
        after = self.prog.wait_still()
        # The square is green; the red and blue faces of the design are gone, but for the axes.
        red_or_blue = lambda r, g, b: (r > g + 60 and r > b + 60) or (b > r + 60 and b > g + 60)
        green = lambda r, g, b: g > r + 60 and g > b + 60
        box = (x, y, x + w, y + h)
        self.assertLess(after.count(red_or_blue, box), before.count(red_or_blue, box) // 20)
        self.assertGreater(after.count(green, box), w * h // 10)
        vertices, faces = self.write_meshes()
        self.assertEqual([v[:3] for v in vertices],
                         [(-1.5, -1.5, 0), (1.5, -1.5, 0), (1.5, 1.5, 0), (-1.5, 1.5, 0)])
        self.assertEqual(faces, [([0, 1, 2, 3], 3)])
        # The design keys leave the loaded mesh alone until I brings the design back.
        self.prog.key("R")
        self.prog.wait_for_output("rho = -25\n")
        self.assertEqual(len(self.write_meshes()[0]), 4)
        self.prog.key("I")
        self.prog.wait_for_output("rho = -26\n")
        self.assertEqual(len(self.write_meshes()[0]), 36)

    def test_large_grid_from_the_menu_answers_the_next_key(self):
        n = 100
        with open(self.path("fold1b.cqv"), "w") as f:
            f.write(grid_design(n))
        x, y, w, h = self.prog.geometry()
        out = self.choose_design(5)
        self.assertIn("read %d points ... done\n" % ((n + 1) ** 2), out)
        self.assertIn("read %d faces ... done\n" % (n * n), out)
        self.assertIn(" generated %d edges\n" % (2 * n * (n + 1)), out)
        start = len(self.prog.output())
        self.prog.key("w")
        self.prog.wait_for_output("write %d vertices ... " % ((n + 1) ** 2), start=start)
        vertices, faces = read_short_mesh(self.path("wemo.txt"))
        self.assertEqual((len(vertices), len(faces)), ((n + 1) ** 2, n * n))
        self.assertEqual(vertices[0][:3], (-1.5, -1.5, 0))
        self.assertEqual(vertices[n + 2][:3], (-1.47, -1.47, 0))
        self.assertEqual(vertices[-1][:3], (1.5, 1.5, 0))
        self.assertEqual(faces[0], ([0, 1, n + 2, n + 1], 2))
        self.assertEqual(faces[-1][1], 3)
        # The grid fills the middle of the window: blue on one side, green on the other.
        blue = lambda r, g, b: b > r + 60 and b > g + 60
        green = lambda r, g, b: g > r + 60 and g > b + 60
        box = (x, y, x + w, y + h)
        shot = self.prog.wait_still()
        n_blue, n_green = shot.count(blue, box), shot.count(green, box)
        self.assertTrue(n_blue > w * h // 20 and n_green > w * h // 20,
                        "blue %d, green %d of %d pixels" % (n_blue, n_green, w * h))

    def test_plus_magnifies_a_grid_wider_than_the_depth_range_and_minus_comes_back(self):
        # 20 units wide: its corners lie 14.1 from the origin, beyond the start's depth planes at 8.8
        with open(self.path("fold1b.cqv"), "w") as f:
            f.write(grid_design(100, 20.0))
        self.assertIn("read 10000 faces ... done\n", self.choose_design(5))
        x, y, w, h = self.prog.geometry()
        box = (x, y, x + w, y + h)
        green = lambda p: p[1] > p[0] + 60 and p[1] > p[2] + 60

        def axis_height(img):
            """Pixels from the window's middle up to the tip of the z axis, drawn green over the blue half."""
            top = y + h // 2
            while top > y and any(green(img.pixel(x + w // 2 + dx, top - 1)) for dx in (-1, 0, 1)):
                top -= 1
            return y + h // 2 - top

        start = self.prog.wait_still()
        self.prog.key_repeat("plus", 5)
        near = self.prog.wait_still()
        # The whole window shows the grid, larger by 1.1^5 = 1.61: nothing is cut by the depth range.
        self.assertEqual(0, near.count(lambda r, g, b: r > 245 and g > 245 and b > 245, box))
        self.assertGreater(axis_height(start), 100)
        self.assertAlmostEqual(1.1 ** 5, axis_height(near) / axis_height(start), delta=0.05)
        self.prog.key_repeat("minus", 5)
        self.assertEqual(start, self.prog.wait_still())

    def test_a_far_vertex_off_screen_changes_nothing_on_screen(self):
        # The folded design as written, then again with one more vertex far outside the window: the
        # depth planes follow what the window shows, so their precision stays and the picture too.
        self.sync()
        lines = harness.read_text(self.path("wemo.txt")).splitlines()
        n_v, n_f, n_s = (int(t) for t in lines[0].split())
        for name, far in (("fold1b.cqv", None), ("fold1c.cqv", "1e6"), ("fold1d.cqv", "1e75")):
            with open(self.path(name), "w") as f:
                if far is None:
                    f.write("\n".join(lines) + "\n")
                else:
                    head = "%d %d %d" % (n_v + 1, n_f, n_s)
                    extra = "%d %s 0 0 0" % (n_v + 1, far)
                    f.write("\n".join([head] + lines[1:1 + n_v] + [extra] + lines[1 + n_v:]) + "\n")
        pictures = []
        for entry, points in ((5, n_v), (6, n_v + 1), (7, n_v + 1)):
            self.assertIn("read %d points ... done\n" % points, self.choose_design(entry))
            pictures.append(self.prog.wait_still())
        x, y, w, h = self.prog.geometry()
        self.assertGreater(pictures[0].count(lambda r, g, b: r < 245 or g < 245 or b < 245,
                                             (x, y, x + w, y + h)), w * h // 20)
        self.assertEqual(pictures[0], pictures[1], "a vertex at 1e6")
        self.assertEqual(pictures[0], pictures[2], "a vertex at 1e75")

    def test_missing_and_malformed_files_leave_the_mesh(self):
        with open(self.path("tovin00.cqv"), "w") as f:
            f.write("3 1 0\n1 0 0 0 0\n2 1 0 0 0\n")
        with open(self.path("tovin01.cqv"), "w") as f:
            f.write("3 1 0\n1 0 0 0 0\n2 1 0 0 0\n3 0 1 0 0\n1 3 1 2 9 1\n")
        for entry in (0, 1, 2):
            out = self.choose_design(entry)
            self.assertTrue(self.prog.alive(), "menu entry %d ended the viewer" % entry)
            self.assertTrue(out.strip(), "no message for menu entry %d" % entry)
        vertices, faces = self.write_meshes()
        self.assertEqual((len(vertices), len(faces)), (36, 25))
        self.assertEqual(vertices[0][:3], (-2, -1.90145, 0))

    def test_fifo_oversized_and_binary_design_files_are_refused_and_the_viewer_goes_on(self):
        os.mkfifo(self.path("tovin10.cqv"))
        with open(self.path("tovin00.cqv"), "w") as f:
            f.write(SQUARE)
        os.truncate(self.path("tovin00.cqv"), 4 << 30)  # sparse
        # A terminal escape and a byte that is no UTF-8 where the face type belongs.
        with open(self.path("tovin01.cqv"), "wb") as f:
            f.write(SQUARE.replace("4 3\n", "4 \x1b[2J\xff\n").encode("latin-1"))
        cases = ((0, "tovin10.cqv", "not a regular file", "rho = -25\n"),
                 (1, "tovin00.cqv", "more than 76160480 bytes", "rho = -24\n"),
                 (2, "tovin01.cqv", r'line 6: "\x1b[2J\xff" in face 1 is not a whole number', "rho = -23\n"))
        for entry, name, problem, answer in cases:
            start = len(self.prog.output())
            self.prog.choose_menu([DESIGNS, entry])
            line = 'file "%s" not read, mesh unchanged: %s' % (name, problem)
            out = self.prog.wait_for_output(line, start=start)[start:]
            self.assertTrue(out.startswith(line) and out.endswith("\n") and out.count("\n") == 1, out)
            self.assertTrue(out[:-1].isascii() and out[:-1].isprintable(), repr(out))
            start = len(self.prog.output())
            self.prog.key("R")
            self.prog.wait_for_output(answer, start=start)
        vertices, faces = self.write_meshes()
        self.assertEqual((len(vertices), len(faces)), (36, 25))

    def test_w_of_a_grid_with_five_digit_numbers_loads_back(self):
        n = 100
        lines = ["%d %d 0" % ((n + 1) ** 2, n * n)]
        for j in range(n + 1):
            for i in range(n + 1):
                lines.append("%d %.2f %.2f 0 0" % (j * (n + 1) + i + 1, i * 0.03 - 1.5, j * 0.03 - 1.5))
        for j in range(n):
            for i in range(n):
                v = j * (n + 1) + i + 1
                lines.append("%d 4 %d %d %d %d %d" % (j * n + i + 1, v, v + 1, v + n + 2, v + n + 1, 1 + i % 3))
        with open(self.path("fold1a.cqv"), "w") as f:
            f.write("\n".join(lines) + "\n")
        loaded = "read 10201 points ... done\nread 10000 faces ... done\n"
        start = len(self.prog.output())
        self.prog.choose_menu([DESIGNS, 4])
        self.prog.wait_for_output(loaded, timeout=harness.MOTION, start=start)
        first = self.write_meshes()
        with open(self.path("wemo.txt")) as f:
            written = f.read()
        self.assertTrue(written.startswith("10201 10000    0\n"), written[:40])
        vertices, faces = first
        self.assertEqual(len(vertices), 10201)
        self.assertEqual(vertices[10200][:3], (1.5, 1.5, 0))
        self.assertEqual(faces[9999], ([10098, 10099, 10200, 10199], 1))
        # Loading the written file through the menu gives the same mesh and the same file.
        with open(self.path("fold1b.cqv"), "w") as f:
            f.write(written)
        start = len(self.prog.output())
        self.prog.choose_menu([DESIGNS, 5])
        self.prog.wait_for_output(loaded, timeout=harness.MOTION, start=start)
        self.assertEqual(self.write_meshes(), first)
        with open(self.path("wemo.txt")) as f:
            self.assertEqual(f.read(), written)

    def test_w_with_wemo_a_directory_reports_and_goes_on(self):
        os.mkdir(self.path("wemo.txt"))
        start = len(self.prog.output())
        self.prog.key("w")
        self.prog.wait_for_output(FILE_MESSAGE, start=start)
        self.prog.key("R")
        self.prog.wait_for_output("rho = -25\n", start=start)
        self.assertTrue(self.prog.alive())
        self.assertEqual(len(read_source_rows(self.path("crInc.txt"))), 36)

    def test_files_planted_at_temporary_names_neither_freeze_nor_redirect_w(self):
        workdir = self.prog.workdir
        files = ["wemo.txt", "crInc.txt"]
        check = plant_at_temporary_names(self, workdir, ["wemo.txt.tmp"], ["crInc.txt.tmp"])
        self.sync()
        self.assertNotIn(FILE_MESSAGE, self.prog.output())
        check(files)
        written = file_texts(workdir, files)
        vertices, faces = read_short_mesh(self.path("wemo.txt"))
        self.assertEqual((36, 25), (len(vertices), len(faces)))
        self.assertEqual(36, len(read_source_rows(self.path("crInc.txt"))))
        # The viewer answers the next keys, and without the planted files writes the same.
        os.remove(self.path("wemo.txt.tmp"))
        os.remove(self.path("crInc.txt.tmp"))
        self.sync()
        self.assertEqual(written, file_texts(workdir, files))
        start = len(self.prog.output())
        self.prog.key("R")
        self.prog.wait_for_output("rho = -25\n", start=start)

    def test_escape_ends_with_code_0(self):
        self.prog.key("Escape")
        self.assertEqual(self.prog.wait_exit(), 0)

    def test_quit_ends_with_code_0(self):
        self.prog.choose_menu([QUIT])
        self.assertEqual(self.prog.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
