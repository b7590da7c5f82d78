#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Watches the X display for the moment a tray icon docks.

Usage: xdockwatch.py TIMEOUT_SECONDS

Listens on the root window for windows taken away from it (a tray host reparents the icon
window it docks into a socket of its own; nothing else on a display without a window manager
does so), then for that window to become viewable. Prints "ready" once it listens, and at the
end one line "WINDOW REPARENTED VIEWABLE": the window id in decimal and the wall-clock times
(seconds since the epoch, as bash's EPOCHREALTIME) at which the reparenting was seen and at
which the window was found viewable. Exits 1 with nothing printed after "ready" on a timeout.

The X connection is watched with select() and a 1 ms time limit, and every event is handled as
it arrives, so the times are at most about 1 ms late.
"""

import ctypes
import ctypes.util
import select
import sys
import time

SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
STRUCTURE_NOTIFY_MASK = 1 << 17
REPARENT_NOTIFY = 21
IS_VIEWABLE = 2


class XReparentEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("parent", ctypes.c_ulong), ("x", ctypes.c_int), ("y", ctypes.c_int),
                ("override_redirect", ctypes.c_int)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xreparent", XReparentEvent), ("pad", ctypes.c_long * 24)]


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


def main():
    timeout = float(sys.argv[1]) if len(sys.argv) > 1 else 10.0
    x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XPending.argtypes = [ctypes.c_void_p]
    x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
    x.XConnectionNumber.argtypes = [ctypes.c_void_p]
    x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(XWindowAttributes)]
    # A window that is gone between the event and the question is no error worth dying of.
    error_handler_type = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
    ignore_errors = error_handler_type(lambda display, error: 0)
    x.XSetErrorHandler(ignore_errors)

    dpy = x.XOpenDisplay(None)
    if not dpy:
        sys.exit("cannot open the display")
    root = x.XDefaultRootWindow(dpy)
    x.XSelectInput(dpy, root, SUBSTRUCTURE_NOTIFY_MASK)
    x.XSync(dpy, 0)
    fd = x.XConnectionNumber(dpy)
    print("ready", flush=True)

    deadline = time.monotonic() + timeout
    candidates = {}  # window -> wall-clock time its reparenting was seen
    event = XEvent()
    attributes = XWindowAttributes()
    while time.monotonic() < deadline:
        while x.XPending(dpy):
            x.XNextEvent(dpy, ctypes.byref(event))
            if event.type == REPARENT_NOTIFY and event.xreparent.parent != root:
                window = event.xreparent.window
                candidates.setdefault(window, time.time())
                # Its map and unmap from now on wake this loop too.
                x.XSelectInput(dpy, window, STRUCTURE_NOTIFY_MASK)
        for window, reparented in candidates.items():
            if x.XGetWindowAttributes(dpy, window, ctypes.byref(attributes)) and \
                    attributes.map_state == IS_VIEWABLE:
                print(f"{window} {reparented:.6f} {time.time():.6f}", flush=True)
                return 0
        select.select([fd], [], [], 0.001)
    return 1


if __name__ == "__main__":
    sys.exit(main())
