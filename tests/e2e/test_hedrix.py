"""hedrix end to end: the real program in a window under Xvfb."""
import contextlib
import math
import os
import re
import shutil
import signal
import stat
import tempfile
import threading
import unittest

import harness

TITLE = "Rigid folding version for Vorn Kambrel - TZL (QELT OSKA-Lindor)"
WRITE_DONE = "write done writing to file"
PICK_LINE = re.compile(r"picked edge (\d+): vertices (\d+) - (\d+)\n")

# key: vertices, faces, edge length, circumradius of the Archimedean solid
SOLIDS = {
    "t": (12, 14, 1.25, 1.25),
    "h": (24, 26, 0.911269837220, 1.274835816140),
    "o": (24, 26, 0.961131723053, 1.344590915367),
    "d": (60, 62, 0.557953156227, 1.245881784426),
    "i": (60, 62, 0.507446082437, 1.133101988278),
}


def read_short_mesh(path):
    """Vertices [(x, y, z, type)] and faces [(vertex numbers 0-based, type)] of a wemo.txt."""
    tokens = harness.read_text(path).split()
    pos = 0

    def take(n):
        nonlocal pos
        part = tokens[pos:pos + n]
        pos += n
        return part

    n_v, n_f, n_s = (int(t) for t in take(3))
    vertices = []
    for _ in range(n_v):
        _, x, y, z, t = take(5)
        vertices.append((float(x), float(y), float(z), int(t)))
    faces = []
    for _ in range(n_f):
        _, n = take(2)
        verts = [int(v) - 1 for v in take(int(n))]
        faces.append((verts, int(take(1)[0])))
    take(4 * n_s)
    return vertices, faces


def read_full_edges(path):
    """Header counts and generated edges [(v1, v2)] (1-based) of a wp.txt."""
    lines = harness.read_text(path).splitlines()
    n_v, n_f, n_e, _ = (int(t) for t in lines[0].split())
    first = 1 + n_v + n_f
    edges = [tuple(int(t) for t in line.split()[1:3]) for line in lines[first:first + n_e]]
    return (n_v, n_f, n_e), edges


def eye_point(p, rot_x, rot_z):
    """A model point as the display turns it: about z by rot_z, then about x by rot_x (degrees)."""
    az, ax = math.radians(rot_z), math.radians(rot_x)
    x = p[0] * math.cos(az) - p[1] * math.sin(az)
    y = p[0] * math.sin(az) + p[1] * math.cos(az)
    return x, y * math.cos(ax) - p[2] * math.sin(ax)


def window_pixel(e, width=900, height=700, zoom=2.5):
    """Window pixel of an eye-space point for the start-up projection (a wide window)."""
    k = zoom * 0.70710677
    a = k * width / height
    return (e[0] + a) / (2 * a) * width, height - (e[1] + k) / (2 * k) * height


def segment_distance(q, a, b):
    """Distance of q from segment ab in the plane, None when q's foot lies beyond an end."""
    dx, dy = b[0] - a[0], b[1] - a[1]
    u = ((q[0] - a[0]) * dx + (q[1] - a[1]) * dy) / (dx * dx + dy * dy)
    if not 0 < u < 1:
        return None
    return math.hypot(a[0] + u * dx - q[0], a[1] + u * dy - q[1])


def isolated_edge(vertices, edges, rot_x, rot_z):
    """An edge (1-based number) and the pixel of its midpoint, no other edge within 8 pixels."""
    pix = [window_pixel(eye_point(v, rot_x, rot_z)) for v in vertices]
    for n, (v1, v2) in enumerate(edges, 1):
        a, b = pix[v1 - 1], pix[v2 - 1]
        mid = ((a[0] + b[0]) / 2, (a[1] + b[1]) / 2)
        if math.hypot(b[0] - a[0], b[1] - a[1]) < 40:
            continue
        others = [segment_distance(mid, pix[w1 - 1], pix[w2 - 1])
                  for m, (w1, w2) in enumerate(edges, 1) if m != n]
        if all(d is None or d > 8 for d in others):
            return n, (int(round(mid[0])), int(round(mid[1])))
    raise AssertionError("no isolated edge")


ZOOM_OUT_STEPS = 40  # how far `-` goes from the start zoom in both viewers


def non_white(prog, img):
    """Number of pixels of the program's window that are not white."""
    x, y, w, h = prog.geometry()
    return img.count(lambda r, g, b: r < 245 or g < 245 or b < 245, (x, y, x + w, y + h))


def assert_zoom_comes_back(test, prog):
    """`-` and `+` held far past either end: the object stays drawn, and the
    steps back to the start give the start picture again."""
    start = prog.wait_still()
    prog.key_repeat("minus", 1000)
    far = prog.wait_still()
    test.assertGreater(non_white(prog, far), 20)
    test.assertLess(non_white(prog, far), non_white(prog, start) // 10)
    prog.key_repeat("plus", ZOOM_OUT_STEPS)
    test.assertEqual(start, prog.wait_still())
    prog.key_repeat("plus", 1000)
    near = prog.wait_still()
    test.assertGreater(non_white(prog, near), 2 * non_white(prog, start))
    prog.key_repeat("minus", 1000)
    prog.key_repeat("plus", ZOOM_OUT_STEPS)
    test.assertEqual(start, prog.wait_still())


def assert_middle_drag_leaves_the_view(test, prog):
    """After a left drag, a middle-button drag elsewhere leaves the picture as it was."""
    prog.drag(100, 100, 140, 120)
    before = prog.wait_still()
    prog.drag(600, 500, 200, 150, button=2)
    test.assertEqual(before, prog.wait_still())
    prog.drag(300, 300, 340, 300)
    test.assertNotEqual(before, prog.wait_still())


def plant_at_temporary_names(test, workdir, fifos, links):
    """Leaves a FIFO at each name of `fifos` and a link to a file outside the directory at each
    name of `links` in the working directory. Returns a check that all of them are still there as
    planted, the outside file untouched, and that no other file but `written` was left behind."""
    outside_dir = tempfile.mkdtemp(prefix="e2e-outside-")
    test.addCleanup(shutil.rmtree, outside_dir, True)
    outside = os.path.join(outside_dir, "precious.txt")
    with open(outside, "w") as f:
        f.write("not for the viewer\n")
    for name in fifos:
        os.mkfifo(os.path.join(workdir, name))
    for name in links:
        os.symlink(outside, os.path.join(workdir, name))

    def check(written):
        test.assertEqual("not for the viewer\n", harness.read_text(outside))
        for name in fifos:
            test.assertTrue(stat.S_ISFIFO(os.lstat(os.path.join(workdir, name)).st_mode), name)
        for name in links:
            test.assertEqual(outside, os.readlink(os.path.join(workdir, name)))
        for name in written:
            test.assertTrue(stat.S_ISREG(os.lstat(os.path.join(workdir, name)).st_mode), name)
        left = {n for n in os.listdir(workdir) if not n.startswith(".")}
        test.assertEqual(set(written) | set(fifos) | set(links), left)

    return check


def file_texts(workdir, names):
    return [harness.read_text(os.path.join(workdir, n)) for n in names]


def dist(a, b):
    return math.sqrt(sum((a[k] - b[k]) ** 2 for k in range(3)))


class HedrixCase(unittest.TestCase):
    """One X server for the class; each test starts its own viewer."""

    @classmethod
    def setUpClass(cls):
        cls.path = harness.program_path("PROGRAM_HEDRIX")
        cls.xserver = harness.XServer().__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.xserver.__exit__(None, None, None)

    def start(self, workdir=None):
        prog = harness.Program(self.xserver, self.path, TITLE, workdir=workdir)
        prog.__enter__()
        self.addCleanup(prog.__exit__, None, None, None)
        return prog

    def still(self, prog):
        """The window once every key sent so far has been handled and drawn and the viewer rests."""
        prog.sync("w", WRITE_DONE)
        return prog.wait_still()

    def write_files(self, prog):
        start = len(prog.output())
        prog.key("w")
        prog.wait_for_output(WRITE_DONE, start=start)
        return os.path.join(prog.workdir, "wemo.txt")



class HedrixTest(HedrixCase):
    def test_window_title_size_and_colours(self):
        prog = self.start()
        x, y, w, h = prog.geometry()
        self.assertEqual((900, 700), (w, h))
        box = (x, y, x + w, y + h)
        white = lambda r, g, b: r > 245 and g > 245 and b > 245
        green = lambda r, g, b: g > r + 40 and g > b + 40
        blue = lambda r, g, b: b > r + 40 and b > g + 40
        yellow = lambda r, g, b: r > 150 and g > 150 and b < 90

        full = self.still(prog)
        self.assertEqual((255, 255, 255), full.pixel(x + 5, y + 5))
        self.assertGreater(full.count(white, box), w * h // 3)
        # pentagons and their tubes green, triangles and theirs blue
        self.assertGreater(full.count(green, box), 5000)
        self.assertGreater(full.count(blue, box), 5000)

        prog.key("f", "c")
        tubes = self.still(prog)
        n_green, n_blue = tubes.count(green, box), tubes.count(blue, box)
        self.assertGreater(n_green, 200)
        self.assertGreater(n_blue, 200)
        self.assertLess(n_green, full.count(green, box) // 2)
        self.assertGreater(tubes.count(yellow, box), 200)  # vertex spheres

        prog.key("e", "v")
        empty = self.still(prog)
        self.assertEqual(w * h, empty.count(white, box))

    def test_a_still_window_is_the_frame_of_the_last_key(self):
        # A viewer too slow to draw for seconds (stopped here): the window stays as it was meanwhile,
        # and the still picture is the one drawn once the key is handled.
        prog = self.start()
        before = self.still(prog)
        prog.focus()
        prog.proc.send_signal(signal.SIGSTOP)
        resume = threading.Timer(3, prog.proc.send_signal, [signal.SIGCONT])
        self.addCleanup(resume.cancel)
        try:
            prog.x.run("xdotool", "key", "--clearmodifiers", "f")
        finally:
            resume.start()
        self.assertNotEqual(before, prog.wait_still())

    def test_object_keys_write_their_archimedean_solids(self):
        prog = self.start()
        for key, (n_v, n_f, edge, radius) in SOLIDS.items():
            with self.subTest(key=key):
                prog.key(key)
                vertices, faces = read_short_mesh(self.write_files(prog))
                self.assertEqual((n_v, n_f), (len(vertices), len(faces)))
                for v in vertices:
                    self.assertAlmostEqual(radius, dist(v, (0, 0, 0)), delta=1e-9)
                for verts, _ in faces:
                    for a, b in zip(verts, verts[1:] + verts[:1]):
                        self.assertAlmostEqual(edge, dist(vertices[a], vertices[b]), delta=1e-9)
                counts, _ = read_full_edges(os.path.join(prog.workdir, "wp.txt"))
                self.assertEqual((n_v, n_f, 2 * n_v), counts)
                self.assertIn("const", harness.read_text(os.path.join(prog.workdir, "crInc.txt")))

    def test_plain_key_gives_the_platonic_solid(self):
        prog = self.start()
        prog.key("T")
        vertices, faces = read_short_mesh(self.write_files(prog))
        triangles = [verts for verts, t in faces if t == 3]
        self.assertEqual(4, len(triangles))
        # the four type-3 triangles span a tetrahedron of edge 5, less the cap
        for verts in triangles:
            for a, b in zip(verts, verts[1:] + verts[:1]):
                self.assertAlmostEqual(5 * 0.99999, dist(vertices[a], vertices[b]), delta=1e-6)

    def test_arrows_and_submenu_select_objects(self):
        prog = self.start()
        steps = [(("Down",), 60, 62), (("Down",), 12, 14), (("Up", "Up"), 60, 62), (("Up",), 24, 26)]
        for keys, n_v, n_f in steps:
            prog.key(*keys)
            vertices, faces = read_short_mesh(self.write_files(prog))
            self.assertEqual((n_v, n_f), (len(vertices), len(faces)), keys)
        prog.choose_menu([6, 0])  # "Vorn Kambrel" > "vornTet"
        vertices, _ = read_short_mesh(self.write_files(prog))
        self.assertEqual(12, len(vertices))

    def test_pick_names_the_edge_under_the_pointer_and_nothing_on_the_background(self):
        prog = self.start()
        vertices, _ = read_short_mesh(self.write_files(prog))
        counts, edges = read_full_edges(os.path.join(prog.workdir, "wp.txt"))
        self.assertEqual(120, counts[2])
        # window corners: white background, hundreds of pixels from every edge
        for px, py in ((20, 20), (880, 680), (20, 680)):
            start = len(prog.output())
            prog.click(px, py)
            out = prog.wait_for_output("picked", start=start)
            self.assertEqual("no edge picked\n", out[start:], (px, py))
        # on an edge's image and a couple of pixels beside it
        edge, (px, py) = isolated_edge(vertices, edges, -70, -160)
        for dx, dy in ((0, 0), (2, 0), (0, -2)):
            start = len(prog.output())
            prog.click(px + dx, py + dy)
            out = prog.wait_for_output("picked", start=start)
            m = PICK_LINE.search(out, start)
            self.assertIsNotNone(m, out[start:])
            self.assertEqual(edge, int(m.group(1)))
            self.assertEqual(edges[edge - 1], (int(m.group(2)), int(m.group(3))))

    def test_middle_button_drag_leaves_the_view(self):
        assert_middle_drag_leaves_the_view(self, self.start())

    def test_zoom_held_past_either_end_comes_back(self):
        assert_zoom_comes_back(self, self.start())

    def test_fully_zoomed_in_every_object_and_the_twist_stay_drawn(self):
        prog = self.start()
        x, y, w, h = prog.geometry()
        box = (x, y, x + w, y + h)
        white = lambda r, g, b: r > 245 and g > 245 and b > 245
        prog.key_repeat("plus", 100)
        # Down through the other four objects back to the dodecahedral one, then its twist out to
        # the limit (where the object is smallest) and back through 0.
        shown = []
        for keys in [()] + [("Down",)] * 5 + [("d", "Right", "Right", "Right", "Right"), ("Right",), ("Right",),
                                               ("Right",)]:
            prog.key(*keys)
            shown.append(self.still(prog).count(white, box))
        self.assertEqual([0] * len(shown), shown)
        prog.key_repeat("minus", 100)
        self.assertGreater(self.still(prog).count(white, box), w * h // 3)

    def test_pick_follows_the_turned_view(self):
        prog = self.start()
        vertices, _ = read_short_mesh(self.write_files(prog))
        _, edges = read_full_edges(os.path.join(prog.workdir, "wp.txt"))
        # start-up view, then a drag of 40 px right and 20 px down: 20 degrees about z, 10 about x
        for rot_x, rot_z in ((-70, -160), (-60, -140)):
            if rot_z != -160:
                # the click below reaches the program after the drag's last move
                prog.drag(100, 100, 140, 120)
            edge, (px, py) = isolated_edge(vertices, edges, rot_x, rot_z)
            start = len(prog.output())
            prog.click(px, py)
            out = prog.wait_for_output("picked edge", start=start)
            m = PICK_LINE.search(out, start)
            self.assertIsNotNone(m, out[start:])
            self.assertEqual(edge, int(m.group(1)), (rot_x, rot_z))
            self.assertEqual(edges[edge - 1], (int(m.group(2)), int(m.group(3))))

    def test_stage_60_shows_the_squares_split_in_orange(self):
        prog = self.start()
        x, y, w, h = prog.geometry()
        box = (x, y, x + w, y + h)
        orange = lambda r, g, b: r > 150 and 0.25 * r < g < 0.75 * r and b < 80
        white = lambda r, g, b: r > 245 and g > 245 and b > 245
        # stage 50 to 60; then only the split squares are left on
        prog.key("Right", "f", "e", "v", "c")
        self.assertEqual(w * h, self.still(prog).count(white, box))
        prog.key("F")
        split = self.still(prog)
        self.assertGreater(split.count(orange, box), 50000)
        # nothing green or blue: the pentagons and triangles stay off
        self.assertEqual(0, split.count(lambda r, g, b: g > r + 40 or b > r + 40, box))

    def test_escape_exits_with_zero(self):
        prog = self.start()
        prog.key("Escape")
        self.assertEqual(0, prog.wait_exit())

    def test_quit_menu_entry_exits_with_zero(self):
        prog = self.start()
        prog.choose_menu([7])
        self.assertEqual(0, prog.wait_exit())

    def test_unwritable_file_is_reported_and_the_viewer_goes_on(self):
        workdir = tempfile.mkdtemp(prefix="e2e-hedrix-")
        self.addCleanup(shutil.rmtree, workdir, True)
        os.mkdir(os.path.join(workdir, "wemo.txt"))
        prog = self.start(workdir)
        self.write_files(prog)
        self.assertIn("Datei kann nicht geoeffnet werden!", prog.output())
        self.assertTrue(prog.alive())
        self.assertTrue(os.path.isdir(os.path.join(workdir, "wemo.txt")))
        counts, _ = read_full_edges(os.path.join(workdir, "wp.txt"))
        self.assertEqual(60, counts[0])
        self.assertTrue(os.path.isfile(os.path.join(workdir, "crInc.txt")))
        # a later key still works
        prog.key("t")
        self.write_files(prog)
        counts, _ = read_full_edges(os.path.join(workdir, "wp.txt"))
        self.assertEqual(12, counts[0])
        self.assertTrue(prog.alive())

    def test_files_planted_at_temporary_names_neither_freeze_nor_redirect_w(self):
        workdir = tempfile.mkdtemp(prefix="e2e-hedrix-")
        self.addCleanup(shutil.rmtree, workdir, True)
        files = ["wemo.txt", "crInc.txt", "wp.txt"]
        check = plant_at_temporary_names(self, workdir, ["wemo.txt.tmp", "wp.txt.tmp"], ["crInc.txt.tmp"])
        prog = self.start(workdir)
        self.write_files(prog)
        self.assertNotIn("Datei kann nicht geoeffnet werden!", prog.output())
        check(files)
        written = file_texts(workdir, files)
        vertices, faces = read_short_mesh(os.path.join(workdir, "wemo.txt"))
        self.assertEqual((60, 62), (len(vertices), len(faces)))
        # The viewer answers the next key, and without the planted files writes the same.
        for name in ("wemo.txt.tmp", "wp.txt.tmp", "crInc.txt.tmp"):
            os.remove(os.path.join(workdir, name))
        self.write_files(prog)
        self.assertEqual(written, file_texts(workdir, files))
        self.assertTrue(prog.alive())


class HedrixMotions(HedrixCase):
    """The turns and the twist, hundreds of frames each: a test entry of their own beside the rest."""

    def test_view_keys_turn_to_their_views(self):
        # G: straight from above; Alt+g and Ctrl+G (code 7) read the real modifiers. The three turns
        # run at once, each viewer on a server of its own; each check waits for its turn to end.
        turns = (("G", 0, 0), ("alt+g", 0, 90), ("ctrl+g", 180, -90))
        with contextlib.ExitStack() as stack:
            progs = []
            for key, _, _ in turns:
                x = stack.enter_context(harness.XServer())
                prog = stack.enter_context(harness.Program(x, self.path, TITLE))
                vertices, _ = read_short_mesh(self.write_files(prog))
                _, edges = read_full_edges(os.path.join(prog.workdir, "wp.txt"))
                prog.key(key)
                progs.append((prog, vertices, edges))
            for (key, rot_x, rot_z), (prog, vertices, edges) in zip(turns, progs):
                with self.subTest(key=key):
                    self.still(prog)
                    # the turn ends exactly on its target: the pick finds the edge under the pointer
                    edge, (px, py) = isolated_edge(vertices, edges, rot_x, rot_z)
                    start = len(prog.output())
                    prog.click(px, py)
                    out = prog.wait_for_output("picked edge", start=start)
                    self.assertEqual(edge, int(PICK_LINE.search(out, start).group(1)))

    def test_right_arrow_runs_the_twist_and_the_squares_keep_their_edges(self):
        prog = self.start()
        _, _, edge, _ = SOLIDS["d"]
        start_vertices, _ = read_short_mesh(self.write_files(prog))
        # stage 50 -> 60 -> 65 -> 70 -> 75: the last press starts the twist loop
        prog.key("Right", "Right", "Right", "Right")
        previous = start_vertices
        # first stop at the mark (squares folded into two equilateral triangles),
        # then at the limit, where the second and fourth corners meet
        for run, diagonal in enumerate((edge, 0.0)):
            if run:
                prog.key("Right")
            self.still(prog)
            vertices, faces = read_short_mesh(self.write_files(prog))
            squares = [verts for verts, _ in faces if len(verts) == 4]
            self.assertEqual(30, len(squares))
            for verts in squares:
                for a, b in zip(verts, verts[1:] + verts[:1]):
                    self.assertAlmostEqual(edge, dist(vertices[a], vertices[b]), delta=1e-9)
                self.assertAlmostEqual(diagonal, dist(vertices[verts[1]], vertices[verts[3]]), delta=0.005)
            moved = max(dist(p, q) for p, q in zip(previous, vertices))
            self.assertGreater(moved, 0.05, run)
            previous = vertices


if __name__ == "__main__":
    unittest.main()
