# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Starts the program on the X display, waits for its window, closes it as a window manager's
close button does (a WM_DELETE_WINDOW message, which Qt turns into a close event) and exits with
the program's exit status. Usage: open_and_close.py PROGRAM TITLE"""

import subprocess
import sys
import time

from Xlib import X, display, error, protocol


def is_shown(window, title):
    try:
        return window.get_wm_name() == title and window.get_attributes().map_state == X.IsViewable
    except error.BadWindow:
        return False  # destroyed while we looked


def close_when_shown(process, title):
    connection = display.Display()  # the program's own display: its title alone picks its window
    deadline = time.monotonic() + 10
    while not (shown := [w for w in connection.screen().root.query_tree().children
                         if is_shown(w, title)]):
        if process.poll() is not None:
            sys.exit(f"exited with status {process.returncode} before showing its window")
        if time.monotonic() > deadline:
            sys.exit(f"no window titled {title!r} shown within 10 s")
        time.sleep(0.1)
    shown[0].send_event(protocol.event.ClientMessage(
        window=shown[0], client_type=connection.intern_atom("WM_PROTOCOLS"),
        data=(32, [connection.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
    connection.flush()


program, title = sys.argv[1:]
process = subprocess.Popen([program])
try:
    close_when_shown(process, title)
    status = process.wait(timeout=5)
    print(f"window shown and closed; exit status {status}")
    sys.exit(status)
except subprocess.TimeoutExpired:
    sys.exit("still running 5 s after its window was closed")
finally:
    if process.poll() is None:
        process.kill()
        process.wait()
