"""What key w keeps when it replaces its files, end to end: their permissions, the viewer itself
under a file-size limit, and no temporary file left when a signal ends the viewer mid-write."""
import os
import re
import signal
import stat
import time
import unittest

import harness
import test_crimpa_nfmars as nfmars
import test_hedrix as hedrix

FILE_LINE = "Datei kann nicht geoeffnet werden!\n"
# Loading a design at the store's capacity and writing it take seconds on a loaded machine.
SLOW = 180


def temporaries(workdir):
    return sorted(n for n in os.listdir(workdir) if n.endswith(".tmp"))


def mode_of(path):
    return stat.S_IMODE(os.stat(path).st_mode)


def umask():
    mask = os.umask(0o22)
    os.umask(mask)
    return mask


class WriteSafety(unittest.TestCase):
    def start(self, program, title, fsize=None, default_signal=None):
        """The program in a window of its own; with `fsize`, under that file-size limit; with
        `default_signal`, that signal at its default disposition and no core file, whatever this test
        inherited (nohup ignores SIGHUP, a command started with & from a script SIGINT and SIGQUIT)."""
        runner = []
        if fsize is not None:
            runner += ["prlimit", "--fsize=%d" % fsize, "--"]
        if default_signal is not None:
            runner += ["prlimit", "--core=0", "--", "env", "--default-signal=%d" % default_signal, "--"]
        return harness.start_for_test(self, program, title, runner)[1]

    def path(self, prog, name):
        return os.path.join(prog.workdir, name)

    def plant_private_files(self, prog):
        """An earlier crInc.txt at 0600 and wemo.txt at 0640, with their permissions set apart from
        the umask; returns the expected permissions of every file w writes."""
        for name, mode in (("crInc.txt", 0o600), ("wemo.txt", 0o640)):
            with open(self.path(prog, name), "w") as f:
                f.write("earlier export\n")
            os.chmod(self.path(prog, name), mode)
        return {"crInc.txt": 0o600, "wemo.txt": 0o640, "wp.txt": 0o666 & ~umask()}

    def assert_written_with(self, prog, modes):
        for name, mode in modes.items():
            self.assertEqual(oct(mode_of(self.path(prog, name))), oct(mode), name)
            self.assertNotEqual(harness.read_text(self.path(prog, name)), "earlier export\n", name)
        self.assertEqual(temporaries(prog.workdir), [])

    def test_hedrix_keeps_the_permissions_of_its_files(self):
        prog = self.start("PROGRAM_HEDRIX", hedrix.TITLE)
        modes = self.plant_private_files(prog)
        prog.sync("w", hedrix.WRITE_DONE, timeout=SLOW)
        self.assert_written_with(prog, modes)

    def test_crimpa_keeps_the_permissions_of_its_files(self):
        prog = self.start("PROGRAM_CRIMPA_NFMARS", nfmars.TITLE)
        prog.wait_for_count(nfmars.EDGE_LINE, 3, timeout=SLOW)
        modes = self.plant_private_files(prog)
        del modes["wp.txt"]
        prog.sync("w", nfmars.WRITE_REPLY, timeout=SLOW)
        self.assert_written_with(prog, modes)

    def test_hedrix_under_a_file_size_limit_refuses_each_file_too_large_and_goes_on(self):
        prog = self.start("PROGRAM_HEDRIX", hedrix.TITLE, fsize=4096)
        # The start object's three files are each larger than 4096 bytes.
        prog.key("w")
        out = prog.wait_for_count(FILE_LINE, 3, timeout=SLOW)
        self.assertTrue(prog.alive(), out)
        self.assertEqual(sorted(n for n in os.listdir(prog.workdir) if not n.startswith(".")), [])
        # The small octahedron's wemo.txt and crInc.txt fit, its wp.txt does not.
        start = len(out)
        prog.key("o", "w")
        out = prog.wait_for_count(FILE_LINE, 4, timeout=SLOW)
        self.assertTrue(out[start:].endswith("write 24 vertices ... write 24 vertices ... " + FILE_LINE),
                        out[start:])
        self.assertTrue(prog.alive())
        vertices, faces = hedrix.read_short_mesh(self.path(prog, "wemo.txt"))
        self.assertEqual((len(vertices), len(faces)), (24, 26))
        self.assertEqual(len(nfmars.read_source_rows(self.path(prog, "crInc.txt"))), 24)
        self.assertFalse(os.path.exists(self.path(prog, "wp.txt")))
        self.assertEqual(temporaries(prog.workdir), [])

    def test_an_ending_signal_in_the_middle_of_a_write_leaves_no_temporary_file(self):
        # Ctrl+C, a kill, a closed session, Ctrl+\ in the console.
        for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP, signal.SIGQUIT):
            with self.subTest(signal=sig.name):
                self.signal_in_the_middle_of_a_write(sig)
            self.doCleanups()

    def signal_in_the_middle_of_a_write(self, sig):
        """Sends `sig` to crimpa-nfmars while it writes a design close to its capacity: it ends as
        `sig` ends it, with no temporary file left and the earlier files whole."""
        prog = self.start("PROGRAM_CRIMPA_NFMARS", nfmars.TITLE, default_signal=sig)
        prog.wait_for_count(nfmars.EDGE_LINE, 3, timeout=SLOW)
        n = 263  # (n + 1)^2 vertices: close to the store's 70000
        with open(self.path(prog, "fold1b.cqv"), "w") as f:
            f.write(nfmars.grid_design(n))
        prog.choose_menu([nfmars.DESIGNS, 5])
        prog.wait_for_output(" generated %d edges\n" % (2 * n * (n + 1)), timeout=SLOW)
        prog.sync("w", nfmars.WRITE_REPLY, timeout=SLOW)
        whole = hedrix.file_texts(prog.workdir, ["wemo.txt", "crInc.txt"])
        self.assertGreater(len(whole[0]), 4 << 20)
        caught = self.stop_in_the_middle_of_a_write(prog)
        self.assertTrue(caught, "no write caught with its temporary file in 20 tries")
        prog.proc.send_signal(sig)
        prog.proc.send_signal(signal.SIGCONT)
        self.assertEqual(prog.wait_exit(SLOW), -sig)
        self.assertEqual(temporaries(prog.workdir), [], "caught while writing %s" % caught)
        self.assertEqual(hedrix.file_texts(prog.workdir, ["wemo.txt", "crInc.txt"]), whole)

    def stop_in_the_middle_of_a_write(self, prog, tries=20):
        """Presses w and stops the program as soon as a temporary file of its write appears; gives
        the file's name once the program is stopped with the file still there, else tries again."""
        for _ in range(tries):
            start = len(prog.output())
            prog.key("w")
            deadline = time.time() + SLOW
            polls = 0
            while time.time() < deadline:
                if temporaries(prog.workdir):
                    prog.proc.send_signal(signal.SIGSTOP)
                    self.wait_stopped(prog)
                    left = temporaries(prog.workdir)
                    if left:
                        return left
                    prog.proc.send_signal(signal.SIGCONT)
                polls += 1
                if polls % 64 == 0 and re.search(nfmars.WRITE_REPLY, prog.output()[start:]):
                    break
            self.assertRegex(prog.output()[start:], nfmars.WRITE_REPLY)
        return None

    def wait_stopped(self, prog):
        deadline = time.time() + SLOW
        while time.time() < deadline:
            with open("/proc/%d/stat" % prog.proc.pid) as f:
                if f.read().rsplit(")", 1)[1].split()[0] == "T":
                    return
            time.sleep(0.001)
        self.fail("the program did not stop")


if __name__ == "__main__":
    unittest.main()
