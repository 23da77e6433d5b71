"""Starts the program on the X display, waits for its window, closes it as a window manager's
close button does (a WM_DELETE_WINDOW message, which Qt turns into a close event) and exits with
the program's exit status. Usage: open_and_close.py PROGRAM TITLE"""

import subprocess
import sys
import time

from Xlib import X, display, error, protocol

APPEAR_SECONDS = 10
EXIT_SECONDS = 5


def shown_window(root, title):
    # The display is the program's own, so its title alone picks the window.
    for window in root.query_tree().children:
        try:
            if (window.get_wm_name() == title
                    and window.get_attributes().map_state == X.IsViewable):
                return window
        except error.BadWindow:
            pass  # destroyed while we looked
    return None


def main():
    program, title = sys.argv[1:]
    process = subprocess.Popen([program])
    try:
        connection = display.Display()
        root = connection.screen().root
        deadline = time.monotonic() + APPEAR_SECONDS
        window = None
        while window is None and time.monotonic() < deadline and process.poll() is None:
            window = shown_window(root, title)
            time.sleep(0.1)
        if process.poll() is not None:
            sys.exit(f"exited with status {process.returncode} before showing its window")
        if window is None:
            sys.exit(f"no window titled {title!r} shown within {APPEAR_SECONDS} s")

        delete = connection.intern_atom("WM_DELETE_WINDOW")
        if delete not in window.get_wm_protocols():
            sys.exit("the window does not accept WM_DELETE_WINDOW")
        window.send_event(protocol.event.ClientMessage(
            window=window, client_type=connection.intern_atom("WM_PROTOCOLS"),
            data=(32, [delete, X.CurrentTime, 0, 0, 0])))
        connection.flush()

        status = process.wait(timeout=EXIT_SECONDS)
        print(f"window shown and closed; exit status {status}")
        sys.exit(status)
    except subprocess.TimeoutExpired:
        sys.exit(f"still running {EXIT_SECONDS} s after its window was closed")
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()


main()
