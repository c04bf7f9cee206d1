"""Runs a command on an Xvfb of its own: python3 with_xvfb.py WIDTHxHEIGHT COMMAND ARGS...

The X server is the end-to-end harness's: it picks a free display itself and names it, so two runs
started together never reach for the same display (xvfb-run -a guesses one and can collide)."""
import os
import subprocess
import sys

# The harness lives in the source tree: no bytecode written beside it.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness


def main():
    width, height = (int(n) for n in sys.argv[1].split("x"))
    with harness.XServer(width, height) as x:
        return subprocess.call(sys.argv[2:], env=x.env())


if __name__ == "__main__":
    sys.exit(main())
