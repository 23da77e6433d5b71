"""Drags a CSV file onto the real window's input box with Shift held, as a file manager does when
the user moves files: the window must answer a copy, or the file manager deletes the file.
Usage: shift_drag.py ZELUVAR (on an X display)"""

import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "windows"))
import xdnd_drag  # noqa: E402

INPUT_BOX = (338, 120)  # inside csvfile, in window coordinates


def window_named(source, name, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        for window in source.root.query_tree().children:
            attributes = window.get_attributes()
            if attributes.map_state == xdnd_drag.X.IsViewable and window.get_wm_name() == name:
                return window
        time.sleep(0.2)
    raise TimeoutError(f"no window named {name}")


def main():
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "通讯录.csv")
        with open(path, "wb") as f:
            f.write("姓名\r\n王五\r\n".encode())
        # On the X display, whatever platform the tests around it run on.
        program = subprocess.Popen([sys.argv[1]], env=dict(os.environ, QT_QPA_PLATFORM="xcb"))
        try:
            source = xdnd_drag.DragSource([path], shift=True)
            origin = window_named(source, "Zeluvar").translate_coords(source.root, 0, 0)
            time.sleep(1)  # the window takes drops once it has painted
            result = source.drag(-origin.x + INPUT_BOX[0], -origin.y + INPUT_BOX[1])
        finally:
            program.terminate()
            program.wait(10)
        if result != 0:
            print(f"the drop ended with {result}, not as a copy", file=sys.stderr)
            return 1
        if not os.path.exists(path):
            print("the dropped file is gone", file=sys.stderr)
            return 1
    return 0


sys.exit(main())
