"""End-to-end harness: real programs in a real window under Xvfb.

Each test (or fixture) starts its own X server on a free display, starts the
program in a fresh temporary working directory under $TMPDIR, finds the window
the started process opened, drives it with xdotool and reads what it printed,
the files it wrote and the pixels of its window. Standard library only: the
harness speaks the few X requests it needs (window tree, geometry, pixels, the
process of a client) itself.

Every wait is on something the program does (a console line, a written file,
its window drawn and the program asleep until the next event), never on a
number of frames; the time limits are caps sized for a heavily loaded machine.
"""

import collections
import contextlib
import os
import platform
import re
import shutil
import signal
import socket
import struct
import subprocess
import tempfile
import time

SCREEN_W, SCREEN_H = 1600, 1400
MENU_ENTRY_HEIGHT = 25

# Caps on waits, sized for a machine at load 30: what a program does in a few frames (a window, a
# console reply, a menu) and what it does over hundreds of frames (a turn, a fold, an animation).
WAIT = 120
MOTION = 600

# A program at rest takes less than REST_CPU seconds of processor time in REST_SECONDS, where a busy
# idle loop takes about REST_SECONDS: a behaviour check (a busy loop or not), not a speed claim.
REST_SECONDS = 2.0
REST_CPU = 0.2


def program_path(env_name):
    """Path of a built program, handed in by CTest through the environment."""
    path = os.environ.get(env_name)
    if not path or not os.path.exists(path):
        raise RuntimeError("environment variable %s does not name a built program" % env_name)
    return path


def start_for_test(test, env_name, title, runner=()):
    """Starts the program that env_name names on an X server of its own, both ended and cleaned up
    when the test case `test` ends, pass or fail; returns (xserver, program). `runner` is a command
    that runs the program in its own process (prlimit ... --), so the window is still that process's."""
    x = XServer().__enter__()
    test.addCleanup(x.__exit__, None, None, None)
    command = list(runner) + [program_path(env_name)]
    prog = Program(x, command[0], title, args=command[1:])
    test.addCleanup(prog.__exit__, None, None, None)  # before the start: a start that fails ends it too
    prog.start()
    return x, prog


class _XClient:
    """A connection to an X server speaking the core requests the harness reads with, and the
    X-Resource request that names the process of each client. Little-endian, no authorization (our
    Xvfb accepts local clients)."""

    def __init__(self, display):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect("/tmp/.X11-unix/X" + display.lstrip(":").split(".")[0])
        self.sock.sendall(struct.pack("<BxHHHHxx", 0x6C, 11, 0, 0, 0))
        head = self._read(8)
        setup = self._read(4 * struct.unpack_from("<H", head, 6)[0])
        if head[0] != 1:
            raise RuntimeError("X server refused the connection: %r" % setup[:head[1]])
        (_, self.id_base, self.id_mask, _, vendor_len, _, n_screens, n_formats, byte_order) = struct.unpack_from(
            "<IIIIHHBBB", setup, 0)
        if byte_order != 0:
            raise RuntimeError("X server sends images most significant byte first")
        pos = 32 + (vendor_len + 3) // 4 * 4
        formats = {}
        for _ in range(n_formats):
            depth, bpp, _ = struct.unpack_from("<BBB", setup, pos)
            formats[depth] = bpp
            pos += 8
        self.root, = struct.unpack_from("<I", setup, pos)
        root_visual, = struct.unpack_from("<I", setup, pos + 32)
        n_depths = setup[pos + 39]
        pos += 40
        masks = None
        for _ in range(n_depths):
            depth, n_visuals = struct.unpack_from("<BxH", setup, pos)
            pos += 8
            for _ in range(n_visuals):
                vid, _, _, _, red, green, blue = struct.unpack_from("<IBBHIII", setup, pos)
                if vid == root_visual and depth == 24:
                    masks = (red, green, blue)
                pos += 24
        if masks is None or formats.get(24) != 32:
            raise RuntimeError("X server's root visual is not 24-bit true colour in 32-bit pixels")
        # Byte of each of red, green, blue within a little-endian 32-bit pixel.
        self.rgb_bytes = [(m & -m).bit_length() // 8 for m in masks]
        self.seq = 0
        self._atoms = {}
        self._xres = None

    def close(self):
        self.sock.close()

    def _read(self, n):
        buf = bytearray(n)
        view, got = memoryview(buf), 0
        while got < n:
            k = self.sock.recv_into(view[got:])
            if not k:
                raise RuntimeError("X server closed the connection")
            got += k
        return buf

    def request(self, opcode, data=0, body=b"", reply=True):
        """Sends one request; returns its reply (the 32-byte head and what follows) or None where the
        request failed (a window gone meanwhile)."""
        body += b"\0" * (-len(body) % 4)
        self.sock.sendall(struct.pack("<BBH", opcode, data, 1 + len(body) // 4) + body)
        self.seq = (self.seq + 1) & 0xFFFF
        if not reply:
            return None
        while True:
            head = self._read(32)
            if head[0] == 0:  # an error
                if struct.unpack_from("<H", head, 2)[0] == self.seq:
                    return None
            elif head[0] == 1:
                rest = self._read(4 * struct.unpack_from("<I", head, 4)[0])
                if struct.unpack_from("<H", head, 2)[0] == self.seq:
                    return head + rest
            # events and stale replies are passed over

    def sync(self):
        """A round trip: the server has handled every request sent before, ours and other clients'
        that reached it first, and passed on the events they made."""
        self.request(43)  # GetInputFocus

    def atom(self, name):
        if name not in self._atoms:
            raw = name.encode()
            r = self.request(16, 0, struct.pack("<Hxx", len(raw)) + raw)  # InternAtom
            self._atoms[name] = struct.unpack_from("<I", r, 8)[0]
        return self._atoms[name]

    def children(self, window):
        """Child windows, bottom of the stack first."""
        r = self.request(15, 0, struct.pack("<I", window))  # QueryTree
        if r is None:
            return []
        n, = struct.unpack_from("<H", r, 16)
        return list(struct.unpack_from("<%dI" % n, r, 32))

    def name(self, window):
        r = self.request(20, 0, struct.pack("<IIIII", window, self.atom("WM_NAME"), 0, 0, 1024))  # GetProperty
        if r is None or r[1] != 8:
            return None
        n, = struct.unpack_from("<I", r, 16)
        return r[32:32 + n].decode("latin-1")

    def viewable(self, window):
        r = self.request(3, 0, struct.pack("<I", window))  # GetWindowAttributes
        return r is not None and r[26] == 2

    def geometry(self, window):
        """(x, y, width, height) of a window's inside on the screen, or None once it is gone."""
        g = self.request(14, 0, struct.pack("<I", window))  # GetGeometry
        t = self.request(40, 0, struct.pack("<IIhh", window, self.root, 0, 0))  # TranslateCoordinates
        if g is None or t is None:
            return None
        w, h = struct.unpack_from("<HH", g, 16)
        x, y = struct.unpack_from("<hh", t, 12)
        return x, y, w, h

    def pixels(self, drawable, x, y, w, h):
        """RGB bytes of a rectangle of a window, in its coordinates."""
        r = self.request(73, 2, struct.pack("<IhhHHI", drawable, x, y, w, h, 0xFFFFFFFF))  # GetImage
        if r is None:
            raise RuntimeError("no pixels of window %#x at %d,%d %dx%d" % (drawable, x, y, w, h))
        raw = memoryview(r)[32:32 + 4 * w * h]
        rgb = bytearray(3 * w * h)
        for k, b in enumerate(self.rgb_bytes):
            rgb[k::3] = raw[b::4]
        return bytes(rgb)

    def client_bases(self, pid):
        """The resource-id bases of the clients the process `pid` has opened."""
        if self._xres is None:
            raw = b"X-Resource"
            r = self.request(98, 0, struct.pack("<Hxx", len(raw)) + raw)  # QueryExtension
            if not r[8]:
                raise RuntimeError("X server without the X-Resource extension")
            self._xres = r[9]
            self.request(self._xres, 0, struct.pack("<BBxx", 1, 2))  # QueryVersion 1.2
        r = self.request(self._xres, 4, struct.pack("<III", 1, 0, 2))  # QueryClientIds: every client's PID
        n, = struct.unpack_from("<I", r, 8)
        pos, bases = 32, set()
        for _ in range(n):
            client, mask, length = struct.unpack_from("<III", r, pos)
            pos += 12
            if mask == 2 and length == 4 and struct.unpack_from("<I", r, pos)[0] == pid:
                bases.add(client & ~self.id_mask)
            pos += (length + 3) // 4 * 4
        return bases

    def windows_of(self, pid, name):
        """The viewable top-level windows called `name` that the process `pid` opened, top of the
        stack first."""
        bases = self.client_bases(pid)
        found = []
        for w in reversed(self.children(self.root)):
            if w & ~self.id_mask in bases and self.name(w) == name and self.viewable(w):
                found.append(w)
        return found


class XServer:
    """An Xvfb of its own; use as a context manager."""

    def __init__(self, width=SCREEN_W, height=SCREEN_H):
        self.width, self.height = width, height
        self.proc = None
        self.display = None
        self._client = None

    def __enter__(self):
        # Xvfb picks a free display itself and tells us which: no race between parallel tests.
        rfd, wfd = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(wfd), "-screen", "0", "%dx%dx24" % (self.width, self.height),
             "-nolisten", "tcp", "-noreset"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, pass_fds=(wfd,))
        os.close(wfd)
        number = b""
        deadline = time.time() + WAIT
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
        while True:
            try:
                self._client = _XClient(self.display)
                return self
            except OSError:
                if time.time() > deadline:
                    self._stop()
                    raise RuntimeError("Xvfb did not accept connections")
                time.sleep(0.1)

    def __exit__(self, *exc):
        self._stop()

    def _stop(self):
        if self._client:
            self._client.close()
            self._client = None
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc = None

    @property
    def client(self):
        """The harness's own connection to the server."""
        return self._client

    def env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.display
        env.pop("XAUTHORITY", None)
        return env

    def run(self, *args, check=True):
        """Runs an X client (xdotool, import) against this display."""
        res = subprocess.run(list(args), env=self.env(), stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                             text=True, timeout=WAIT)
        if check and res.returncode != 0:
            raise RuntimeError("%s failed: %s" % (" ".join(args), res.stderr.strip()))
        return res.stdout

    def sync(self):
        """Returns once the server has handled every request that reached it before, other clients'
        (xdotool's input) included, and has passed their events on."""
        self._client.sync()

    def capture(self, window=None):
        """What the screen shows in a window's place (default: the whole screen), as an Image in screen
        coordinates: a window above it (a menu) shows as on the screen. Parts off the screen are left
        out."""
        if window is None:
            return Image(self.width, self.height, self._client.pixels(self._client.root, 0, 0, self.width,
                                                                      self.height))
        # Read from the root: the screen's pixels in the window's place, whatever lies above it.
        x, y, w, h = self._client.geometry(int(window))
        x0, y0 = max(x, 0), max(y, 0)
        w, h = min(x + w, self.width) - x0, min(y + h, self.height) - y0
        return Image(w, h, self._client.pixels(self._client.root, x0, y0, w, h), x0, y0)

    def screenshot(self, path):
        """The whole screen as a binary PPM file; returns an Image."""
        img = self.capture()
        img.save(path)
        return img


class Image:
    """RGB pixels of a rectangle of the screen, `width` by `height` from the screen point (left, top):
    the whole screen or one window. pixel() and count() take screen coordinates, and read only
    inside the rectangle."""

    def __init__(self, width, height, data, left=0, top=0):
        self.width, self.height, self.data = width, height, data
        self.left, self.top = left, top

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

    def save(self, path):
        """Writes the pixels as a binary PPM file (the rectangle alone)."""
        with open(path, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (self.width, self.height) + self.data)

    def __eq__(self, other):
        if not isinstance(other, Image):
            return NotImplemented
        return ((self.left, self.top, self.width, self.height, self.data)
                == (other.left, other.top, other.width, other.height, other.data))

    def box(self):
        """The rectangle (x0, y0, x1, y1) on the screen."""
        return self.left, self.top, self.left + self.width, self.top + self.height

    def _check_inside(self, x0, y0, x1, y1):
        l, t, r, b = self.box()
        if not (l <= x0 <= x1 <= r and t <= y0 <= y1 <= b):
            raise ValueError("(%d, %d)-(%d, %d) lies outside the captured %dx%d at (%d, %d)"
                             % (x0, y0, x1, y1, self.width, self.height, self.left, self.top))

    def pixel(self, x, y):
        self._check_inside(x, y, x + 1, y + 1)
        i = 3 * ((y - self.top) * self.width + x - self.left)
        return tuple(self.data[i:i + 3])

    def count(self, predicate, box=None):
        """Number of pixels in box (x0, y0, x1, y1) for which predicate(r, g, b) holds (a function of
        the colour alone: it is asked once per colour)."""
        x0, y0, x1, y1 = box or self.box()
        self._check_inside(x0, y0, x1, y1)
        colours = collections.Counter()
        for y in range(y0 - self.top, y1 - self.top):
            row = self.data[3 * (y * self.width + x0 - self.left):3 * (y * self.width + x1 - self.left)]
            colours.update(zip(row[0::3], row[1::3], row[2::3]))
        return sum(n for colour, n in colours.items() if predicate(*colour))

    def differing(self, other):
        """Number of pixels in which two captures of the same rectangle differ."""
        if self.box() != other.box():
            raise ValueError("captures of different rectangles")
        n, stride = 0, 3 * self.width
        for start in range(0, len(self.data), stride):
            a, b = self.data[start:start + stride], other.data[start:start + stride]
            if a != b:
                n += sum(1 for i in range(0, stride, 3) if a[i:i + 3] != b[i:i + 3])
        return n


# The system calls a program's main thread sleeps in when it waits for its next event: freeglut
# waits in select() (pselect6 underneath); Xlib waits for a reply in poll(), which is not a rest.
_EVENT_WAIT_CALLS = {"x86_64": {23, 270}, "aarch64": {72}}.get(platform.machine())


class Program:
    """A program started in its own temporary working directory (under $TMPDIR). As a context manager
    it ends the program and removes the directory it made however the block is left."""

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
        try:
            self.start()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        self.stop()
        if self.own_dir:
            shutil.rmtree(self.workdir, ignore_errors=True)

    def start(self, timeout=WAIT):
        self._out = open(os.path.join(self.workdir, ".stdout"), "wb")
        self.proc = subprocess.Popen([self.path] + self.args, cwd=self.workdir, env=self.x.env(),
                                     stdin=subprocess.DEVNULL, stdout=self._out, stderr=subprocess.STDOUT)
        self.window = self.find_window(timeout)
        return self

    def stop(self):
        """Ends the program (if it still runs); safe to call again."""
        if self.proc and self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(10)
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

    def wait_for_output(self, text, timeout=WAIT, start=0):
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

    def wait_for_count(self, text, count, timeout=WAIT):
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

    def sync(self, key, reply, timeout=WAIT):
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

    def assert_cpu_at_rest(self, what, used=None):
        """Fails unless the program takes less than REST_CPU seconds of processor time in the next
        REST_SECONDS, or took `used` seconds in REST_SECONDS that the caller measured."""
        if used is None:
            used = self.cpu_over(REST_SECONDS)
        if used >= REST_CPU:
            raise AssertionError("%s: %.2f s of processor time in %.0f s" % (what, used, REST_SECONDS))

    def wait_exit(self, timeout=WAIT):
        return self.proc.wait(timeout)

    def alive(self):
        return self.proc.poll() is None

    def _main_thread(self):
        """(state, system call, context switches) of the main thread. The call is None where the
        system does not tell it, -1 while the thread runs."""
        task = "/proc/%d/task/%d/" % (self.proc.pid, self.proc.pid)
        with open(task + "stat") as f:
            state = f.read().rsplit(")", 1)[1].split()[0]
        with open(task + "status") as f:
            switches = sum(int(l.split()[1]) for l in f if "ctxt_switches:" in l)
        try:
            with open(task + "syscall") as f:
                first = f.read().split()[0]
            call = int(first) if first.isdigit() else -1
        except (OSError, IndexError):
            call = None
        return state, call, switches

    def _sleeps_for_events(self):
        state, call, switches = self._main_thread()
        known = call is not None and _EVENT_WAIT_CALLS is not None
        return state == "S" and (call in _EVENT_WAIT_CALLS if known else True), switches

    def at_rest(self, quiet=0.1):
        """Whether the program waits for its next event: it has handled every event the server passed
        on before the call and drawn what they asked for, runs no idle callback (no motion), and
        stays asleep for `quiet` seconds. (Where the system does not tell which call a thread sleeps
        in, any sleep that lasts counts.)"""
        self.x.sync()
        try:
            waiting, before = self._sleeps_for_events()
            if not waiting:
                return False
            time.sleep(quiet)
            waiting, after = self._sleeps_for_events()
        except OSError:  # ended
            return False
        return waiting and after == before

    def wait_rest(self, timeout=MOTION):
        """Waits until the program is at rest (see at_rest): whatever was sent to it has been handled
        and drawn, and any motion it started has ended. The wait is on the program, however many frames
        the motion takes; `timeout` is only a cap."""
        deadline = time.time() + timeout
        while not self.at_rest():
            if not self.alive():
                raise AssertionError("the program ended with %s:\n%s"
                                     % (self.proc.returncode, self.output()[-3000:]))
            if time.time() > deadline:
                raise AssertionError("the program did not come to rest in %d s (%.1f s of processor time)"
                                     % (timeout, self.cpu_time()))
            time.sleep(0.02)

    # --- window --------------------------------------------------------
    def find_window(self, timeout=WAIT):
        """The window titled self.title that this process opened (never another process's window of
        the same title), once it is on the screen."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.proc.poll() is not None:
                raise AssertionError("program ended with %s before its window appeared:\n%s"
                                     % (self.proc.returncode, self.output()[-3000:]))
            ids = self.x.client.windows_of(self.proc.pid, self.title)
            if ids:
                return str(ids[0])
            time.sleep(0.1)
        raise AssertionError("no window titled %r of process %d" % (self.title, self.proc.pid))

    def geometry(self):
        """(x, y, width, height) of the window's drawing area on the screen."""
        g = self.x.client.geometry(int(self.window))
        if g is None:
            raise AssertionError("the window is gone")
        return g

    def capture(self):
        """What the window shows now, as an Image in screen coordinates (the window alone)."""
        return self.x.capture(self.window)

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
        """Sends keys, with the pointer inside, while the program is stopped (see stopped())."""
        self.focus()
        x, y, w, h = self.geometry()
        self.pointer_to(w // 2, h // 2)
        with self.stopped():
            for k in keys:
                self.x.run("xdotool", "key", "--clearmodifiers", k)

    def key_repeat(self, key, count):
        """Sends one key `count` times in one go, as a held key would, with the pointer inside."""
        self.focus()
        x, y, w, h = self.geometry()
        self.pointer_to(w // 2, h // 2)
        self.x.run("xdotool", "key", "--clearmodifiers", "--repeat", str(count), "--delay", "1", key)

    def resize(self, width, height):
        """Gives the window's drawing area width x height pixels; wait_still then waits for the
        program to draw it anew."""
        self.x.run("xdotool", "windowsize", "--sync", self.window, str(width), str(height))

    @contextlib.contextmanager
    def stopped(self):
        """Keeps the program stopped while the block sends it input (key, drag): it finds all of it
        queued when it goes on and handles it in one pass, before any idle frame, however fast or
        slow the machine."""
        self.proc.send_signal(signal.SIGSTOP)
        try:
            # The signal takes effect when the program next runs: wait for that.
            deadline = time.time() + WAIT
            while self._main_thread()[0] != "T":
                if time.time() > deadline:
                    raise AssertionError("the program did not stop")
                time.sleep(0.01)
            yield
            # A round trip: the server has handled the input and queued its events for the program.
            self.x.sync()
        finally:
            self.proc.send_signal(signal.SIGCONT)

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

    def wait_still(self, timeout=MOTION, interval=0.5):
        """Waits until the program is at rest (every input sent so far handled and drawn, any motion
        ended: see wait_rest) and two captures of the window `interval` seconds apart are the same;
        returns the last, the window alone as an Image in screen coordinates."""
        deadline = time.time() + timeout
        last = None
        while True:
            self.wait_rest(max(deadline - time.time(), 0))
            img = self.capture()
            if img == last:
                return img
            if time.time() > deadline:
                raise AssertionError("the window kept changing")
            last = img
            time.sleep(interval)

    # --- menus ---------------------------------------------------------
    def menus(self):
        """This program's visible freeglut menu windows as (id, x, y, width, height), top first."""
        found = []
        for wid in self.x.client.windows_of(self.proc.pid, "freeglut menu"):
            g = self.x.client.geometry(wid)
            if g:
                found.append((str(wid),) + g)
        return found

    def open_menu(self, wx=40, wy=40, timeout=WAIT):
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

    def wait_menus_closed(self, timeout=WAIT):
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
            deadline = time.time() + WAIT
            while True:
                others = [m for m in self.menus() if m[0] != menu[0]]
                if others:
                    menu = others[0]
                    break
                if time.time() > deadline:
                    raise AssertionError("submenu did not open")
                time.sleep(0.05)


def read_text(path):
    with open(path) as f:
        return f.read()
