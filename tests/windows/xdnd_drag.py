"""Drags files onto a point of the X screen as a Linux file manager does, through the XDND
protocol, and drops them there: Wine hands such a drop to a Windows program as an OLE file drop,
as Explorer's would be. Exits 0 once the target has finished with the drop, 2 if it refused it.
Usage: xdnd_drag.py X Y PATH...  (X, Y: screen coordinates)"""

import sys
import time
import urllib.parse

from Xlib import X, Xatom, display, protocol

VERSION = 5
WAIT_SECONDS = 20
ACCEPT_SECONDS = 5


class DragSource:
    def __init__(self, paths):
        self.display = display.Display()
        self.root = self.display.screen().root
        self.atom = lambda name: self.display.intern_atom(name)
        self.uri_list = "".join(
            "file://" + urllib.parse.quote(path) + "\r\n" for path in paths).encode()
        self.window = self.root.create_window(0, 0, 1, 1, 0, X.CopyFromParent,
                                              X.InputOnly, X.CopyFromParent)
        self.window.set_selection_owner(self.atom("XdndSelection"), X.CurrentTime)
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
        """Serves the target's requests until it sends `message`; returns its data."""
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

    def drag(self, x, y):
        found = self.target_at(x, y)
        if not found:
            raise RuntimeError(f"no window at {x},{y} takes drops")
        target, version = found
        version = min(version, VERSION)
        self.send(target, "XdndEnter", [version << 24, self.atom("text/uri-list"), 0, 0])
        # A pointer at rest over the target: the position again until the target accepts, as
        # Wine 10 answers the first positions before the program has seen the drag enter.
        deadline = time.monotonic() + ACCEPT_SECONDS
        while True:
            self.send(target, "XdndPosition",
                      [0, (x << 16) | y, X.CurrentTime, self.atom("XdndActionCopy")])
            accepted = self.wait_for("XdndStatus")[1] & 1
            if accepted or time.monotonic() > deadline:
                break
            time.sleep(0.1)
        if not accepted:
            self.send(target, "XdndLeave", [0, 0, 0, 0])
            return False
        self.send(target, "XdndDrop", [0, X.CurrentTime, 0, 0])
        self.wait_for("XdndFinished")
        return True


def main():
    x, y, *paths = sys.argv[1:]
    return 0 if DragSource(paths).drag(int(x), int(y)) else 2


sys.exit(main())
