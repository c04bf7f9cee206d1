"""A stand-in for a viewer, for the harness's own tests: opens a white window with a title, then
waits for events (as a viewer at rest does), waits for events but wakes every 50 ms (as a viewer
with a timer running does), sleeps on a timer, or keeps a core busy.

    python3 standin.py TITLE WIDTH HEIGHT DELAY MODE    (MODE: events, ticks, timer or busy)
"""
import os
import select
import struct
import sys
import time

import harness

title, mode = sys.argv[1], sys.argv[5]
width, height, delay = int(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4])
time.sleep(delay)
x = harness._XClient(os.environ["DISPLAY"])
wid = x.id_base | 1
# CreateWindow (at 50,50, a white background), its WM_NAME, MapWindow
x.request(1, 0, struct.pack("<IIhhHHHHIII", wid, x.root, 50, 50, width, height, 0, 1, 0, 0x2, 0xFFFFFF), reply=False)
raw = title.encode("latin-1")
x.request(18, 0, struct.pack("<IIIB3xI", wid, x.atom("WM_NAME"), 31, 8, len(raw)) + raw, reply=False)
x.request(8, 0, struct.pack("<I", wid), reply=False)
x.sync()
if mode == "events":
    while True:
        select.select([x.sock], [], [])
        x.sock.recv(4096)
elif mode == "ticks":
    while True:
        if select.select([x.sock], [], [], 0.05)[0]:
            x.sock.recv(4096)
elif mode == "timer":
    while True:
        time.sleep(1)
else:
    while True:
        pass
