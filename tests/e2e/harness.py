"""End-to-end harness: real programs in a real window under Xvfb.

Each test (or fixture) starts its own X server on a free display, starts the
program in a fresh temporary working directory, finds the window by title,
drives it with xdotool and reads what it printed, the files it wrote and the
pixels of a screenshot. Standard library only.
"""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

SCREEN_W, SCREEN_H = 1600, 1400
MENU_ENTRY_HEIGHT = 25


def program_path(env_name):
    """Path of a built program, handed in by CTest through the environment."""
    path = os.environ.get(env_name)
    if not path or not os.path.exists(path):
        raise RuntimeError("environment variable %s does not name a built program" % env_name)
    return path


class XServer:
    """An Xvfb of its own; use as a context manager."""

    def __init__(self, width=SCREEN_W, height=SCREEN_H):
        self.width, self.height = width, height
        self.proc = None
        self.display = None

    def __enter__(self):
        # Xvfb picks a free display itself and tells us which: no race between parallel tests.
        rfd, wfd = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(wfd), "-screen", "0", "%dx%dx24" % (self.width, self.height),
             "-nolisten", "tcp", "-noreset"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, pass_fds=(wfd,))
        os.close(wfd)
        number = b""
        deadline = time.time() + 20
        with os.fdopen(rfd, "rb", buffering=0) as r:
            while time.time() < deadline and not number.endswith(b"\n"):
                chunk = r.read(16)
                if not chunk:
                    break
                number += chunk
        if not number.strip().isdigit():
            self._stop()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number.strip().decode()
        while time.time() < deadline:
            if subprocess.run(["xdpyinfo", "-display", self.display], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0:
                return self
            time.sleep(0.1)
        self._stop()
        raise RuntimeError("Xvfb did not accept connections")

    def __exit__(self, *exc):
        self._stop()

    def _stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc = None

    def env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.display
        env.pop("XAUTHORITY", None)
        return env

    def run(self, *args, check=True):
        """Runs an X client (xdotool, xwininfo, import) against this display."""
        res = subprocess.run(list(args), env=self.env(), stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                             text=True, timeout=30)
        if check and res.returncode != 0:
            raise RuntimeError("%s failed: %s" % (" ".join(args), res.stderr.strip()))
        return res.stdout

    def screenshot(self, path):
        """The whole screen as a binary PPM file; returns an Image."""
        self.run("import", "-window", "root", "-depth", "8", "ppm:" + path)
        return Image.load(path)


class Image:
    """A P6 PPM image: width, height and RGB pixels."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @staticmethod
    def load(path):
        with open(path, "rb") as f:
            raw = f.read()
        tokens = []
        pos = 0
        while len(tokens) < 4:
            while raw[pos:pos + 1].isspace():
                pos += 1
            if raw[pos:pos + 1] == b"#":
                while raw[pos:pos + 1] not in (b"\n", b""):
                    pos += 1
                continue
            start = pos
            while not raw[pos:pos + 1].isspace():
                pos += 1
            tokens.append(raw[start:pos])
        if tokens[0] != b"P6" or int(tokens[3]) != 255:
            raise RuntimeError("not an 8-bit binary PPM")
        return Image(int(tokens[1]), int(tokens[2]), raw[pos + 1:])

    def __eq__(self, other):
        return (self.width, self.height, self.data) == (other.width, other.height, other.data)

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def count(self, predicate, box=None):
        """Number of pixels in box (x0, y0, x1, y1) for which predicate(r, g, b) holds."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        n = 0
        for y in range(y0, y1):
            row = 3 * y * self.width
            for x in range(x0, x1):
                i = row + 3 * x
                if predicate(self.data[i], self.data[i + 1], self.data[i + 2]):
                    n += 1
        return n


class Program:
    """A program started in its own temporary working directory."""

    def __init__(self, xserver, path, title, workdir=None, args=()):
        self.x = xserver
        self.path = path
        self.title = title
        self.own_dir = workdir is None
        self.workdir = workdir or tempfile.mkdtemp(prefix="e2e-")
        self.args = list(args)
        self.proc = None
        self.window = None
        self._out = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()
        if self.own_dir:
            shutil.rmtree(self.workdir, ignore_errors=True)

    def start(self, timeout=20):
        self._out = open(os.path.join(self.workdir, ".stdout"), "wb")
        self.proc = subprocess.Popen([self.path] + self.args, cwd=self.workdir, env=self.x.env(),
                                     stdin=subprocess.DEVNULL, stdout=self._out, stderr=subprocess.STDOUT)
        self.window = self.find_window(timeout)
        return self

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        if self._out:
            self._out.close()
            self._out = None

    # --- console -------------------------------------------------------
    def output(self):
        """Everything the program printed so far (stdout and stderr)."""
        with open(os.path.join(self.workdir, ".stdout"), "rb") as f:
            return f.read().decode("utf-8", "replace")

    def wait_for_output(self, text, timeout=20, start=0):
        """Waits until text appears in the output after position start; returns the output."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            out = self.output()
            if text in out[start:]:
                return out
            if self.proc.poll() is not None:
                break
            time.sleep(0.05)
        raise AssertionError("text %r not printed; output was:\n%s" % (text, self.output()[-3000:]))

    def wait_for_count(self, text, count, timeout=20):
        """Waits until text has been printed `count` times; returns the output."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            out = self.output()
            if out.count(text) >= count:
                return out
            if self.proc.poll() is not None:
                break
            time.sleep(0.05)
        raise AssertionError("text %r not printed %d times; output was:\n%s" % (text, count, self.output()[-3000:]))

    def sync(self, key, reply, timeout=20):
        """Sends `key`, whose handling prints a line matching the regular expression `reply`, and waits
        for that line. Events reach the program in order, so every key sent before has been handled
        (and has printed all it prints) by then. Returns the match; its start ends the earlier output."""
        start = len(self.output())
        self.key(key)
        pattern = re.compile(reply)
        deadline = time.time() + timeout
        while time.time() < deadline:
            m = pattern.search(self.output(), start)
            if m:
                return m
            if self.proc.poll() is not None:
                break
            time.sleep(0.05)
        raise AssertionError("key %r: no reply %r; output was:\n%s" % (key, reply, self.output()[-3000:]))

    def cpu_time(self):
        """Processor time (user and system, seconds) the program has used so far, all its threads."""
        with open("/proc/%d/stat" % self.proc.pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def cpu_over(self, seconds):
        """Processor time the program uses during the next `seconds` of wall time."""
        start = self.cpu_time()
        time.sleep(seconds)
        return self.cpu_time() - start

    def wait_exit(self, timeout=10):
        return self.proc.wait(timeout)

    def alive(self):
        return self.proc.poll() is None

    # --- window --------------------------------------------------------
    def find_window(self, timeout=20):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.proc.poll() is not None:
                raise AssertionError("program ended with %s before its window appeared:\n%s"
                                     % (self.proc.returncode, self.output()[-3000:]))
            out = self.x.run("xdotool", "search", "--name", "^%s$" % _regex_escape(self.title), check=False)
            ids = [w for w in out.split() if w.strip()]
            for wid in ids:
                if self.x.run("xwininfo", "-id", wid, check=False).find("IsViewable") >= 0:
                    return wid
            time.sleep(0.1)
        raise AssertionError("no window titled %r" % self.title)

    def geometry(self):
        """(x, y, width, height) of the window's drawing area on the screen."""
        info = self.x.run("xwininfo", "-id", self.window)
        vals = {}
        for line in info.splitlines():
            line = line.strip()
            for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
                if line.startswith(key + ":"):
                    vals[key] = int(line.split(":")[1])
        return (vals["Absolute upper-left X"], vals["Absolute upper-left Y"], vals["Width"], vals["Height"])

    def focus(self):
        self.x.run("xdotool", "windowfocus", "--sync", self.window, check=False)

    def pointer_to(self, wx, wy):
        """Moves the pointer to a point given relative to the window."""
        self.x.run("xdotool", "mousemove", "--window", self.window, str(wx), str(wy))

    def key(self, *keys):
        """Sends key names (xdotool syntax: 'R', 'Right', 'alt+r', 'plus', 'Escape') with the pointer
        inside. Returns once they are sent; wait for what they do (a console line, a file, a still
        picture), not for a time."""
        self.focus()
        x, y, w, h = self.geometry()
        self.pointer_to(w // 2, h // 2)
        for k in keys:
            self.x.run("xdotool", "key", "--clearmodifiers", k)

    def keys_together(self, *keys):
        """Sends keys while the program is stopped, so that it finds them all queued when it goes on
        and handles them in one pass, before any idle frame, however fast or slow the machine."""
        self.focus()
        x, y, w, h = self.geometry()
        self.pointer_to(w // 2, h // 2)
        self.proc.send_signal(signal.SIGSTOP)
        try:
            for k in keys:
                self.x.run("xdotool", "key", "--clearmodifiers", k)
            # A round trip: the server has handled the keys and queued their events for the program.
            self.x.run("xdpyinfo", "-queryExtensions")
        finally:
            self.proc.send_signal(signal.SIGCONT)

    def type_keys(self, text):
        """Sends one key per character (letters, digits)."""
        self.key(*[_key_name(c) for c in text])

    def key_repeat(self, key, count):
        """Sends one key `count` times in one go, as a held key would, with the pointer inside."""
        self.focus()
        x, y, w, h = self.geometry()
        self.pointer_to(w // 2, h // 2)
        self.x.run("xdotool", "key", "--clearmodifiers", "--repeat", str(count), "--delay", "1", key)

    def click(self, wx, wy, button=1):
        self.focus()
        self.pointer_to(wx, wy)
        self.x.run("xdotool", "click", str(button))

    def drag(self, wx0, wy0, wx1, wy1, steps=10, button=1):
        self.focus()
        self.pointer_to(wx0, wy0)
        self.x.run("xdotool", "mousedown", str(button))
        for i in range(1, steps + 1):
            self.pointer_to(wx0 + (wx1 - wx0) * i // steps, wy0 + (wy1 - wy0) * i // steps)
        self.x.run("xdotool", "mouseup", str(button))

    def wait_still(self, timeout=60, interval=0.5):
        """Waits until two screenshots of the window `interval` seconds apart are the same and
        returns the last (the whole screen). Call it after a console reply of the program, so that
        the window has been drawn at least once since the input it is to show."""
        x, y, w, h = self.geometry()
        path = os.path.join(self.workdir, ".still.ppm")
        last = None
        deadline = time.time() + timeout
        while time.time() < deadline:
            img = self.x.screenshot(path)
            rows = [img.data[3 * (r * img.width + x):3 * (r * img.width + x + w)] for r in range(y, y + h)]
            if rows == last:
                return img
            last = rows
            time.sleep(interval)
        raise AssertionError("the window kept changing")

    # --- menus ---------------------------------------------------------
    def menus(self):
        """Visible freeglut menu windows as (id, x, y, width, height), in tree order."""
        tree = self.x.run("xwininfo", "-root", "-tree")
        found = []
        for line in tree.splitlines():
            if "freeglut menu" not in line:
                continue
            wid = line.split()[0]
            info = self.x.run("xwininfo", "-id", wid, check=False)
            if "IsViewable" not in info:
                continue
            vals = {}
            for l in info.splitlines():
                l = l.strip()
                for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
                    if l.startswith(key + ":"):
                        vals[key] = int(l.split(":")[1])
            found.append((wid, vals["Absolute upper-left X"], vals["Absolute upper-left Y"],
                          vals["Width"], vals["Height"]))
        return found

    def open_menu(self, wx=40, wy=40, timeout=5):
        """Clicks the right button inside the window; the menu stays open. Returns its window."""
        self.focus()
        self.pointer_to(wx, wy)
        self.x.run("xdotool", "click", "3")
        deadline = time.time() + timeout
        while time.time() < deadline:
            m = self.menus()
            if m:
                return m[0]
            time.sleep(0.05)
        raise AssertionError("no menu opened")

    def wait_menus_closed(self, timeout=5):
        """Waits until the program has taken the click and closed its menus (or has ended)."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            if not self.alive() or not self.menus():
                return
            time.sleep(0.05)
        raise AssertionError("the menu stayed open")

    def menu_entry_point(self, menu, index):
        """Screen point in the middle of entry `index` (0-based) of a menu window."""
        _, mx, my, mw, _ = menu
        return mx + mw // 2, my + index * MENU_ENTRY_HEIGHT + MENU_ENTRY_HEIGHT // 2

    def choose_menu(self, path):
        """Opens the main menu and chooses entries along path (0-based): [2] is the third entry,
        [6, 4] the fifth entry of the submenu that the seventh entry opens. The program sees the
        pointer move before the click, so the click lands on the entry moved to."""
        menu = self.open_menu()
        for depth, index in enumerate(path):
            sx, sy = self.menu_entry_point(menu, index)
            self.x.run("xdotool", "mousemove", str(sx), str(sy))
            if depth == len(path) - 1:
                self.x.run("xdotool", "click", "1")
                self.wait_menus_closed()
                return
            deadline = time.time() + 5
            while True:
                others = [m for m in self.menus() if m[0] != menu[0]]
                if others:
                    menu = others[0]
                    break
                if time.time() > deadline:
                    raise AssertionError("submenu did not open")
                time.sleep(0.05)


def _regex_escape(s):
    out = []
    for c in s:
        if c in ".^$*+?()[]{}|\\":
            out.append("\\" + c)
        else:
            out.append(c)
    return "".join(out)


def _key_name(c):
    names = {"+": "plus", "-": "minus", " ": "space"}
    return names.get(c, c)


def read_text(path):
    with open(path) as f:
        return f.read()
