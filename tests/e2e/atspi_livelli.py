# A class set to level 2, as a screen reader meets it: the teacher sets "1ª A" to level 2
# from the command line, a pupil chooses themselves in "Chi sei?" by the bus, and every
# exercise's first set, read off the bus, has N within 1-5, whichever kind was chosen.
# Its own session bus (dbus-run-session), its own speech server, processes stopped by pid.
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pyatspi  # noqa: E402

from atspi_inizio import (CAPTIONS, EXERCISE, Exercise, act, bus_up, environment, find, program,  # noqa: E402
                          speech_server, stop, wait_for)

EXERCISES = 12


def command(env, *arguments, stdin=""):
    quiet = {k: v for k, v in env.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
    done = subprocess.run([os.environ["QUORVEL_BINARY"], *arguments], env=quiet, input=stdin.encode(),
                          capture_output=True, timeout=60)
    assert done.returncode == 0, done.stderr


def pupil_button(app, name):
    window = wait_for("Chi sei?", lambda: find(app, pyatspi.ROLE_FRAME, "Chi sei?"))
    return wait_for("the pupil " + name, lambda: pyatspi.findDescendant(
        window, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON and a.name.startswith(name) and
        a.description.startswith("Alunno della classe")))


def main():
    if not os.environ.get("QUORVEL_TEST_DISPLAY"):
        return 77
    started = []
    try:
        with tempfile.TemporaryDirectory() as home:
            env = environment(home)
            env["XDG_DATA_HOME"] = home + "/.local/share"
            with open(home + "/alunni.csv", "w") as f:
                f.write("nome\nMarco\n")
            command(env, "--classe", "1ª A", "--importa-alunni", home + "/alunni.csv",
                    stdin="Segreta-2026\nSegreta-2026\n")
            command(env, "--classe", "1ª A", "--livello", "2")

            started.append(subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env))
            wait_for("the accessibility bus", bus_up)
            started.append(speech_server(home + "/speech", env))
            env["SPEECHD_ADDRESS"] = "unix_socket:" + home + "/speech/speechd.sock"
            quorvel = subprocess.Popen([os.environ["QUORVEL_BINARY"]], env=env)
            started.append(quorvel)
            app = wait_for("the program on the bus", lambda: program(quorvel.pid))
            start = wait_for("the start window", lambda: find(app, pyatspi.ROLE_FRAME, "GLI ZORVANI"))
            seen = []
            # "Take away" first: level 2 draws it within its own N too.
            for caption in (CAPTIONS[2], CAPTIONS[1], CAPTIONS[0]):
                act(wait_for(caption, lambda: find(start, pyatspi.ROLE_PUSH_BUTTON, caption)), "Press")
                act(pupil_button(app, "Marco"), "Press")
                frame = wait_for("the exercise window", lambda: pyatspi.findDescendant(
                    app, lambda a: a.getRole() == pyatspi.ROLE_FRAME and a.name.endswith(EXERCISE)))
                exercise = Exercise(frame)
                for _ in range(EXERCISES // 3):
                    wait_for("a new exercise", lambda: exercise.enabled("TOGLI"))
                    seen.append(exercise.first())
                    exercise.right()
                    exercise.press("AVANTI")
                wait_for("the last exercise", lambda: exercise.enabled("TOGLI"))
                exercise.right()
                exercise.press("ESCI")
                wait_for("the start window back", lambda: not pyatspi.findDescendant(
                    app, lambda a: a.getRole() == pyatspi.ROLE_FRAME and a.name.endswith(EXERCISE)))
            print("N seen on the bus:", seen)
            assert len(seen) == EXERCISES and all(1 <= n <= 5 for n in seen), seen
            act(find(start, pyatspi.ROLE_PUSH_BUTTON, CAPTIONS[3]), "Press")
            assert quorvel.wait(timeout=20) == 0
            return 0
    finally:
        for process in reversed(started):
            stop(process)


if __name__ == "__main__":
    sys.exit(main())
