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


class DragSource:
    def __init__(self, paths, shift=False):
        self.shift = shift
        self.display = display.Display()
        self.root = self.display.screen().root
        self.atom = lambda name: self.display.intern_atom(name)
        self.uri_list = "".join(
            "file://" + urllib.parse.quote(path) + "\r\n" for path in paths).encode()
        self.window = self.root.create_window(0, 0, 1, 1, 0, X.CopyFromParent,
                                              X.InputOnly, X.CopyFromParent)
        self.window.set_selection_owner(self.atom("XdndSelection"), X.CurrentTime)
        self.actions = [self.atom(f"XdndAction{name}") for name in ("Copy", "Move", "Link")]
        self.window.change_property(self.atom("XdndActionList"), Xatom.ATOM, 32, self.actions)
        self.display.flush()

    def target_at(self, x, y):
        """The innermost window under (x, y) that takes XDND drops, and its protocol version."""
        window, found = self.root, None
        while window:
            aware = window.get_full_property(self.atom("XdndAware"), Xatom.ATOM)
            if aware:
                found = (window, aware.value[0])
            window = window.translate_coords(self.root, x, y).child or None
            if window:
                window = self.display.create_resource_object("window", window.id)
        return found

    def send(self, target, message, data):
        event = protocol.event.ClientMessage(window=target, client_type=self.atom(message),
                                             data=(32, [self.window.id] + data))
        target.send_event(event)
        self.display.flush()

    def answer(self, request):
        """Hands the file list to the target that asks for it."""
        property_name = request.property or request.target
        if request.target == self.atom("text/uri-list"):
            request.requestor.change_property(property_name, request.target, 8, self.uri_list)
        else:
            property_name = X.NONE
        notify = protocol.event.SelectionNotify(time=request.time, requestor=request.requestor,
                                                selection=request.selection,
                                                target=request.target, property=property_name)
        request.requestor.send_event(notify)
        self.display.flush()

    def wait_for(self, message):
        """Serves the target's requests until it sends `message`; returns its 32-bit data."""
        deadline = time.monotonic() + WAIT_SECONDS
        while time.monotonic() < deadline:
            if not self.display.pending_events():
                time.sleep(0.01)
                continue
            event = self.display.next_event()
            if event.type == X.SelectionRequest:
                self.answer(event)
            elif (event.type == X.ClientMessage
                  and event.client_type == self.atom(message)):
                return event.data[1]
        raise TimeoutError(f"no {message} from the drop target")

    def hold_shift(self, down, x, y):
        """Presses or releases Shift over (x, y), where the pointer of a real drag would be."""
        xtest.fake_input(self.display, X.MotionNotify, x=x, y=y)
        keycode = self.display.keysym_to_keycode(XK.XK_Shift_L)
        xtest.fake_input(self.display, X.KeyPress if down else X.KeyRelease, keycode)
        self.display.sync()

    def drag(self, x, y):
        """0: dropped and answered as a copy; 2: refused; 3: answered otherwise."""
        found = self.target_at(x, y)
        if not found:
            raise RuntimeError(f"no window at {x},{y} takes drops")
        target, version = found
        version = min(version, VERSION)
        proposed = self.actions[1] if self.shift else self.actions[0]
        if self.shift:
            self.hold_shift(True, x, y)
        try:
            self.send(target, "XdndEnter", [version << 24, self.atom("text/uri-list"), 0, 0])
            # A pointer at rest over the target: the position again until the target accepts,
            # as Wine 10 answers the first positions before the program has seen the drag enter.
            deadline = time.monotonic() + ACCEPT_SECONDS
            while True:
                self.send(target, "XdndPosition", [0, (x << 16) | y, X.CurrentTime, proposed])
                status = self.wait_for("XdndStatus")
                if status[1] & 1 or time.monotonic() > deadline:
                    break
                time.sleep(0.1)
            if not status[1] & 1:
                self.send(target, "XdndLeave", [0, 0, 0, 0])
                return 2
            self.send(target, "XdndDrop", [0, X.CurrentTime, 0, 0])
            finished = self.wait_for("XdndFinished")
        finally:
            if self.shift:
                self.hold_shift(False, x, y)
        copy = self.actions[0]
        if status[4] != copy:
            print(f"the target answered {self.display.get_atom_name(status[4])}", file=sys.stderr)
            return 3
        # Version 5 targets say whether they performed the drop, and as what.
        if version >= 5 and finished[1] & 1 and finished[2] != copy:
            print("the target finished the drop as other than a copy", file=sys.stderr)
            return 3
        return 0


def main():
    args = sys.argv[1:]
    shift = args[:1] == ["--shift"]
    x, y, *paths = args[1:] if shift else args
    return DragSource(paths, shift).drag(int(x), int(y))


if __name__ == "__main__":
    sys.exit(main())
