"""A viewer at rest: every program, end to end under Xvfb.

Nothing moving, a viewer waits for the next event and takes no processor time,
also once a motion (a turn, a fold, the auto-spin, an animation) has ended; and
a redisplay of an unchanged scene gives the same picture, the first one included.
The processor time is a behaviour check (a busy loop or not), not a speed claim:
the bound is far above what a sleeping process uses and far below a busy one.
"""
import time
import unittest

import harness

HEDRIX = ("PROGRAM_HEDRIX", "Rigid folding version for Vorn Kambrel - TZL (QELT OSKA-Lindor)")
CRIMPA = [("PROGRAM_CRIMPA_" + name, "Rigid folding by TZL - " + title) for name, title in (
    ("NFMARS", "non flat MARS design"), ("DUDEVI", "Dudevi"), ("PAPER", "extended paper bag"),
    ("MARS", "MARS design"), ("SELFX", "selfintersections"),
    ("BHULL", "illustration of Belcastro-Hull-Theorem"))]
BHULL = CRIMPA[-1]

# What key w prints last: it writes files and redraws an unchanged scene.
WRITE_REPLY = {HEDRIX: r"write done writing to file\n"}
CRIMPA_WRITE_REPLY = r"write \d+ vertices \.\.\. write \d+ vertices \.\.\. "

REST_SECONDS = 2.0
REST_CPU = 0.2  # seconds of processor time in REST_SECONDS; a busy idle loop takes about REST_SECONDS


def differing(a, b):
    """Number of pixels in which two windows (lists of rows) differ."""
    return sum(1 for ra, rb in zip(a, b) if ra != rb for i in range(0, len(ra), 3) if ra[i:i + 3] != rb[i:i + 3])


class RestTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.xserver = harness.XServer().__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.xserver.__exit__(None, None, None)

    def program(self, program):
        env_name, title = program
        return harness.Program(self.xserver, harness.program_path(env_name), title)

    def start(self, program):
        prog = self.program(program).__enter__()
        self.addCleanup(prog.__exit__, None, None, None)
        return prog

    def window(self, prog, img):
        """The window's pixels, row by row."""
        x, y, w, h = prog.geometry()
        return [img.data[3 * (r * img.width + x):3 * (r * img.width + x + w)] for r in range(y, y + h)]

    def drawn(self, prog):
        """The window once it has been drawn and stays as it is."""
        x, y, _, _ = prog.geometry()
        img = prog.wait_still()
        self.assertEqual((255, 255, 255), img.pixel(x + 5, y + 5), "the window is not drawn")
        return self.window(prog, img)

    def assert_turning(self, prog):
        before = self.window(prog, prog.x.screenshot(prog.workdir + "/turning.ppm"))
        time.sleep(0.5)
        after = self.window(prog, prog.x.screenshot(prog.workdir + "/turning.ppm"))
        self.assertGreater(differing(before, after), 0, "the auto-spin does not turn the view")

    def assert_at_rest(self, prog, what, used=None):
        if used is None:
            used = prog.cpu_over(REST_SECONDS)
        self.assertLess(used, REST_CPU, "%s: %.2f s of processor time in %.0f s" % (what, used, REST_SECONDS))

    def test_every_program_rests_and_redraws_its_first_frame_unchanged(self):
        for program in [HEDRIX] + CRIMPA:
            with self.subTest(program=program[0]):
                with self.program(program) as prog:
                    first = self.drawn(prog)
                    used = prog.cpu_over(REST_SECONDS)
                    prog.sync("w", WRITE_REPLY.get(program, CRIMPA_WRITE_REPLY))
                    self.assertEqual(0, differing(first, self.drawn(prog)), "pixels of the first frame redrawn")
                    self.assert_at_rest(prog, "after start", used)

    def rests_after(self, prog, what, start_motion, end_text=None):
        """Starts a motion, waits for its last console line (if it prints) and its last picture, and
        expects the program at rest."""
        start = len(prog.output())
        start_motion()
        if end_text:
            prog.wait_for_output(end_text, start=start, timeout=120)
        self.drawn(prog)
        self.assert_at_rest(prog, what)

    def spins_and_rests(self, prog, key):
        prog.key(key)
        self.assert_turning(prog)
        self.rests_after(prog, "after the auto-spin", lambda: prog.key(key))

    def test_hedrix_rests_after_a_fold_a_drag_and_the_auto_spin(self):
        prog = self.start(HEDRIX)
        self.drawn(prog)
        # The tetrahedron's fold prints its parameter once per idle call, the last one below the bound 0.25.
        self.rests_after(prog, "after the fold", lambda: prog.key("T", "4"), "\n0.24999\n")
        # A drag up leaves rotX below -180, which one idle call brings back.
        self.rests_after(prog, "after a drag", lambda: prog.drag(450, 600, 450, 300))
        self.spins_and_rests(prog, "m")

    def test_hedrix_shows_each_step_of_the_right_arrow_at_once(self):
        prog = self.start(HEDRIX)
        shown = self.drawn(prog)
        # Stage 50 to 60 hides what start-up hid already; 60 to 65 marks the twist construction, 65 to 70
        # clears the marks: both only rebuild the lists, and no motion follows to draw them.
        for keys in (("Right", "Right"), ("Right",)):
            prog.key(*keys)
            after = self.drawn(prog)
            self.assertGreater(differing(shown, after), 0, keys)
            # Any key redraws: the window showed the step already.
            prog.key("x")
            self.assertEqual(0, differing(after, self.drawn(prog)), keys)
            shown = after

    def test_crimpa_rests_after_an_animation_and_the_auto_spin(self):
        prog = self.start(BHULL)
        self.drawn(prog)
        self.rests_after(prog, "after a phase", lambda: prog.key("r"), "\n200\n")
        self.spins_and_rests(prog, "a")


if __name__ == "__main__":
    unittest.main()
