# The real screen reader (Orca) on the exercise window: it must say what the
# second set holds after AGGIUNGI and the verdict after VERIFICA. Runs in its
# own session bus (dbus-run-session) with a speech-dispatcher of its own (sound
# to ALSA's null device). Orca writes its debug file in blocks, so the test
# follows what reaches the speech server as it happens, through a relay of its
# own, and reads the debug file back once Orca has ended.
# Every process started here is stopped by its pid.
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

import pyatspi

from atspi_inizio import EXERCISE, act, bus_up, environment, find, program, speech_server, stop, wait_for


class Relay:
    """Passes a speech client's connection on to the server, noting each sentence (SSIP's SPEAK)."""

    def __init__(self, path, server):
        self.server = server
        self.sentences = []
        self.listener = socket.socket(socket.AF_UNIX)
        self.listener.bind(path)
        self.listener.listen()
        threading.Thread(target=self.accept, daemon=True).start()

    def accept(self):
        while True:
            try:
                client, _ = self.listener.accept()
            except OSError:
                return
            upstream = socket.socket(socket.AF_UNIX)
            upstream.connect(self.server)
            threading.Thread(target=self.pump, args=(client, upstream, True), daemon=True).start()
            threading.Thread(target=self.pump, args=(upstream, client, False), daemon=True).start()

    def pump(self, source, target, note):
        pending = b""
        while True:
            try:
                data = source.recv(65536)
                if not data:
                    break
                target.sendall(data)
            except OSError:
                break
            if note:
                pending += data
                while b"SPEAK\r\n" in pending and b"\r\n.\r\n" in pending.split(b"SPEAK\r\n", 1)[1]:
                    text, pending = pending.split(b"SPEAK\r\n", 1)[1].split(b"\r\n.\r\n", 1)
                    # Orca speaks SSML with a mark before each word.
                    self.sentences.append(re.sub(r"<[^>]*>", "", text.decode(errors="replace")))
        for s in (source, target):
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def heard(self, pattern):
        try:
            return wait_for("the screen reader to say " + pattern,
                            lambda: any(re.search(pattern, s) for s in self.sentences))
        except AssertionError:
            print("it said:\n" + "\n".join(self.sentences))
            raise

    def close(self):
        self.listener.close()


def main():
    if not os.environ.get("QUORVEL_TEST_DISPLAY"):
        return 77
    for tool in ("orca", "speech-dispatcher"):
        if not shutil.which(tool):
            print("skipped: %s is not installed (scripts/deps test installs it)" % tool)
            return 77
    started = []
    try:
        with tempfile.TemporaryDirectory() as d:
            home = d + "/home"
            env = environment(home)
            env.update(XDG_DATA_HOME=home + "/.local/share", SPEECHD_ADDRESS="unix_socket:" + d + "/relay.sock",
                       GSETTINGS_BACKEND="memory", LANG="C.UTF-8", LANGUAGE="")
            started.append(subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env))
            wait_for("the accessibility bus", bus_up)
            started.append(speech_server(d, env))
            relay = Relay(d + "/relay.sock", d + "/speechd.sock")
            log = d + "/orca.log"
            orca = subprocess.Popen(["orca", "--debug-file", log], env=env, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
            started.append(orca)
            relay.heard("Screen reader on")

            quorvel = subprocess.Popen([os.environ["QUORVEL_BINARY"]], env=env)
            started.append(quorvel)
            app = wait_for("the program on the bus", lambda: program(quorvel.pid))
            start = wait_for("the start window", lambda: find(app, pyatspi.ROLE_FRAME, "GLI ZORVANI"))
            act(wait_for("INSIEME VUOTO", lambda: find(start, pyatspi.ROLE_PUSH_BUTTON, "INSIEME VUOTO ( )")), "Press")
            frame = wait_for("the exercise window", lambda: find(app, pyatspi.ROLE_FRAME, EXERCISE))
            relay.heard(EXERCISE)
            act(find(frame, pyatspi.ROLE_PUSH_BUTTON, "AGGIUNGI"), "Press")
            relay.heard(r"notification Secondo insieme: 1 \w")
            act(find(frame, pyatspi.ROLE_PUSH_BUTTON, "AGGIUNGI"), "Press")
            relay.heard(r"notification Secondo insieme: 2 \w")
            act(find(frame, pyatspi.ROLE_PUSH_BUTTON, "VERIFICA"), "Press")
            relay.heard("notification (Esatto|Errato)")
            # What Orca's own record says it spoke, in order.
            stop(orca)
            with open(log, errors="replace") as f:
                said = [line.split("SPEECH OUTPUT: ", 1)[1] for line in f if "SPEECH OUTPUT: " in line]
            expected = [r"'notification Secondo insieme: 1 \w", r"'notification Secondo insieme: 2 \w",
                        r"'notification (Esatto|Errato)\."]
            found = [next((i for i, line in enumerate(said) if re.match(e, line)), -1) for e in expected]
            assert -1 not in found and found == sorted(found), "".join(said)
            return 0
    finally:
        for process in reversed(started):
            stop(process)


if __name__ == "__main__":
    sys.exit(main())
