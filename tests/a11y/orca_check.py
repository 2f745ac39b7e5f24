"""Plays a hand by keyboard with the desktop's screen reader running, and
requires what a sighted player reads to be in what the reader speaks: the five
cards after Enter deals, the second card and "held" after 2, and after Enter
draws the cards, the result and the money. The reader's own debug record is
the record of what it speaks: each line it would send to a synthesizer.

The reader is started from its own package rather than its launcher: the
launcher refuses to run beside another reader of the same user anywhere on
the machine (and its --replace would end a player's own). It gets its own
home, settings and the private buses this test runs on, and no synthesizer.
Its record is block-buffered, and the reader ends by a signal: it writes to a
pseudo-terminal, which is line-buffered, so nothing of the end is lost.
Exit status 77 (a skip) only where the reader is not installed."""

import os
import pty
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time

PYTHON = sys.executable
FACE = r"(?:Ace|[2-9]|10|Jack|Queen|King) of (?:Spades|Hearts|Clubs|Diamonds)"
CARDS = re.compile(rf"{FACE}(?:, {FACE}){{4}}")
RESULT = re.compile(r"(?:Player has [A-Za-z ]+|Wow! [A-Za-z ]+)")
# The window's bonus line has two spaces before "Paid"; news is told in words,
# where a run of spaces is one.
MONEY = re.compile(r"(?:You Lost Total is now|\*Bonus\* \d+X +Paid You Win! Total is now|You Win Total is now) -?\d+")
# The record's line for what is spoken, followed by the voice it is spoken in.
UTTERANCE = re.compile(r"SPEECH OUTPUT: '(.*?)'(?: voice=\w+)? ?\{", re.DOTALL)
LAUNCH = """
import sys
from orca import debug
debug.debugLevel = debug.LEVEL_ALL
debug.eventDebugLevel = debug.LEVEL_OFF
debug.debugFile = open(sys.argv[2], "w")
from orca import orca
manager = orca.getSettingsManager()
manager.activate(sys.argv[1], {})
sys.path.insert(0, manager.getPrefsDir())
sys.exit(orca.main())
"""
# No synthesizer: the reader records what it would say all the same.
SETTINGS = """{"general": {"speechServerFactory": "", "speechFactoryModules": []},
 "profiles": {"default": {"profile": ["Default", "default"]}},
 "pronunciations": {}, "keybindings": {}}"""


class Reader:
    """The screen reader, and what it has spoken so far."""

    def __init__(self, home):
        prefs = os.path.join(home, "orca")
        os.makedirs(prefs)
        with open(os.path.join(prefs, "user-settings.conf"), "w") as f:
            f.write(SETTINGS)
        master, slave = pty.openpty()
        env = dict(os.environ, HOME=home, GSETTINGS_BACKEND="memory")
        self.proc = subprocess.Popen([PYTHON, "-c", LAUNCH, prefs, os.ttyname(slave)], env=env,
                                     stdin=subprocess.DEVNULL, stdout=slave, stderr=slave)
        os.close(slave)
        self.record = []
        self.lock = threading.Lock()
        threading.Thread(target=self._read, args=(master,), daemon=True).start()

    def _read(self, master):
        pending = b""
        while True:
            try:
                data = os.read(master, 65536)
            except OSError:
                return
            if not data:
                return
            pending += data
            *lines, pending = pending.split(b"\n")
            with self.lock:
                self.record += [line.decode("utf-8", "replace").rstrip("\r") for line in lines]

    def spoken(self):
        """Everything spoken so far, one utterance each (which may span lines)."""
        with self.lock:
            text = "\n".join(self.record)
        return UTTERANCE.findall(text)

    def wait_for(self, what, test, start=0, seconds=60):
        """The first utterance after the first `start` for which test holds."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            spoken = self.spoken()
            for i in range(start, len(spoken)):
                if test(spoken[i]):
                    return i, spoken[i]
            if self.proc.poll() is not None:
                break
            time.sleep(0.2)
        print(f"FAIL: the screen reader did not speak {what}; it spoke:")
        for line in self.spoken()[start:]:
            print(f"  {line}")
        sys.exit(1)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                # Its shutdown may wait for buses that are going.
                self.proc.kill()
                self.proc.wait()


def press(key):
    subprocess.run(["xdotool", "key", "--clearmodifiers", key], check=True)


def main():
    game = sys.argv[1]
    if subprocess.run([PYTHON, "-c", "import orca.orca"], capture_output=True).returncode != 0:
        print("SKIP: the screen reader Orca is not installed; scripts/deps.sh installs it")
        return 77
    with tempfile.TemporaryDirectory() as home:
        reader = Reader(home)
        proc = None
        try:
            reader.wait_for("that it is on", lambda s: s.startswith("Screen reader on"), seconds=180)
            proc = subprocess.Popen([game])
            window = subprocess.run(
                ["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(proc.pid), "--name", "Brisvale"],
                check=True, capture_output=True, text=True).stdout.split()[0]
            subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
            # The player starts on the Deal button, as the reader says.
            at, _ = reader.wait_for("the Deal button", lambda s: s.startswith("Deal push button"))

            press("Return")
            at, dealt = reader.wait_for("the five cards after the deal", CARDS.search, at + 1)
            cards = re.findall(FACE, CARDS.search(dealt).group(0))
            print("after Enter:", dealt)

            press("2")
            at, held = reader.wait_for(f'"{cards[1]}, held" after 2', lambda s: f"{cards[1]}, held" in s, at + 1)
            print("after 2:", held)

            press("Return")
            at, drawn = reader.wait_for(
                "the cards, the result and the money after the draw",
                lambda s: CARDS.search(s) and RESULT.search(s) and MONEY.search(s), at + 1)
            kept = re.findall(FACE, CARDS.search(drawn).group(0))[1]
            if kept != cards[1]:
                print(f"FAIL: the held {cards[1]} was spoken as {kept} after the draw")
                return 1
            print("after Enter:", drawn)
            return 0
        finally:
            if proc is not None:
                proc.terminate()
                try:
                    proc.wait(10)
                except subprocess.TimeoutExpired:
                    proc.kill()
            reader.stop()


if __name__ == "__main__":
    sys.exit(main())
