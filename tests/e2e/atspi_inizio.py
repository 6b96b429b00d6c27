# The program as a screen reader finds it on the accessibility bus: the start
# window's big buttons and the "Voce" switch, a worksheet window with its
# printer and class-set windows, then one whole exercise, all by accessible
# actions alone. Runs in its own session bus (dbus-run-session) with
# a speech-dispatcher of its own (sound to ALSA's null device); starts the bus
# launcher, the speech server and the program and stops them by pid.
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import Atspi

CAPTIONS = ["INSIEME VUOTO ( )", "AGGIUNGI ELEMENTI (+)", "TOGLI ELEMENTI (-)", "E S C I "]
EXERCISE = "Costruisci l'insieme consecutivo minore"


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


def actions(acc):
    a = acc.queryAction()
    return [a.getName(i) for i in range(a.nActions)]


def act(acc, name):
    """Does the named action of acc, as a screen reader's "activate" or a switch would."""
    names = actions(acc)
    assert name in names, (acc.name, names)
    acc.queryAction().doAction(names.index(name))


def has(acc, state):
    return acc.getState().contains(state)


def bus_up():
    return b"true" in subprocess.run(
        ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
         "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"], capture_output=True).stdout


def environment(home):
    """The program's environment: the test display, its own settings, and no speech
    server to start for itself."""
    os.makedirs(home + "/.config/speech-dispatcher")
    with open(home + "/.config/speech-dispatcher/speechd.conf", "w") as f:
        f.write("DisableAutoSpawn\n")
    return dict(os.environ, DISPLAY=os.environ["QUORVEL_TEST_DISPLAY"], QT_QPA_PLATFORM="xcb", HOME=home,
                XDG_CONFIG_HOME=home + "/.config", XDG_RUNTIME_DIR=home, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")


def speech_server(folder, env):
    """A speech-dispatcher of the test's own, listening on folder/speechd.sock."""
    os.makedirs(folder + "/conf")
    with open(folder + "/conf/speechd.conf", "w") as f:
        f.write('LogLevel 1\nAudioOutputMethod "alsa"\nAudioALSADevice "null"\n'
                'AddModule "espeak-ng" "sd_espeak-ng" ""\nDefaultModule espeak-ng\n')
    server = subprocess.Popen(
        ["speech-dispatcher", "--run-single", "--timeout", "0", "--communication-method", "unix_socket",
         "--socket-path", folder + "/speechd.sock", "--config-dir", folder + "/conf", "--log-dir", folder,
         "--pid-file", folder + "/speechd.pid"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait_for("the speech server", lambda: os.path.exists(folder + "/speechd.sock"))
    except AssertionError:
        stop(server)
        raise
    return server


def stop(process):
    if process is None or process.poll() is not None:
        return
    # A speech server's output modules are its children: they go too.
    try:
        with open("/proc/%d/task/%d/children" % (process.pid, process.pid)) as f:
            children = [int(p) for p in f.read().split()]
    except OSError:
        children = []
    process.terminate()
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(timeout=10)
    for pid in children:
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


class Exercise:
    def __init__(self, frame):
        self.frame = frame

    def button(self, caption):
        return find(self.frame, pyatspi.ROLE_PUSH_BUTTON, caption)

    def press(self, caption):
        # A button can be on the bus a moment before its action is (seen once on VERIFICA): wait for it,
        # as a screen reader's user waits for the button to be there.
        button = wait_for(caption + " ready", lambda: (b := self.button(caption)) and "Press" in actions(b) and b)
        act(button, "Press")

    def enabled(self, caption):
        return has(self.button(caption), pyatspi.STATE_ENABLED)

    def set_name(self, which):
        return pyatspi.findDescendant(self.frame, lambda a: a.getRole() == pyatspi.ROLE_PANEL and
                                      a.name.startswith(which + " insieme:")).name

    def first(self):
        return int(re.search(r": (\d+) ", self.set_name("Primo")).group(1))

    def second(self):
        text = self.set_name("Secondo").split(": ")[1]
        return 0 if text == "vuoto" else int(text.split(" ")[0])

    def verdict(self):
        notice = pyatspi.findDescendant(self.frame, lambda a: a.getRole() == pyatspi.ROLE_NOTIFICATION and
                                        a.name in ("Esatto", "Errato"))
        return notice.name if notice else None

    def wrong(self):
        """Gives a wrong answer: the second set is at its start, empty."""
        self.press("AGGIUNGI" if self.first() == 1 else "TOGLI")
        self.press("VERIFICA")
        wait_for("Errato", lambda: self.verdict() == "Errato")
        wait_for("the help offer", lambda: self.enabled("SI") and self.enabled("NO"))

    def right(self):
        """Builds N - 1, from above or below, a press at a time."""
        target = self.first() - 1
        if self.second() == target == 0:
            # N = 1 with an empty second set: VERIFICA waits for a press, and TOGLI leaves it empty.
            self.press("TOGLI")
        while (now := self.second()) != target:
            self.press("TOGLI" if now > target else "AGGIUNGI")
            wait_for("the second set changed", lambda: self.second() != now)
        self.press("VERIFICA")
        wait_for("Esatto", lambda: self.verdict() == "Esatto")


def frame_named(app, start):
    """The window shown whose title starts so (a hidden one stays on the bus)."""
    return pyatspi.findDescendant(app, lambda a: a.getRole() == pyatspi.ROLE_FRAME and a.name.startswith(start) and
                                  has(a, pyatspi.STATE_SHOWING))


def worksheet(app, start):
    """A worksheet window, its printer window and its class-set window, each closed by its own button."""
    act(find(start, pyatspi.ROLE_MENU_ITEM, "insieme vuoto"), "Press")
    sheet = wait_for("the worksheet window", lambda: frame_named(app, "VISUALIZZAZIONE SCHEDA"))
    for item, title, button in (("Impostazione stampante", "Form1", "C H I U D I"),
                                ("Schede per la classe…", "Schede per la classe", "ANNULLA")):
        act(wait_for(item, lambda: find(sheet, pyatspi.ROLE_MENU_ITEM, item)), "Press")
        window = wait_for("the window of " + item, lambda: frame_named(app, title))
        act(wait_for(button, lambda: find(window, pyatspi.ROLE_PUSH_BUTTON, button)), "Press")
        wait_for(title + " closed", lambda: not frame_named(app, title))
    act(find(sheet, pyatspi.ROLE_PUSH_BUTTON, "ESCI"), "Press")
    wait_for("the worksheet window closed", lambda: not frame_named(app, "VISUALIZZAZIONE SCHEDA"))


def play(exercise):
    """One exercise of every kind of answer, by accessible actions alone."""
    n = exercise.first()
    # Presses in quick succession each count, as clicks do.
    exercise.press("AGGIUNGI")
    exercise.press("AGGIUNGI")
    wait_for("two in the second set", lambda: exercise.second() == 2)
    exercise.press("TOGLI")
    wait_for("one in the second set", lambda: exercise.second() == 1)
    assert exercise.enabled("VERIFICA")
    if n == 2:
        exercise.press("TOGLI")
    exercise.press("VERIFICA")
    wait_for("Errato", lambda: exercise.verdict() == "Errato")
    # Declined three times, the help comes anyway.
    exercise.press("NO")
    for _ in range(2):
        wait_for("the second set back at its start", lambda: exercise.enabled("TOGLI") and exercise.second() == 0)
        exercise.wrong()
        exercise.press("NO")
    wait_for("the intervention", lambda: exercise.enabled("OK"))
    exercise.press("OK")
    wait_for("the solution", lambda: exercise.second() == n - 1 and exercise.enabled("AVANTI"))

    exercise.press("AVANTI")
    wait_for("the next exercise", lambda: exercise.enabled("TOGLI") and not exercise.enabled("ESCI"))
    exercise.right()
    exercise.press("AVANTI")
    wait_for("the third exercise", lambda: exercise.enabled("TOGLI"))
    exercise.wrong()
    exercise.press("SI")
    wait_for("the solution", lambda: exercise.second() == exercise.first() - 1 and exercise.enabled("ESCI"))
    exercise.press("ESCI")


def main():
    if not os.environ.get("QUORVEL_TEST_DISPLAY"):
        return 77
    started = []
    try:
        with tempfile.TemporaryDirectory() as home:
            env = environment(home)
            started.append(subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env))
            wait_for("the accessibility bus", bus_up)
            started.append(speech_server(home + "/speech", env))
            env["SPEECHD_ADDRESS"] = "unix_socket:" + home + "/speech/speechd.sock"
            quorvel = subprocess.Popen([os.environ["QUORVEL_BINARY"]], env=env)
            started.append(quorvel)
            app = wait_for("the program on the bus", lambda: program(quorvel.pid))
            start = wait_for("the start window", lambda: find(app, pyatspi.ROLE_FRAME, "GLI ZORVANI"))
            buttons = wait_for("the big buttons", lambda: [
                find(start, pyatspi.ROLE_PUSH_BUTTON, c) for c in CAPTIONS if find(start, pyatspi.ROLE_PUSH_BUTTON, c)])
            assert len(buttons) == 4, [b.name for b in buttons]
            wait_for("the focus on the first", lambda: has(buttons[0], pyatspi.STATE_FOCUSED))

            # The voice's switch: found among the menu bar's items, described, ticked and unticked.
            switch = wait_for("the Voce switch", lambda: find(start, pyatspi.ROLE_CHECK_BOX, "Voce"))
            assert "tasto R" in switch.description, switch.description
            assert not has(switch, pyatspi.STATE_CHECKED)
            act(switch, "Toggle")
            wait_for("the switch ticked", lambda: has(switch, pyatspi.STATE_CHECKED))
            with open(home + "/.config/Quorvel/Quorvel.conf") as f:
                assert "attiva=true" in f.read()
            act(switch, "Toggle")
            wait_for("the switch unticked", lambda: not has(switch, pyatspi.STATE_CHECKED))
            assert has(switch, pyatspi.STATE_ENABLED)

            worksheet(app, start)
            act(buttons[0], "Press")
            frame = wait_for("the exercise window", lambda: find(app, pyatspi.ROLE_FRAME, EXERCISE))
            # A set is a group, which the bus calls a panel.
            wait_for("the empty second set", lambda: find(frame, pyatspi.ROLE_PANEL, "Secondo insieme: vuoto"))
            play(Exercise(frame))
            wait_for("the start window back", lambda: not find(app, pyatspi.ROLE_FRAME, EXERCISE))

            act(buttons[3], "Press")  # E S C I closes every window, and the program with them
            assert quorvel.wait(timeout=20) == 0
            return 0
    finally:
        for process in reversed(started):
            stop(process)


if __name__ == "__main__":
    sys.exit(main())
