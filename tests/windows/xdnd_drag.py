# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Drags files onto a point of the X screen as a Linux file manager does, through the XDND
protocol, and drops them there: Wine hands such a drop to a Windows program as an OLE file drop,
as Explorer's would be. Exits 0 once the target has finished with the drop as a copy, 2 if it
refused it, 3 if it answered anything but a copy.
With --shift, Shift is held down and a move is proposed, as a file manager does when Shift is
held: a target that answers a move tells it to delete the files.
Usage: xdnd_drag.py [--shift] X Y PATH...  (X, Y: screen coordinates)"""

import sys
import time
import urllib.parse

from Xlib import X, XK, Xatom, display, protocol
from Xlib.ext import xtest

VERSION = 5
WAIT_SECONDS = 20
ACCEPT_SECONDS = 5


def main():
    shift = sys.argv[1:2] == ["--shift"]
    x, y, *paths = sys.argv[2 if shift else 1:]
    x, y = int(x), int(y)
    server = display.Display()
    root = server.screen().root
    atom = server.intern_atom
    uri_list = "".join(f"file://{urllib.parse.quote(path)}\r\n" for path in paths).encode()
    source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent, X.InputOnly, X.CopyFromParent)
    source.set_selection_owner(atom("XdndSelection"), X.CurrentTime)
    copy, move, _ = actions = [atom(f"XdndAction{name}") for name in ("Copy", "Move", "Link")]
    source.change_property(atom("XdndActionList"), Xatom.ATOM, 32, actions)

    # The target: the innermost window under (x, y) that takes XDND drops.
    window, target = root, None
    while window:
        aware = window.get_full_property(atom("XdndAware"), Xatom.ATOM)
        if aware:
            target, version = window, min(aware.value[0], VERSION)
        window = window.translate_coords(root, x, y).child or None
    if not target:
        raise RuntimeError(f"no window at {x},{y} takes drops")

    def send(message, *data):
        target.send_event(protocol.event.ClientMessage(
            window=target, client_type=atom(message), data=(32, [source.id, *data])))
        server.flush()

    # Serves the target's requests for the file list until it sends `message`; returns the
    # message's 32-bit data.
    def wait_for(message):
        deadline = time.monotonic() + WAIT_SECONDS
        while time.monotonic() < deadline:
            if not server.pending_events():
                time.sleep(0.01)
                continue
            event = server.next_event()
            if event.type == X.ClientMessage and event.client_type == atom(message):
                return event.data[1]
            if event.type == X.SelectionRequest:
                served = event.target == atom("text/uri-list")
                answer = (event.property or event.target) if served else X.NONE
                if served:
                    event.requestor.change_property(answer, event.target, 8, uri_list)
                event.requestor.send_event(protocol.event.SelectionNotify(
                    time=event.time, requestor=event.requestor, selection=event.selection,
                    target=event.target, property=answer))
                server.flush()
        raise TimeoutError(f"no {message} from the drop target")

    # Presses or releases Shift over (x, y), where the pointer of a real drag would be.
    def shift_key(event_type):
        xtest.fake_input(server, X.MotionNotify, x=x, y=y)
        xtest.fake_input(server, event_type, server.keysym_to_keycode(XK.XK_Shift_L))
        server.sync()

    if shift:
        shift_key(X.KeyPress)
    try:
        send("XdndEnter", version << 24, atom("text/uri-list"), 0, 0)
        # A pointer at rest over the target: the position again until the target accepts, as
        # Wine 10 answers the first positions before the program has seen the drag enter.
        deadline = time.monotonic() + ACCEPT_SECONDS
        while True:
            send("XdndPosition", 0, (x << 16) | y, X.CurrentTime, move if shift else copy)
            status = wait_for("XdndStatus")
            if status[1] & 1:
                break
            if time.monotonic() > deadline:
                send("XdndLeave", 0, 0, 0, 0)
                return 2
            time.sleep(0.1)
        send("XdndDrop", 0, X.CurrentTime, 0, 0)
        finished = wait_for("XdndFinished")
    finally:
        if shift:
            shift_key(X.KeyRelease)
    if status[4] != copy:
        print(f"the target answered {server.get_atom_name(status[4])}", file=sys.stderr)
        return 3
    # Version 5 targets say whether they performed the drop, and as what.
    if version >= 5 and finished[1] & 1 and finished[2] != copy:
        print("the target finished the drop as other than a copy", file=sys.stderr)
        return 3
    return 0


if __name__ == "__main__":
    sys.exit(main())
