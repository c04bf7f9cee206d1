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


class RestTest(unittest.TestCase):
    def start(self, program):
        return harness.start_for_test(self, *program)[1]

    def drawn(self, prog, timeout=harness.WAIT):
        """The window once the program has drawn it and rests. After what ends a motion (its last
        console line, the key that stops it) the program must rest within `timeout`."""
        x, y, _, _ = prog.geometry()
        img = prog.wait_still(timeout)
        self.assertEqual((255, 255, 255), img.pixel(x + 5, y + 5), "the window is not drawn")
        return img

    def assert_turning(self, prog):
        """The picture changes: one changed capture after another, however slowly the frames come."""
        for _ in range(2):
            before = prog.capture()
            deadline = time.time() + harness.WAIT
            while prog.capture() == before:
                self.assertLess(time.time(), deadline, "the auto-spin does not turn the view")
                time.sleep(0.05)

    def assert_at_rest(self, prog, what, used=None):
        if used is None:
            used = prog.cpu_over(REST_SECONDS)
        self.assertLess(used, REST_CPU, "%s: %.2f s of processor time in %.0f s" % (what, used, REST_SECONDS))

    def test_every_program_rests_and_redraws_its_first_frame_unchanged(self):
        # All seven at once, each on a server of its own: one common interval measures their time at rest.
        programs = [HEDRIX] + CRIMPA
        progs = {program: self.start(program) for program in programs}
        first = {}
        for program in programs:
            with self.subTest(program=program[0]):
                first[program] = self.drawn(progs[program])
        start = {p: progs[p].cpu_time() for p in first}
        time.sleep(REST_SECONDS)
        used = {p: progs[p].cpu_time() - start[p] for p in first}
        for program in first:
            with self.subTest(program=program[0]):
                prog = progs[program]
                prog.sync("w", WRITE_REPLY.get(program, CRIMPA_WRITE_REPLY))
                self.assertEqual(0, first[program].differing(self.drawn(prog)),
                                 "pixels of the first frame redrawn")
                self.assert_at_rest(prog, "after start", used[program])

    def rests_after(self, prog, what, start_motion, end_text=None):
        """Starts a motion, waits for its last console line (if it prints) and its last picture, and
        expects the program at rest."""
        start = len(prog.output())
        start_motion()
        if end_text:
            prog.wait_for_output(end_text, start=start, timeout=harness.MOTION)
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
            self.assertGreater(shown.differing(after), 0, keys)
            # Any key redraws: the window showed the step already.
            prog.key("x")
            self.assertEqual(0, after.differing(self.drawn(prog)), keys)
            shown = after

    def test_crimpa_rests_after_an_animation_and_the_auto_spin(self):
        prog = self.start(BHULL)
        self.drawn(prog)
        self.rests_after(prog, "after a phase", lambda: prog.key("r"), "\n200\n")
        self.spins_and_rests(prog, "a")


if __name__ == "__main__":
    unittest.main()
