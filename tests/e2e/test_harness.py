"""The harness itself: an X server of its own, captures and pixel reads, the window of the started
process, and what counts as a program at rest."""
import os
import sys
import tempfile
import time
import unittest

import harness

STANDIN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "standin.py")


def standin(x, title, width=300, height=200, delay=0.0, mode="events"):
    args = [STANDIN, title, str(width), str(height), str(delay), mode]
    return harness.Program(x, sys.executable, title, args=args)


class HarnessTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.x = harness.XServer().__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.x.__exit__(None, None, None)

    def test_own_display_and_screenshot(self):
        self.assertTrue(os.path.exists("/tmp/.X11-unix/X" + self.x.display[1:]))
        with tempfile.TemporaryDirectory() as d:
            img = self.x.screenshot(os.path.join(d, "root.ppm"))
            self.assertEqual((harness.SCREEN_W, harness.SCREEN_H), (img.width, img.height))
            self.assertEqual(3, len(img.pixel(10, 10)))
        with harness.XServer() as other:
            self.assertNotEqual(self.x.display, other.display)
        self.assertIsNone(other.proc)

    def test_captures_read_what_import_reads(self):
        with standin(self.x, "capture") as prog, tempfile.TemporaryDirectory() as d:
            # black screen, white window: a capture that cuts or shifts the window shows it
            self.x.run("import", "-window", "root", "-depth", "8", "ppm:" + os.path.join(d, "import.ppm"))
            reference = harness.Image.load(os.path.join(d, "import.ppm"))
            screen = self.x.capture()
            self.assertEqual(reference.data, screen.data)
            self.x.screenshot(os.path.join(d, "screen.ppm"))
            self.assertEqual(reference.data, harness.Image.load(os.path.join(d, "screen.ppm")).data)
            x, y, w, h = prog.geometry()
            self.assertEqual((50, 50, 300, 200), (x, y, w, h))
            window = prog.capture()
            self.assertEqual((x, y, x + w, y + h), window.box())
            self.assertEqual(w * h, window.count(lambda r, g, b: (r, g, b) == (255, 255, 255)))
            self.assertEqual(w * h, screen.count(lambda r, g, b: (r, g, b) == (255, 255, 255), window.box()))
            self.assertEqual(0, screen.count(lambda r, g, b: (r, g, b) == (255, 255, 255),
                                             (x - 1, y - 1, x + w + 1, y)))
            self.assertRaises(ValueError, window.pixel, x - 1, y)
            self.assertEqual(0, window.differing(prog.capture()))

    def test_the_window_of_the_started_process_not_an_older_one_of_the_same_title(self):
        # The older window is on the screen first; the program's own appears a second later.
        with standin(self.x, "twins", 200, 100) as older, standin(self.x, "twins", 320, 240, delay=1.0) as prog:
            self.assertNotEqual(older.window, prog.window)
            self.assertEqual((200, 100), older.geometry()[2:])
            self.assertEqual((320, 240), prog.geometry()[2:])

    def test_at_rest_only_while_waiting_for_events(self):
        with standin(self.x, "events") as waits, standin(self.x, "timer", mode="timer") as sleeps, \
                standin(self.x, "busy", mode="busy") as busy:
            waits.wait_rest(harness.WAIT)
            self.assertTrue(waits.at_rest())
            # asleep, but on a timer: a viewer in a timed motion is not at rest
            self.assertFalse(sleeps.at_rest())
            self.assertFalse(busy.at_rest())
            with self.assertRaisesRegex(AssertionError, "did not come to rest"):
                busy.wait_rest(2)

    def test_not_at_rest_while_waking_between_events(self):
        with standin(self.x, "ticks", mode="ticks") as ticks:
            # It sleeps where a program at rest sleeps: only its waking up tells the two apart.
            deadline = time.time() + harness.WAIT
            while not ticks._sleeps_for_events()[0]:
                self.assertLess(time.time(), deadline, "the stand-in never waits for events")
                time.sleep(0.01)
            for _ in range(10):
                self.assertFalse(ticks.at_rest())
            with self.assertRaisesRegex(AssertionError, "did not come to rest"):
                ticks.wait_rest(2)


if __name__ == "__main__":
    unittest.main()
