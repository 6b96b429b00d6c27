"""The start window as a screen reader finds it on the desktop's accessibility bus:
its four big buttons by name, one of them pressed through its action.

Run inside its own session bus (dbus-run-session); it starts the accessibility
bus and the program on QUORVEL_TEST_DISPLAY and stops both by their pids."""

import os
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import Atspi

CAPTIONS = ["INSIEME VUOTO ( )", "AGGIUNGI ELEMENTI (+)", "TOGLI ELEMENTI (-)", "E S C I "]
EXERCISE_TITLE = "Costruisci l'insieme consecutivo minore"


def wait_for(what, probe, seconds=20):
    """Polls until probe() gives something, then returns it."""
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


def uncached(acc):
    # The script runs no main loop, so cached names and children would never update.
    Atspi.Accessible.set_cache_mask(acc, Atspi.Cache.NONE)
    return acc


def program(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return uncached(app)
    return None


def frame(app, title):
    for window in app:
        if window.getRoleName() == "frame" and window.name == title:
            return window
    return None


def descendants(acc, role):
    return pyatspi.findAllDescendants(acc, lambda a: a.getRole() == role)


def main():
    display = os.environ.get("QUORVEL_TEST_DISPLAY")
    binary = os.environ["QUORVEL_BINARY"]
    if not display:
        print("no test display: skipped")
        return 77

    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    quorvel = None
    try:
        with tempfile.TemporaryDirectory() as home:
            env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", HOME=home,
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
            # The program joins the accessibility bus only once the launcher has published it.
            wait_for("the accessibility bus", lambda: b"true" in subprocess.run(
                ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                 "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"], capture_output=True).stdout)
            quorvel = subprocess.Popen([binary], env=env)

            app = wait_for("the program on the bus", lambda: program(quorvel.pid))
            start = wait_for("the start window", lambda: frame(app, "GLI ZORVANI"))
            buttons = wait_for("the four big buttons", lambda: [
                b for b in descendants(start, pyatspi.ROLE_PUSH_BUTTON) if b.name in CAPTIONS])
            names = sorted(b.name for b in buttons)
            assert names == sorted(CAPTIONS), names
            first = next(b for b in buttons if b.name == CAPTIONS[0])
            wait_for("the focus on the first button",
                     lambda: first.getState().contains(pyatspi.STATE_FOCUSED))

            action = first.queryAction()
            assert action.getName(0) == "Press", action.getName(0)
            action.doAction(0)
            exercise = wait_for("the exercise window", lambda: frame(app, EXERCISE_TITLE))
            # A set is a group, which the bus calls a panel.
            wait_for("the empty second set", lambda: [
                g for g in descendants(exercise, pyatspi.ROLE_PANEL) if g.name == "Secondo insieme: vuoto"])

            # E S C I closes every window, and with them the program.
            exit_button = next(b for b in buttons if b.name == CAPTIONS[3])
            exit_button.queryAction().doAction(0)
            code = quorvel.wait(timeout=20)
            assert code == 0, code
            print("the start window's buttons were found by name and pressed through the bus")
            return 0
    finally:
        for process in (quorvel, launcher):
            if process is not None and process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()


if __name__ == "__main__":
    sys.exit(main())
