"""Animated turns and the twist key end, end to end under Xvfb.

A turn ends on its target whatever comes during it (a drag past the target, the
turn key held), and key 7 before the sequence has given the twist a step moves
nothing: each time the viewer comes to rest, takes no processor time, and the
auto-spin (m) turns it again. Events that must meet the program before its next
frame are queued while it is stopped, so the frame rate never decides a case.
"""
import signal
import time
import unittest

import harness

TITLE = "Rigid folding version for Vorn Kambrel - TZL (QELT OSKA-Lindor)"
WRITE_DONE = "write done writing to file\n"
PICTURE_TIMEOUT = 300  # seconds for a picture the program is to reach (a 600-frame turn at high load)
REST_SECONDS = 2.0
REST_CPU = 0.2  # seconds of processor time in REST_SECONDS; a busy idle loop takes about REST_SECONDS


class TurnsTest(unittest.TestCase):
    def setUp(self):
        # One X server per test: nothing a failed case leaves can meet the next.
        self.xserver = harness.XServer().__enter__()
        self.addCleanup(self.xserver.__exit__, None, None, None)

    def start(self):
        prog = harness.Program(self.xserver, harness.program_path("PROGRAM_HEDRIX"), TITLE).__enter__()
        self.addCleanup(prog.__exit__, None, None, None)
        self.center = prog.geometry()[2] // 2, prog.geometry()[3] // 2
        return prog

    def window(self, prog):
        """The window's pixels now, row by row."""
        x, y, w, h = prog.geometry()
        img = self.xserver.screenshot(prog.workdir + "/.turns.ppm")
        return [img.data[3 * (r * img.width + x):3 * (r * img.width + x + w)] for r in range(y, y + h)]

    def wait_picture(self, prog, done, what):
        """Waits until done(window) holds; returns that window."""
        deadline = time.time() + PICTURE_TIMEOUT
        while time.time() < deadline:
            win = self.window(prog)
            if done(win):
                return win
            time.sleep(0.2)
        self.fail("%s: not within %d s (%.1f s of processor time in %.0f s)"
                  % (what, PICTURE_TIMEOUT, prog.cpu_over(REST_SECONDS), REST_SECONDS))

    def queued(self, prog, *actions):
        """Sends xdotool commands while the program is stopped: it meets them all in one pass,
        before its next frame. Returns the output length before them."""
        start = len(prog.output())
        prog.focus()
        prog.pointer_to(*self.center)
        prog.proc.send_signal(signal.SIGSTOP)
        try:
            for args in actions:
                self.xserver.run("xdotool", *args)
            # A round trip: the server has queued every event for the program.
            self.xserver.run("xdpyinfo", "-queryExtensions")
        finally:
            prog.proc.send_signal(signal.SIGCONT)
        return start

    def drag_up(self, prog, pixels, steps=10):
        """xdotool commands of a left-button drag from the middle of the window, `pixels` up."""
        x, y = self.center
        points = [(x, y - pixels * i // steps) for i in range(steps + 1)]
        moves = [("mousemove", "--window", prog.window, str(px), str(py)) for px, py in points]
        return moves[:1] + [("mousedown", "1")] + moves[1:] + [("mouseup", "1")]

    def drag_to(self, prog, pixels):
        """Turns the view by a drag `pixels` up (half a degree each); returns the window once drawn."""
        before = self.window(prog)
        start = self.queued(prog, *self.drag_up(prog, pixels))
        prog.wait_for_output("picked", start=start)
        return self.wait_picture(prog, lambda w: w != before, "the drag is drawn")

    def assert_rests_then_spins(self, prog, still, what):
        used = prog.cpu_over(REST_SECONDS)
        self.assertLess(used, REST_CPU, "%s: %.2f s of processor time in %.0f s" % (what, used, REST_SECONDS))
        self.assertEqual(still, self.window(prog), what + ": the picture changed at rest")
        prog.key("m")
        self.wait_picture(prog, lambda w: w != still, what + ": m spins the view")

    def test_a_drag_past_the_target_ends_the_turn_there(self):
        prog = self.start()
        prog.wait_still()
        target = self.drag_to(prog, 40)  # rotX -70 to -90: where Ctrl+A turns to
        self.drag_to(prog, -40)
        # Ctrl+A, then 60 px up while it turns: the angle is 10 degrees past the target
        start = self.queued(prog, ("key", "--clearmodifiers", "ctrl+a"), *self.drag_up(prog, 60))
        prog.wait_for_output("picked", start=start)
        still = self.wait_picture(prog, lambda w: w == target, "the turn ends on its target")
        self.assert_rests_then_spins(prog, still, "after a drag past the target")

    def test_a_held_turn_key_ends_on_its_target(self):
        prog = self.start()
        prog.wait_still()
        target = self.drag_to(prog, 40)
        self.drag_to(prog, -1)  # rotX -89.5: each press restarts with a 600th of a small rest
        prog.key_repeat("ctrl+a", 100)
        still = self.wait_picture(prog, lambda w: w == target, "the held turn ends on its target")
        self.assert_rests_then_spins(prog, still, "after a held turn key")

    def test_the_twist_key_before_the_twist_has_a_step_rests(self):
        prog = self.start()
        prog.wait_still()
        first = self.window(prog)
        prog.key("7")
        prog.sync("w", WRITE_DONE)
        # the loop's placement of the faces is where they were
        still = self.wait_picture(prog, lambda w: w == first, "key 7 shows the faces where they were")
        self.assert_rests_then_spins(prog, still, "after key 7")


if __name__ == "__main__":
    unittest.main()
