"""Animated turns and the twist key end, end to end under Xvfb.

A turn ends on its target whatever comes during it (a drag past the target, drags that carry the
view away or all the way round, the turn key held or pressed again), and key 7 before the sequence
has given the twist a step moves nothing: each time the viewer comes to rest, takes no processor
time, and the auto-spin (m) turns it again. Input that must meet the program before its next frame
is sent while it is stopped, so the frame rate never decides a case.
"""
import time
import unittest

import harness

TITLE = "Rigid folding version for Vorn Kambrel - TZL (QELT OSKA-Lindor)"
WRITE_DONE = "write done writing to file\n"
# A small window draws fast: a turn of 600 frames takes seconds, not half a minute, on a loaded machine.
WIDTH, HEIGHT = 160, 120


class TurnsTest(unittest.TestCase):
    def start(self):
        """The viewer in a window of WIDTH x HEIGHT, drawn and at rest."""
        _, prog = harness.start_for_test(self, "PROGRAM_HEDRIX", TITLE)
        prog.wait_still()  # its first frame: a resize before it can leave the window blank
        prog.resize(WIDTH, HEIGHT)
        prog.wait_still()
        return prog

    def drag_up(self, prog, pixels):
        """A drag `pixels` up (down where negative) about the middle of the window: half a degree
        each about x."""
        x, y = WIDTH // 2, (HEIGHT + pixels) // 2
        prog.drag(x, y, x, y - pixels)

    def drag_to(self, prog, pixels):
        """Turns the view by a drag `pixels` up; returns the window once drawn, at rest."""
        self.drag_up(prog, pixels)
        return prog.wait_still()

    def assert_rests_then_spins(self, prog, still, what):
        prog.assert_cpu_at_rest(what)
        self.assertEqual(still, prog.capture(), what + ": the picture changed at rest")
        prog.key("m")
        deadline = time.time() + harness.WAIT
        while prog.capture() == still:
            self.assertLess(time.time(), deadline, what + ": m does not spin the view")
            time.sleep(0.05)

    def assert_on_target(self, prog, key, still, what):
        """The view rests on the target of the turn key: the key turns it nowhere."""
        prog.key(key)
        self.assertEqual(still, prog.wait_still(), what + ": the turn did not end on its target")

    def test_a_drag_past_the_target_ends_the_turn_there(self):
        prog = self.start()
        target = self.drag_to(prog, 40)  # rotX -70 to -90: where Ctrl+A turns to
        self.drag_to(prog, -40)
        # Ctrl+A, then 60 px up while it turns: the angle is 10 degrees past the target
        with prog.stopped():
            prog.key("ctrl+a")
            self.drag_up(prog, 60)
        still = prog.wait_still()
        self.assertEqual(target, still, "the turn ends on its target")
        self.assert_rests_then_spins(prog, still, "after a drag past the target")

    def test_a_held_turn_key_ends_on_its_target(self):
        prog = self.start()
        target = self.drag_to(prog, 40)
        self.drag_to(prog, -1)  # rotX -89.5: each press restarts with a 600th of a small rest
        prog.key_repeat("ctrl+a", 100)
        still = prog.wait_still()
        self.assertEqual(target, still, "the held turn ends on its target")
        self.assert_rests_then_spins(prog, still, "after a held turn key")

    def test_drags_that_carry_the_view_round_end_the_turn(self):
        prog = self.start()
        # j, then six drags of 110 px up: 330 degrees away from where j turns x to
        with prog.stopped():
            prog.key("j")
            for _ in range(6):
                self.drag_up(prog, 110)
        still = prog.wait_still()
        self.assert_on_target(prog, "j", still, "after drags all the way round")
        self.assert_rests_then_spins(prog, still, "after drags all the way round")

    def test_a_drag_away_from_a_turn_of_small_steps_ends_it(self):
        prog = self.start()
        self.drag_to(prog, 39)  # rotX -89.5: Ctrl+A turns by a 600th of half a degree a frame
        # Ctrl+A pressed again four times, then 100 px down: 50 degrees away at that step
        with prog.stopped():
            for _ in range(5):
                prog.key("ctrl+a")
            self.drag_up(prog, -100)
        still = prog.wait_still()
        self.assert_on_target(prog, "ctrl+a", still, "after a drag away")
        self.assert_rests_then_spins(prog, still, "after a drag away")

    def test_the_twist_key_before_the_twist_has_a_step_rests(self):
        prog = self.start()
        first = prog.capture()
        prog.key("7")
        prog.sync("w", WRITE_DONE)
        # the loop's placement of the faces is where they were
        still = prog.wait_still()
        self.assertEqual(first, still, "key 7 shows the faces where they were")
        self.assert_rests_then_spins(prog, still, "after key 7")


if __name__ == "__main__":
    unittest.main()
