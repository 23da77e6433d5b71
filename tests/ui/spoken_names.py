"""Starts the program on the X display and reads its window the way a screen reader does, through
AT-SPI: every box, the encoding group and the button must have the name a screen reader speaks,
and the encoding buttons must sit in the named group. Needs a D-Bus session (dbus-run-session).
Usage: spoken_names.py PROGRAM"""

import os
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

APPEAR_SECONDS = 20

# role, name, the name of the group it is in. Roles are compared as AT-SPI's role numbers: their
# printed names change between releases (a push button is "push button" in 2.46, "button" in 2.56).
EXPECTED = [
    (Atspi.Role.TEXT, "CSV文件地址", None),
    (Atspi.Role.TEXT, "生成文件地址", None),
    (Atspi.Role.PANEL, "生成编码格式", None),
    (Atspi.Role.RADIO_BUTTON, "ANSI", "生成编码格式"),
    (Atspi.Role.RADIO_BUTTON, "UTF-8 (带BOM)", "生成编码格式"),
    (Atspi.Role.RADIO_BUTTON, "UTF-8 (不带BOM)", "生成编码格式"),
    (Atspi.Role.PUSH_BUTTON, "执行", None),
]


def program_accessible(pid):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        application = desktop.get_child_at_index(i)
        if application is not None and application.get_process_id() == pid:
            return application
    return None


def spoken(node, group=None):
    """(role, name, enclosing named panel) of every node below `node`."""
    found = []
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is None:
            continue
        role, name = child.get_role(), child.get_name()
        found.append((role, name, group))
        inner = name if role == Atspi.Role.PANEL and name else group
        found.extend(spoken(child, inner))
    return found


def printable(nodes):
    return [(Atspi.role_get_name(role), name, group) for role, name, group in nodes]


def main():
    (program,) = sys.argv[1:]
    # Qt speaks AT-SPI only when asked; this asks as a running screen reader would.
    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    process = subprocess.Popen([program], env=environment)
    try:
        deadline = time.monotonic() + APPEAR_SECONDS
        while True:
            try:
                application = program_accessible(process.pid)
                nodes = spoken(application) if application else []
            except GLib.Error:  # the program's tree is still being built
                nodes = []
            missing = [e for e in EXPECTED if e not in nodes]
            if not missing:
                print("spoken_names: every control has its spoken name")
                return 0
            if time.monotonic() > deadline:
                print("spoken_names: not spoken as expected:", printable(missing), file=sys.stderr)
                print("spoken_names: what AT-SPI offers:",
                      printable(n for n in nodes if n[1]), file=sys.stderr)
                return 1
            time.sleep(0.5)
    finally:
        process.terminate()
        process.wait()


sys.exit(main())
