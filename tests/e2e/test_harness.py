"""The harness itself: an X server of its own, screenshots and pixel reads."""
import os
import tempfile
import unittest

import harness


class HarnessTest(unittest.TestCase):
    def test_own_display_and_screenshot(self):
        with harness.XServer() as x:
            self.assertTrue(os.path.exists("/tmp/.X11-unix/X" + x.display[1:]))
            with tempfile.TemporaryDirectory() as d:
                img = x.screenshot(os.path.join(d, "root.ppm"))
                self.assertEqual((harness.SCREEN_W, harness.SCREEN_H), (img.width, img.height))
                self.assertEqual(3, len(img.pixel(10, 10)))
        self.assertIsNone(x.proc)


if __name__ == "__main__":
    unittest.main()
