#!/usr/bin/python3
"""Plays a short game in the real program with the keyboard and, after each key, reads over AT-SPI what a
screen reader would say: the object that holds the focus, its name and description, and the change events
sent on it.

Usage: accessibility_game.py PALINOR_EXECUTABLE, on an X display, inside a D-Bus session of its own.
Exits 77 (skipped) only when the accessibility bus cannot start."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

try:
    import pyatspi
    from gi.repository import GLib
except ImportError as error:  # the project's scripts install python3-pyatspi
    sys.exit("FAILED: python3-pyatspi is missing (%s)" % error)

BOARD = "^VERTALINE ET LE BILLARD HOLLANDAIS\\.\\.\\.$"
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

heard = []  # what the test heard, key by key, for the record
changes = []  # (source name, description) of every description change event
focus = []  # the last object that took the focus, as a screen reader follows it


def fail(message, program_log=None):
    print("FAILED: " + message)
    print("--- heard so far")
    print("\n".join(heard))
    if program_log and os.path.exists(program_log):
        print("--- program output")
        print(open(program_log, encoding="utf-8", errors="replace").read())
    sys.exit(1)


def pump(seconds):
    """Lets events arrive while waiting."""
    context = GLib.MainContext.default()
    end = time.time() + seconds
    while time.time() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def on_description(event):
    # Qt sends the object itself with the event, not its new text: the text is read from the object.
    try:
        changes.append((event.source.name, event.source.description))
    except Exception:  # the object may be gone already
        pass


def on_focus(event):
    if event.detail1 == 1:
        focus[:] = [event.source]


def find_application(name, timeout):
    end = time.time() + timeout
    while time.time() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        pump(0.2)
    return None


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def focused():
    """The object a screen reader speaks for: the last that took the focus, while it still holds it."""
    try:
        if focus and focus[0].getState().contains(pyatspi.STATE_FOCUSED):
            return focus[0]
    except Exception:  # gone with its window
        pass
    return None


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return ""


def focus_window(title):
    """Bare Xvfb has no window manager: each new window is given the keyboard focus by hand."""
    found = subprocess.run(["timeout", "15", "xdotool", "search", "--sync", "--onlyvisible", "--name", title],
                           capture_output=True, text=True)
    ids = found.stdout.split()
    if not ids:
        fail("no window '%s'" % title)
    for _ in range(20):  # a window just mapped may not take the focus yet
        if subprocess.run(["xdotool", "windowfocus", "--sync", ids[0]], capture_output=True).returncode == 0:
            return
        time.sleep(0.1)
    fail("window '%s' does not take the focus" % title)


def key(*names):
    subprocess.run(["xdotool", "key", "--delay", "120", *names], check=True)


class Player:
    def __init__(self, app, log):
        self.app = app
        self.log = log

    def says(self, what, name=None, contains=(), within=8.0):
        """Waits until the focused object says every text of contains (in its name, description or text),
        and returns it."""
        end = time.time() + within
        said = ""
        while time.time() < end:
            node = focused()
            if node is not None:
                text = text_of(node)[:80].replace("\n", " / ")
                said = " | ".join(part for part in (node.name, node.description, text) if part)
                if (name is None or node.name == name) and all(c in said for c in contains):
                    heard.append("%-14s -> %s" % (what, said))
                    return node
            pump(0.1)
        fail("after %s the focus says '%s', not %s%s" % (what, said, "name '%s' and " % name if name else "",
                                                         list(contains)), self.log)

    def announced(self, what, sentence):
        """The sentence came with a change event, as a screen reader hears it without moving."""
        end = time.time() + 5
        while time.time() < end:
            if any(sentence in description for _, description in changes):
                return
            pump(0.1)
        fail("after %s no change event carried '%s'" % (what, sentence), self.log)

    def board_key(self, keys, sentence, name="Nouvelle partie"):
        changes.clear()
        key(*keys.split())
        self.says(keys, name, [sentence])
        self.announced(keys, sentence)

    def label(self, caption_start):
        for node in walk(self.app):
            if node.getRoleName() == "label" and node.name.startswith(caption_start):
                return node
        fail("no label '%s'" % caption_start, self.log)


def main():
    palinor = sys.argv[1]
    if not os.path.exists(LAUNCHER):
        fail("%s is missing: the package at-spi2-core is not installed" % LAUNCHER)
    launcher = subprocess.Popen([LAUNCHER, "--launch-immediately"])
    work = tempfile.mkdtemp()
    program = None
    try:
        try:
            pump(0.5)
            pyatspi.Registry.getDesktop(0).childCount
        except Exception as error:
            print("SKIPPED: the accessibility bus could not start (%s)" % error)
            return 77
        pyatspi.Registry.registerEventListener(on_description, "object:property-change:accessible-description")
        pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")

        # Its own copy in a folder of its own: billard.mdb is made beside it.
        shutil.copy(palinor, os.path.join(work, "Palinor"))
        log = os.path.join(work, "palinor.log")
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        env.pop("QT_QPA_PLATFORM", None)
        program = subprocess.Popen(["./Palinor"], cwd=work, env=env, stdout=open(log, "w"),
                                   stderr=subprocess.STDOUT)
        app = find_application("Palinor", 20)
        if app is None:
            fail("the program never appeared on the accessibility bus", log)
        play = Player(app, log)

        focus_window(BOARD)
        play.says("start", "Nouvelle partie", ["Aucune partie en cours", "Entrée"])

        # A disc without a game: the box says the refusal, then the board says it again with what to do.
        key("F1")
        focus_window("^Palinor$")
        play.says("F1", "OK", ["Pas de Partie en cours!"])
        key("Return")
        focus_window(BOARD)
        play.says("OK", "Nouvelle partie", ["Pas de Partie en cours!", "Entrée"])

        key("Return")
        focus_window("^Inscription$")
        play.says("Entrée", "Joueurs inscrits", ["Aucun joueur inscrit", "Tab"])
        key("Tab")
        play.says("Tab", "Nom du joueur", ["Tapez le nom"])
        subprocess.run(["xdotool", "type", "--delay", "80", "anne"], check=True)
        key("Return")
        focus_window(BOARD)
        play.says("nom tapé", "Nouvelle partie", ["Joueur : ANNE. Manche 1 : 0 point. 30 palets restants."])

        play.board_key("F4", "Poche 4 : 1 palet. Manche 1 : 4 points. 29 palets restants.")
        play.board_key("F4", "Poche 4 : 2 palets. Manche 1 : 8 points. 28 palets restants.")
        play.board_key("F2", "Poche 2 : 1 palet. Manche 1 : 10 points. 27 palets restants.")
        play.board_key("Delete", "Palet annulé. Poche 2 : 0 palet. Manche 1 : 8 points. 28 palets restants.")
        if play.label("MANCHE 1").description != "manche en cours":
            fail("the label of round 1 does not say that it is the round being played", log)
        play.board_key("shift+F5", "Manche 2. Score : 8.")
        if play.label("MANCHE 2").description != "manche en cours" or play.label("MANCHE 1").description:
            fail("the round labels do not say that round 2 is being played", log)
        play.board_key("F1", "Poche 1 : 1 palet. Manche 2 : 9 points. 27 palets restants.")
        play.board_key("shift+F5", "Manche 3. Score : 9.")
        play.board_key("Delete", "Retour à la manche 2. Score : 9.")
        play.board_key("shift+F5", "Manche 3. Score : 9.")

        # Past the last round: the box says the final score, the table reads its lines as sentences.
        key("shift+F5")
        focus_window("^Palinor$")
        play.says("shift+F5", "OK", ["GAME OVER", "Partie terminée. Score final : 9."])
        key("Return")
        focus_window("^ {40}Tableau des scores$")
        play.says("OK", None, ["Rang 1 : ANNE, 9 points."])
        key("Return")
        focus_window(BOARD)
        play.says("Entrée", "Nouvelle partie", ["Aucune partie en cours"])

        key("ctrl+F1")
        focus_window("^Aide$")
        play.says("ctrl+F1", "Aide de Palinor", ["Palinor", "Vertaline"])
        key("Escape")

        program.terminate()
        program.wait(10)
        if any(word in open(log, encoding="utf-8", errors="replace").read()
               for word in ("AddressSanitizer", "runtime error")):
            fail("the sanitizers spoke", log)
        print("What a screen reader hears, key by key:")
        print("\n".join(heard))
        return 0
    finally:
        if program is not None:
            program.terminate()
            program.wait(10)
        launcher.terminate()
        launcher.wait(10)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
