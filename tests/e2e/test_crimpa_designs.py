"""The five crimpa builds beside the non flat MARS one, end to end under Xvfb.

Each build: its window title, the three edge-count lines of start-up, the
console lines of its keys, and the files of key w against a fold computed
here independently from the design's closed formulas and crease lengths.
"""
import math
import os
import unittest

import harness
from test_crimpa_nfmars import add, norm, printed_since, read_source_rows, scale, sub, sync, trilaterate
from test_hedrix import assert_middle_drag_leaves_the_view, assert_zoom_comes_back, read_short_mesh

PI = 3.14159265358979
DEG = PI / 180


def mirror_x(p):
    return [-p[0], p[1], p[2]]


def mirror_y(p):
    return [p[0], -p[1], p[2]]


def mirror_xy(p):
    return [-p[0], -p[1], p[2]]


class DesignBuild:
    """Mixin: one running build per test, with the helpers every build uses."""

    PROGRAM = None
    TITLE = None
    EDGES = None

    def setUp(self):
        self.x, self.prog = harness.start_for_test(self, self.PROGRAM, self.TITLE)
        self.prog.wait_for_count(".\n generated %d edges\n" % self.EDGES, 3)

    def sync(self):
        return sync(self.prog)

    def printed_since(self, start):
        return printed_since(self.prog, start)

    def press(self, *keys):
        """Sends keys; returns all they printed."""
        start = len(self.prog.output())
        self.prog.key(*keys)
        return self.printed_since(start)

    def write_meshes(self):
        self.sync()
        vertices, faces = read_short_mesh(os.path.join(self.prog.workdir, "wemo.txt"))
        rows = read_source_rows(os.path.join(self.prog.workdir, "crInc.txt"))
        return vertices, faces, rows

    def assert_written(self, expected, tolerance=1e-9):
        """Both files of w hold the expected points (wemo.txt to 6 digits, crInc.txt halved)."""
        vertices, _, rows = self.write_meshes()
        self.assertEqual(len(vertices), len(expected))
        self.assertEqual(len(rows), len(expected))
        for v, want in enumerate(expected):
            for k in range(3):
                self.assertAlmostEqual(vertices[v][k], want[k], delta=1e-5 + 5e-6 * abs(want[k]),
                                       msg="wemo.txt vertex %d" % v)
                self.assertAlmostEqual(rows[v][k], 0.5 * want[k], delta=tolerance,
                                       msg="crInc.txt vertex %d" % v)

    def test_title_and_three_edge_lines(self):
        out = self.prog.output()
        self.assertEqual(out.count(".\n generated %d edges\n" % self.EDGES), 3, out)

    def test_absent_angles_print_zero(self):
        self.assertEqual(self.press("D"), "delta = 0\n")


# --- MARS ----------------------------------------------------------------------

def mars_layout():
    a, b = 2.0, 1.0
    z = b * 0.4
    return [[0, 0, 0], [a, 0, 0], [3 * b, 0, z], [2 * a, 0, z],
            [0, b, 0], [a, b, 0], [3 * b, a, 0], [2 * a, a, 0],
            [0, a, 0], [b, a, 0], [a, 3 * b, 0], [2 * a, 3 * b, 0],
            [0, 2 * a, 0], [b, 2 * a, 0], [a, 2 * a, 0], [2 * a, 2 * a, 0]]


def mars_fold(p, rho):
    """One fold of the MARS pattern to rho; the crease lengths come from the flat layout."""
    flat = mars_layout()
    length = lambda i, j: norm(sub(flat[i], flat[j]))
    b = 1.0
    p = [list(q) for q in p]
    p[8] = add(p[4], [0, b * math.cos(rho), -b * math.sin(rho)])
    p[9] = add(p[8], scale(0.5, sub(p[5], p[4])))
    p[6] = trilaterate(p[9], length(6, 9), p[5], length(6, 5), p[1], length(6, 1), add(p[6], [0, 0, 0.1 * b]))
    p[2] = add(p[6], scale(2, sub(p[1], p[5])))
    p[10] = add(sub(p[9], p[5]), p[6])
    p[13] = trilaterate(p[8], length(13, 8), p[9], length(13, 9), p[10], length(13, 10),
                        add(p[13], [0, 0, 0.01 * b]))
    p[12] = add(sub(p[13], p[9]), p[8])
    p[14] = add(p[10], scale(0.5, sub(p[13], p[9])))
    p[11] = trilaterate(p[14], length(11, 14), p[10], length(11, 10), p[6], length(11, 6),
                        add(p[11], [0, 0, 0.01 * b]))
    p[7] = add(p[6], scale(0.5, sub(p[11], p[10])))
    p[3] = add(sub(p[7], p[6]), p[2])
    p[15] = add(sub(p[11], p[10]), p[14])
    return p


class CrimpaMars(DesignBuild, unittest.TestCase):
    PROGRAM = "PROGRAM_CRIMPA_MARS"
    TITLE = "Rigid folding by TZL - MARS design"
    EDGES = 24

    def test_rho_keys(self):
        self.assertEqual(self.press("R"), "rho = -29\n")
        self.assertEqual(self.press("r", "r"), "rho = -30\nrho = -31\n")
        self.assertEqual(self.press("alt+r"), "rho = -31\n")
        self.assertEqual(self.press("O", "9", "p"), "omega = 0\n")

    def test_w_writes_the_fold(self):
        self.press("r", "r", "R")
        p = mars_layout()
        for rho in (-31, -31, -32, -32, -31, -31):  # each key folds twice
            p = mars_fold(p, rho * DEG)
        self.assert_written(p)

    def test_w_right_after_start_writes_the_table(self):
        vertices, faces, _ = self.write_meshes()
        self.assertEqual(vertices[8][:3], (0, 1.9, 0.4))
        self.assertEqual(faces[4], ([5, 6, 10, 9], 1))


# --- Dudevi --------------------------------------------------------------------

class DudeviBox:
    """The box at given angles, from the angle relation alone (no solver)."""

    def __init__(self, W=2.0, L=4.0, H=1.0, T=0.999999):
        self.W, self.L, self.H, self.T = W, L, H, T
        self.c = [W / 2, L / 2, H / 2]

    def centred(self, x, y, z):
        return [x - self.c[0], y - self.c[1], z - self.c[2]]

    def phi_of(self, rho):
        return math.asin((self.H - self.T * math.cos(rho)) / (self.H * math.sin(rho)))

    def points(self, rho, phi):
        W, L, H, T = self.W, self.L, self.H, self.T
        u, v = math.cos(rho), math.sin(rho)
        p = [None] * 12
        p[0], p[1] = self.centred(0, 0, 0), self.centred(W, 0, 0)
        p[6], p[7] = self.centred(0, L, 0), self.centred(W, L, 0)
        p[2], p[3] = self.centred(H * u, 0, H * v), self.centred(W - H * u, 0, H * v)
        p[8], p[9] = self.centred(H * u, L, H * v), self.centred(W - H * u, L, H * v)
        p[4] = self.centred(T, H * math.cos(phi), H * math.sin(phi))
        p[5], p[10], p[11] = mirror_x(p[4]), mirror_y(p[4]), mirror_xy(p[4])
        return p

    def rho_of(self, phi):
        k = self.H / self.T
        e = k * math.sin(phi)
        return math.asin((e * k + math.sqrt(e * e - k * k + 1)) / (e * e + 1))


class CrimpaDudevi(DesignBuild, unittest.TestCase):
    PROGRAM = "PROGRAM_CRIMPA_DUDEVI"
    TITLE = "Rigid folding by TZL - Dudevi"
    EDGES = 20

    def test_angle_keys(self):
        self.assertEqual(self.press("I").splitlines()[-1], "rho = 90")
        self.assertEqual(self.press("r"), "rho = 89\n")
        self.assertEqual(self.press("alt+r"), "rho = 89\n")
        self.assertEqual(self.press("R", "R"), "rho = 89.9994\nrho = 89.9994\n")
        self.assertEqual(self.press("o", "9"), "omega = 0\n")

    def test_middle_button_drag_leaves_the_view(self):
        assert_middle_drag_leaves_the_view(self, self.prog)

    def test_zoom_held_past_either_end_comes_back(self):
        assert_zoom_comes_back(self, self.prog)

    def test_tall_walls_refuse_below_23_degrees(self):
        self.press("2")
        out = self.press(*(["r"] * 68))
        self.assertTrue(out.endswith("rho = 23\nno intersection in ThreeSpheresIS\nrho = 23\n"), out[-200:])
        # phi is still defined: the end walls still answer.
        self.assertRegex(self.press("p"), r"^phi = \d+(\.\d+)?\n$")

    def test_low_walls_hit_the_bottom(self):
        self.press("3")
        out = self.press(*(["r"] * 37))
        self.assertTrue(out.endswith("rho = 54\nhit the bottom\nrho = 54\n"), out[-200:])

    def test_w_writes_the_fold_of_both_angles(self):
        box = DudeviBox()
        self.press("r", "r")
        rho = 90 * DEG - 2 * DEG
        self.assert_written(box.points(rho, box.phi_of(rho)))
        out = self.press("p", "p", "p")
        phi = box.phi_of(rho) - 3 * DEG
        self.assertTrue(out.endswith("phi = %s\n" % format_like_stream(phi / DEG)), out)
        self.assert_written(box.points(box.rho_of(phi), phi))


def format_like_stream(value):
    """A double as the console's default stream format prints it (6 significant digits)."""
    return "%g" % value


# --- selfintersections -----------------------------------------------------------

SELFX_TABLE = [[-0.5, -1.0, -0.75], [0.5, -1.0, -0.75], [-0.5, -1.0, -0.25], [0.0, -1.0, -0.25],
               [0.5, -1.0, 0.75], [0.25, -1.0, 0.75], [-0.5, 1.0, -0.75], [0.5, 1.0, -0.75],
               [-0.5, 1.0, -0.25], [0.0, 1.0, -0.25], [0.5, 1.0, 0.75], [0.25, 1.0, 0.75]]


def selfx_points(rho, W=1.0, L=2.0, H=1.50001, t=0.025):
    """The design at rho, built from the wall geometry: P3 and P5 lie on the end wall's creases."""
    a = W / 2
    c = [W / 2, L / 2, H / 2]
    centred = lambda q: [q[0] - c[0], q[1] - c[1], q[2] - c[2]]
    d, e = math.cos(rho), math.sin(rho)
    g = math.sqrt(2 * d / (d + 1))
    left_top = [a * d, 0, a * e]
    right_top = [W - H * d, 0, H * e]
    p3 = add(left_top, scale(a, [1 - d, g, -d * (1 - d) / e]))
    p5 = add(right_top, scale(t, [-(1 - d), g, -d * (1 - d) / e]))
    p = [list(q) for q in SELFX_TABLE]
    for k, q in ((2, left_top), (3, p3), (4, right_top), (5, p5)):
        p[k] = centred(q)
        p[k + 6] = mirror_y(p[k])
    return p


class CrimpaSelfx(DesignBuild, unittest.TestCase):
    PROGRAM = "PROGRAM_CRIMPA_SELFX"
    TITLE = "Rigid folding by TZL - selfintersections"
    EDGES = 20

    def test_rho_keys_clamp(self):
        self.assertEqual(self.press("R"), "rho = 89.9994\n")
        self.assertEqual(self.press("r", "alt+r"), "rho = 88.9994\nrho = 88.9994\n")
        self.assertEqual(self.press("1", "P", "O"), "omega = 0\n")

    def test_w_writes_the_fold(self):
        self.assertEqual(self.write_meshes()[0][5][:3], (0.25, -1, 0.75))  # the table until a rebuild
        self.press(*(["r"] * 5))
        self.assert_written(selfx_points(90 * DEG - 5 * DEG))


# --- extended paper bag ------------------------------------------------------------

def paper_points(omega, W=1.0, L=2.0, H=math.sqrt(3), t=math.sqrt(3), f=0.5):
    """The upright bag with its flaps at omega, the band corner where its three lengths meet."""
    a = W / 2
    c = [W / 2, L / 2, (a + H) / 2]
    centred = lambda q: [q[0] - c[0], q[1] - c[1], q[2] - c[2]]
    rho = PI / 2
    cr, sr = math.cos(rho), math.sin(rho)
    p = [None] * 20
    p[0], p[1], p[6], p[7] = (centred(q) for q in ([0, 0, 0], [W, 0, 0], [0, L, 0], [W, L, 0]))
    p[2], p[4] = centred([a * cr, 0, a * sr]), centred([W - a * cr, 0, a * sr])
    p[8], p[10] = mirror_y(p[2]), mirror_y(p[4])
    p[3] = centred([a, 0, a])
    p[9] = mirror_y(p[3])
    p[5] = centred([a, 0, a + t])  # the apex stands t above the gusset's centre point
    p[11] = mirror_y(p[5])
    co, so = math.cos(omega), math.sin(omega)
    p[14] = centred([t * co + a * cr, f, t * so + a * sr])
    p[15] = mirror_x(p[14])
    p[18], p[19] = mirror_y(p[14]), mirror_xy(p[14])
    p[12] = trilaterate(p[2], t, p[14], f, p[5], a, centred([0, -0.1 * a, a + t]))
    p[13], p[16], p[17] = mirror_x(p[12]), mirror_y(p[12]), mirror_xy(p[12])
    return p


class CrimpaPaper(DesignBuild, unittest.TestCase):
    PROGRAM = "PROGRAM_CRIMPA_PAPER"
    TITLE = "Rigid folding by TZL - extended paper bag"
    EDGES = 42

    def test_flap_keys_print_two_lines(self):
        self.assertEqual(self.press("o"), "1.55334\nomega = 89\n")
        self.assertEqual(self.press("O", "4", "P"), "1.5708\nomega = 90\n")
        self.assertEqual(self.press("r"), "rho = 89\n")

    def test_w_writes_the_flaps(self):
        self.press("o", "o", "o")
        # The program's upright is PI/2 of its pi literal: points differ from the exact upright by 1e-7.
        self.assert_written(paper_points(90 * DEG - 3 * DEG), tolerance=2e-7)

    def test_nine_and_alt_nine_show_the_inner_part_and_the_whole(self):
        self.press("alt+9")
        vertices, faces, _ = self.write_meshes()
        self.assertEqual((len(vertices), len(faces)), (12, 13))
        self.assertTrue(all(v < 12 for f in faces for v in f[0]))
        self.press("9")
        vertices, faces, _ = self.write_meshes()
        self.assertEqual((len(vertices), len(faces)), (20, 23))
        self.assertEqual(faces[13], ([2, 14, 18, 8], 2))


# --- Belcastro-Hull ------------------------------------------------------------------

def bhull_start():
    s = math.sqrt(0.5)
    return [[0, 0, 0], [1, 0, 0], [-s, s, 0], [-1, 0, 0], [-s, -s, 0], [1, 0, 0]]


def turn_about_z(p, angle):
    c, s = math.cos(angle), math.sin(angle)
    return [p[0] * c - p[1] * s, p[0] * s + p[1] * c, p[2]]


class CrimpaBhull(DesignBuild, unittest.TestCase):
    PROGRAM = "PROGRAM_CRIMPA_BHULL"
    TITLE = "Rigid folding by TZL - illustration of Belcastro-Hull-Theorem"
    EDGES = 9

    def run_phase(self):
        start = len(self.prog.output())
        self.prog.key("r")
        self.prog.wait_for_output("\n200\n", start=start, timeout=harness.MOTION)
        return self.printed_since(start)

    def test_one_phase_is_200_frames_with_its_phase_lines(self):
        out = self.run_phase()
        expected = "".join("0\n%d\n" % frame for frame in range(1, 201))
        self.assertEqual(out, expected)
        # The whole figure has turned by 135 degrees: the crease P0 P4 lies on the x axis.
        self.assert_written([turn_about_z(p, 135 * DEG) for p in bhull_start()])

    def test_second_phase_folds_the_cut_side_up(self):
        self.run_phase()
        out = self.run_phase()
        self.assertTrue(out.startswith("1\n1\n1\n2\n"), out[:40])
        vertices = self.write_meshes()[0]
        self.assertGreater(vertices[5][2], 0.5)
        self.assertEqual([v[2] for v in vertices[:5]], [0, 0, 0, 0, 0])

    def test_r_twice_stops_at_once(self):
        start = len(self.prog.output())
        # The second r arrives before the first idle frame, whatever the machine's speed: no frame runs.
        self.prog.keys_together("r", "r")
        self.assertEqual(self.printed_since(start), "")
        self.assertEqual(self.press("I").splitlines()[-1], "rho = 0")
        self.assert_written(bhull_start())


if __name__ == "__main__":
    unittest.main()
