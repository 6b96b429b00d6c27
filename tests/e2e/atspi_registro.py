# The teacher's windows as a screen reader finds them on the accessibility bus:
# the first password, the first class and pupil, a pupil's progress and its page
# saved as a PDF, all by accessible actions and the keyboard alone. Runs in its
# own session bus (dbus-run-session); starts the bus launcher and the program
# and stops them by pid.
import os
import stat
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

from atspi_inizio import act, bus_up, environment, find, has, program, stop, wait_for

PASSWORD = "Segreta-2026"


def showing(acc):
    return has(acc, pyatspi.STATE_SHOWING)


def window(app, role, name):
    """The window of that role and name that is on screen."""
    return pyatspi.findDescendant(app, lambda a: a.getRole() == role and a.name == name and showing(a))


def act_blocking(acc, name):
    """An action whose handler runs a dialog of its own: the program answers the bus only once
    the dialog is closed, so the call's timeout is no failure."""
    try:
        act(acc, name)
    except GLib.Error as e:
        if "imeout" not in e.message and "NoReply" not in e.message:
            raise


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "80"] + list(names), check=True)


def write(field, text):
    field.queryEditableText().setTextContents(text)
    wait_for("the text in " + field.name, lambda: field.queryText().getText(0, -1) == text or
             field.getRole() == pyatspi.ROLE_PASSWORD_TEXT)


def button(parent, name):
    return wait_for("the button " + name, lambda: find(parent, pyatspi.ROLE_PUSH_BUTTON, name))


def label_starting(parent, start):
    return pyatspi.findDescendant(parent, lambda a: a.name.startswith(start) and showing(a) and
                                  a.getRole() in (pyatspi.ROLE_LABEL, pyatspi.ROLE_NOTIFICATION))


def no_phantoms(parent):
    """Nothing on screen a reader would stop on without a name, nor an empty warning."""
    found = []

    def visit(acc, depth):
        if acc is None or depth > 8 or not showing(acc):
            return
        role = acc.getRole()
        if role in (pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_TABLE_ROW, pyatspi.ROLE_TABLE_COLUMN_HEADER,
                    pyatspi.ROLE_TABLE_ROW_HEADER):
            return
        empty = role in (pyatspi.ROLE_LABEL, pyatspi.ROLE_NOTIFICATION) and (
            not acc.name or ("Text" in pyatspi.utils.listInterfaces(acc) and acc.queryText().characterCount == 0))
        if role == pyatspi.ROLE_UNKNOWN or empty:
            found.append("%s «%s»" % (acc.getRoleName(), acc.name))
        for i in range(acc.childCount):
            visit(acc.getChildAtIndex(i), depth + 1)

    visit(parent, 0)
    return found


def dialog_name(app, title, text):
    """Types a name in the dialog titled so and confirms it."""
    dialog = wait_for("the dialog " + title, lambda: window(app, pyatspi.ROLE_DIALOG, title))
    write(wait_for("its field", lambda: find(dialog, pyatspi.ROLE_TEXT, title)), text)
    act(button(dialog, "OK"), "Press")
    return dialog


def first_password(app):
    dialog = wait_for("the password dialog",
                      lambda: window(app, pyatspi.ROLE_DIALOG, "Registro: accesso dell'insegnante"))
    assert not no_phantoms(dialog), no_phantoms(dialog)
    # No warning is read out before there is one.
    assert not pyatspi.findDescendant(dialog, lambda a: a.name == "Avviso" and showing(a)), "an empty warning"
    first = wait_for("the password field", lambda: find(dialog, pyatspi.ROLE_PASSWORD_TEXT, "Password"))
    again = find(dialog, pyatspi.ROLE_PASSWORD_TEXT, "Ripeti la password")
    for text in ("corta", PASSWORD):
        write(first, text)
        write(again, text)
        act(button(dialog, "Scegli"), "Press")
        if text == "corta":
            wait_for("the warning", lambda: label_starting(dialog, "La password deve avere almeno 6 caratteri."))


def first_class(app, register):
    hint = wait_for("the hint", lambda: label_starting(register, "Nessuna classe nel registro."))
    assert "«Classi e alunni…» (Alt+L, poi C)" in hint.name, hint.name
    act_blocking(wait_for("Classi e alunni…", lambda: find(register, pyatspi.ROLE_MENU_ITEM, "Classi e alunni…")),
                 "Press")
    classes = wait_for("Classi e alunni", lambda: window(app, pyatspi.ROLE_DIALOG, "Classi e alunni"))
    add = button(classes, "Aggiungi un alunno…")
    assert not has(add, pyatspi.STATE_SENSITIVE), "Aggiungi un alunno… acts with no class"
    act(button(classes, "Nuova classe…"), "Press")
    dialog_name(app, "Nuova classe", "1ª A")
    wait_for("a class to add pupils to", lambda: has(add, pyatspi.STATE_SENSITIVE))
    act(add, "Press")
    dialog_name(app, "Nuovo alunno", "Zoë")
    wait_for("the dialog closed", lambda: not window(app, pyatspi.ROLE_DIALOG, "Nuovo alunno"))
    act(add, "Press")
    dialog = dialog_name(app, "Nuovo alunno", "zoë")
    wait_for("the refusal in the open dialog", lambda: label_starting(dialog, "«zoë» è già nella classe."))
    act(button(dialog, "Annulla"), "Press")
    act(button(classes, "Chiudi"), "Press")
    wait_for("Classi e alunni closed", lambda: not window(app, pyatspi.ROLE_DIALOG, "Classi e alunni"))


def progress_page(app, register, documents):
    table = wait_for("the class's table", lambda: pyatspi.findDescendant(
        register, lambda a: a.getRole() == pyatspi.ROLE_TABLE and a.name.startswith("La classe")))
    wait_for("Zoë's row", lambda: table.queryTable().nRows == 1)
    header = table.queryTable().getRowHeader(0)
    assert header is not None and header.name == "Zoë", header and header.name
    # The keyboard alone: Tab from control to control into the table, on its first pupil; Enter opens the progress.
    for _ in range(10):
        if has(table, pyatspi.STATE_FOCUSED):
            break
        keys("Tab")
        time.sleep(0.2)
    assert has(table, pyatspi.STATE_FOCUSED), "Tab never reaches the class's table"
    keys("Return")
    progress = wait_for("Zoë's progress", lambda: window(app, pyatspi.ROLE_DIALOG, "Andamento di Zoë"))
    chart = wait_for("the chart", lambda: find(progress, pyatspi.ROLE_FILLER, "Grafico dell'andamento") or
                     pyatspi.findDescendant(progress, lambda a: a.name == "Grafico dell'andamento"))
    assert chart.description == "Nessun esercizio in quest'anno scolastico.", chart.description
    assert not no_phantoms(progress), no_phantoms(progress)

    act(button(progress, "Salva in PDF…"), "Press")
    chooser = wait_for("the file dialog", lambda: window(app, pyatspi.ROLE_DIALOG, "Salva la pagina in PDF"))
    name = wait_for("the name suggested", lambda: pyatspi.findDescendant(
        chooser, lambda a: a.getRole() == pyatspi.ROLE_TEXT and showing(a) and
        a.queryText().getText(0, -1).startswith("Andamento")))
    assert name.queryText().getText(0, -1) == "Andamento Zoë.pdf", name.queryText().getText(0, -1)
    # Typed without ".pdf", as a teacher would.
    write(name, "Pagina di Zoë")
    name.queryComponent().grabFocus()
    keys("Return")
    saved = os.path.join(documents, "Pagina di Zoë.pdf")
    message = wait_for("the message", lambda: window(app, pyatspi.ROLE_DIALOG, "Quorvel") or
                       window(app, pyatspi.ROLE_ALERT, "Quorvel"))
    assert label_starting(message, "Salvato nel file"), "no message"
    act(button(message, "OK"), "Press")
    assert stat.S_IMODE(os.stat(saved).st_mode) == 0o600, oct(os.stat(saved).st_mode)
    act(button(progress, "Chiudi"), "Press")
    wait_for("the progress closed", lambda: not window(app, pyatspi.ROLE_DIALOG, "Andamento di Zoë"))


def main():
    if not os.environ.get("QUORVEL_TEST_DISPLAY"):
        return 77
    started = []
    try:
        with tempfile.TemporaryDirectory() as home:
            env = environment(home)
            env["XDG_DATA_HOME"] = home + "/.local/share"
            env.pop("XDG_CURRENT_DESKTOP", None)
            started.append(subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env))
            wait_for("the accessibility bus", bus_up)
            quorvel = subprocess.Popen([os.environ["QUORVEL_BINARY"]], env=env)
            started.append(quorvel)
            os.environ["DISPLAY"] = env["DISPLAY"]
            app = wait_for("the program on the bus", lambda: program(quorvel.pid))
            start = wait_for("the start window", lambda: find(app, pyatspi.ROLE_FRAME, "GLI ZORVANI"))
            act_blocking(wait_for("Registro", lambda: find(start, pyatspi.ROLE_MENU_ITEM, "Registro")), "Press")
            first_password(app)
            register = wait_for("the teacher's window", lambda: window(app, pyatspi.ROLE_FRAME, "Registro della classe"))
            first_class(app, register)
            progress_page(app, register, home + "/Documents")
            act(wait_for("Chiudi", lambda: find(register, pyatspi.ROLE_MENU_ITEM, "Chiudi")), "Press")
            wait_for("the teacher's window closed", lambda: not window(app, pyatspi.ROLE_FRAME,
                                                                        "Registro della classe"))
            act(find(start, pyatspi.ROLE_PUSH_BUTTON, "E S C I "), "Press")
            assert quorvel.wait(timeout=20) == 0
            return 0
    finally:
        for process in reversed(started):
            stop(process)


if __name__ == "__main__":
    sys.exit(main())
