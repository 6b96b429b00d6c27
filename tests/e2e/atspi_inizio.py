# The start window as a screen reader finds it on the accessibility bus: its four big
# buttons by name, one pressed through its action. Runs in its own session bus
# (dbus-run-session); starts the bus launcher and the program and stops both by pid.
import os
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import Atspi

CAPTIONS = ["INSIEME VUOTO ( )", "AGGIUNGI ELEMENTI (+)", "TOGLI ELEMENTI (-)", "E S C I "]


def wait_for(what, probe, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = probe()
        except Exception:  # the tree changes under our feet while windows open
            found = None
        if found:
            return found
        time.sleep(0.05)
    raise AssertionError("never came: " + what)


def program(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            # No main loop runs here, so a cache would never learn of new windows.
            Atspi.Accessible.set_cache_mask(app, Atspi.Cache.NONE)
            return app
    return None


def find(acc, role, name):
    return pyatspi.findDescendant(acc, lambda a: a.getRole() == role and a.name == name)


def main():
    if not os.environ.get("QUORVEL_TEST_DISPLAY"):
        return 77
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    quorvel = None
    try:
        with tempfile.TemporaryDirectory() as home:
            wait_for("the accessibility bus", lambda: b"true" in subprocess.run(
                ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                 "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"], capture_output=True).stdout)
            env = dict(os.environ, DISPLAY=os.environ["QUORVEL_TEST_DISPLAY"], QT_QPA_PLATFORM="xcb", HOME=home,
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
            quorvel = subprocess.Popen([os.environ["QUORVEL_BINARY"]], env=env)
            app = wait_for("the program on the bus", lambda: program(quorvel.pid))
            start = wait_for("the start window", lambda: find(app, pyatspi.ROLE_FRAME, "GLI ZORVANI"))
            buttons = wait_for("the big buttons", lambda: [
                find(start, pyatspi.ROLE_PUSH_BUTTON, c) for c in CAPTIONS if find(start, pyatspi.ROLE_PUSH_BUTTON, c)])
            assert len(buttons) == 4, [b.name for b in buttons]
            wait_for("the focus on the first", lambda: buttons[0].getState().contains(pyatspi.STATE_FOCUSED))

            assert buttons[0].queryAction().getName(0) == "Press"
            buttons[0].queryAction().doAction(0)
            exercise = wait_for("the exercise window",
                                lambda: find(app, pyatspi.ROLE_FRAME, "Costruisci l'insieme consecutivo minore"))
            # A set is a group, which the bus calls a panel.
            wait_for("the empty second set", lambda: find(exercise, pyatspi.ROLE_PANEL, "Secondo insieme: vuoto"))

            buttons[3].queryAction().doAction(0)  # E S C I closes every window, and the program with them
            assert quorvel.wait(timeout=20) == 0
            return 0
    finally:
        for process in (quorvel, launcher):
            if process is not None and process.poll() is None:
                process.terminate()
                process.wait(timeout=10)


if __name__ == "__main__":
    sys.exit(main())
