"""Runs a command on an Xvfb of its own: python3 with_xvfb.py WxHxD COMMAND ARGS...

Xvfb picks a free display itself and names it on a pipe, so two runs started together never
reach for the same display (xvfb-run -a guesses one from the lock files and can collide)."""
import os
import subprocess
import sys
import time


def main():
    screen, command = sys.argv[1], sys.argv[2:]
    rfd, wfd = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(wfd), "-screen", "0", screen, "-nolisten", "tcp",
                               "-noreset"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, pass_fds=(wfd,))
    os.close(wfd)
    number = b""
    with os.fdopen(rfd, "rb", buffering=0) as r:
        while not number.endswith(b"\n"):
            chunk = r.read(16)
            if not chunk:
                break
            number += chunk
    try:
        if not number.strip().isdigit():
            print("Xvfb did not start", file=sys.stderr)
            return 1
        display = ":" + number.strip().decode()
        # The server names its display once it listens; its socket may still be on its way.
        socket_path = "/tmp/.X11-unix/X" + display[1:]
        deadline = time.time() + 120
        while not os.path.exists(socket_path) and time.time() < deadline:
            time.sleep(0.05)
        return subprocess.call(command, env=dict(os.environ, DISPLAY=display))
    finally:
        server.terminate()
        try:
            server.wait(timeout=30)
        except subprocess.TimeoutExpired:
            server.kill()
            server.wait()


if __name__ == "__main__":
    sys.exit(main())
