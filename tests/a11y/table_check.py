"""Plays a hand through the accessibility bus as a screen reader user would:
Enter deals, 2 holds the second card, Enter draws; the five cards must be
named by their faces and the second read as held, and the result announced,
all from what the bus tells."""

import re
import subprocess
import sys
import time

try:
    import pyatspi
    from gi.repository import GLib
except ImportError as error:
    print(f"FAIL: the accessibility client library is missing ({error}); scripts/deps.sh installs python3-pyatspi")
    sys.exit(1)

FACE = re.compile(r"^(Ace|[2-9]|10|Jack|Queen|King) of (Spades|Hearts|Clubs|Diamonds)$")
announced = {}


def pump(seconds):
    """Lets the bus deliver what it has for a while."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def wait_for(what, test, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        result = test()
        if result:
            return result
        pump(0.1)
    print(f"FAIL: {what}")
    sys.exit(1)


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def find(root, role, name=None, description=None):
    for node in walk(root):
        try:
            if node.getRoleName() != role:
                continue
            if name is not None and node.name != name:
                continue
            if description is not None and node.description != description:
                continue
            return node
        except Exception:  # an object that went away while we looked
            continue
    return None


def game_app():
    desktop = pyatspi.Registry.getDesktop(0)
    # The list of programs is read afresh: one that registers while nobody
    # listens to the registry is not added to what was read before.
    desktop.clear_cache()
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "brisvale":
            return app
    return None


def on_name_changed(event):
    announced.setdefault(event.source.description, []).append(event.source.name)


def press(key):
    subprocess.run(["xdotool", "key", "--clearmodifiers", key], check=True)


def held(node):
    return node.getState().contains(pyatspi.STATE_CHECKED)


def main():
    game = sys.argv[1]
    proc = subprocess.Popen([game])
    try:
        app = wait_for("the game did not appear on the accessibility bus", game_app)
        cards = [
            wait_for(f"card {k} not found", lambda k=k: find(app, "check box", description=f"Card {k}, hold key {k}"))
            for k in range(1, 6)
        ]
        names = [c.name for c in cards]
        if names != ["Card back"] * 5:
            print(f"FAIL: before the deal the cards read {names}")
            return 1
        bet = find(app, "spin button", name="Bet")
        if bet is None:
            print("FAIL: no spin button named Bet")
            return 1

        pyatspi.Registry.registerEventListener(on_name_changed, "object:property-change:accessible-name")
        deal = wait_for("no Deal button", lambda: find(app, "push button", name="Deal"))
        window_id = subprocess.run(
            ["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(proc.pid), "--name", "Brisvale"],
            check=True, capture_output=True, text=True).stdout.split()[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", window_id], check=True)
        # The player starts on the Deal button.
        deal.queryComponent().grabFocus()
        pump(0.5)

        press("Return")
        wait_for("the cards were not named by their faces after Enter",
                 lambda: all(FACE.match(c.name) for c in cards))
        for k, card in enumerate(cards, 1):
            if f"Card {k}, hold key {k}" not in announced:
                print(f"FAIL: card {k} changed without a name-change announcement")
                return 1
        if any(held(c) for c in cards):
            print("FAIL: a card reads as held right after the deal")
            return 1

        press("2")
        wait_for("the second card was not read as held after 2",
                 lambda: cards[1].name.endswith(", held") and held(cards[1]))
        panel = find(app, "check box", name="Hold card 2")
        if panel is None or not held(panel):
            print("FAIL: the hold panel of card 2 is not a checked two-state button")
            return 1
        for k in (0, 2, 3, 4):
            if held(cards[k]) or cards[k].name.endswith(", held"):
                print(f"FAIL: card {k + 1} reads as held")
                return 1
        print("cards:", "; ".join(c.name for c in cards))

        # The draw: the result is announced and the holds are over.
        result = find(app, "label", description="Result")
        press("Return")
        wait_for("the result of the hand was not announced",
                 lambda: announced.get("Result") and result.name)
        wait_for("a card still reads as held after the draw", lambda: not any(held(c) for c in cards))
        print("result:", result.name)
        return 0
    finally:
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()


if __name__ == "__main__":
    sys.exit(main())
