"""The soak of real input behind blackbox.py's case "soak": a few hundred random X events on the running
program, from a seed it prints, checked every CHECK_EVERY events and at the end.

    ORBELIN_SOAK_SEED=N     another sequence of events (the default is DEFAULT_SEED)
    ORBELIN_SOAK_EVENTS=N   another number of events (the default is DEFAULT_EVENTS)

Everything random comes from the seed: the codes the stand-in winscard.dll answers and every event. The
case's folder keeps events.txt (each event, and each xdotool command as sent, to replay a failure) and
checkpoints.txt (what each checkpoint saw).
"""

import collections
import os
import random
import time

DEFAULT_SEED = 92026
DEFAULT_EVENTS = 300
CHECK_EVERY = 50
BATCH = 8  # events per xdotool invocation: one process start for several events

# What a bare rich-edit pane takes in private bytes per line of report, measured by bare_richedit.exe
# (bare_richedit.cpp beside this file; `scripts/wine-run.sh STATE bare_richedit.exe 1000` after a
# warm-up of 50 reports) under Wine 8.0, where the figure is the process's resident anonymous memory:
# 5046 to 5050 bytes a line for the i686 build (5018 with 20 reports, 5038 with 100: it is linear),
# 5550 to 5564 for the x86_64 one. That much is Wine's riched20 itself.
BYTES_PER_LINE = {"i686": 5050, "x86_64": 5565}
# The program's pane mixes one-line successes and two-line failures, and the heap grows in steps
# rather than by the byte. Across soaks the program grew by 4.5 KB a line once its first-time costs
# were paid, below the bare figure: half as much again leaves room for both without hiding a leak of
# a few kilobytes per check.
LINE_MARGIN = 1.5
# Growth that is no line's, paid once: the first Ctrl+C in the pane starts Wine's OLE clipboard
# machinery (about 1.1 MB), the first minimise about 50 KB, the first link click about 30 KB. Measured
# beyond the lines' own share (lines x BYTES_PER_LINE) at every checkpoint of soaks of seeds 92026, 1, 2
# and 3: at most 1.33 MB for the i686 build, 1.52 MB for the x86_64 one (seeds 92026 and 1). A leak
# smaller than what is left over a run (0.6 to 0.8 MB, and the margin's share of the lines) goes unseen.
ALLOWANCE = 2 * 1024 * 1024

SUCCESS_SHARE = 0.4
CODE_POOL = (0x8010001D, 0x6D, 0x5, 0x80100035, 0x80000000, 0x8007006D, 0x8010002F, 0x80100001, 0x8010000A,
             0x12345678, 0xFFFFFFFF)
SCRIPT_CHARACTERS = 500  # the stand-in reads at most 511; its last code is repeated after the list

# Keys the pane is given: none of them closes the window or reaches Wine's desktop (no Alt alone or with
# a letter, no F10, no Alt+F4, no Ctrl+Esc, no Super). The menu key asks for a context menu the pane
# must refuse.
PANE_KEYS = ("Delete", "BackSpace", "ctrl+v", "shift+Insert", "ctrl+x", "ctrl+z", "ctrl+y", "ctrl+a", "ctrl+c",
             "Tab", "shift+Tab", "ctrl+Tab", "Return", "KP_Enter", "space", "Escape", "Left", "Right", "Up",
             "Down", "Home", "End", "Prior", "Next", "ctrl+Home", "ctrl+End", "shift+Left", "shift+End",
             "ctrl+shift+Home", "Insert", "Menu", "F1", "F5")
LETTERS = "abcdefghijklmnopqrstuvwxyz0123456789"
MOVE_STEP = 8  # pixels per arrow key in the system menu's Move
MOVE_REACH = 64  # how far the window may wander from where it opened


def architecture(exe):
    """i686 or x86_64, from the machine field of a PE file's header."""
    data = exe.read_bytes()
    header = int.from_bytes(data[0x3C:0x40], "little")
    return {0x14C: "i686", 0x8664: "x86_64"}[int.from_bytes(data[header + 4:header + 6], "little")]


def inside(rect, x, y, grow=0):
    left, top, width, height = rect
    return left - grow <= x < left + width + grow and top - grow <= y < top + height + grow


def results_script(rng):
    """The codes the stand-in answers, successes and failures mixed, as FAKE_WINSCARD_RESULTS."""
    codes = []
    while len(",".join(f"{c:X}" for c in codes)) < SCRIPT_CHARACTERS - 9:
        codes.append(0 if rng.random() < SUCCESS_SHARE else rng.choice(CODE_POOL))
    return ",".join(f"{c:X}" for c in codes)


class Expected:
    """What the events sent so far should have done."""

    def __init__(self):
        self.checks = 0
        self.opens = []


class Events:
    """Draws the events from the seed and turns each into xdotool arguments in client coordinates."""

    def __init__(self, rng, bb, labels):
        self.rng = rng
        self.bb = bb
        self.labels = labels  # name -> (left, top, width, height) in the client area
        self.kinds = [(self.click_check, 12), (self.double_click_check, 4), (self.drag_off_check, 5),
                      (self.drag_onto_check, 4), (self.press_quit_drag_off, 4), (self.hover, 10),
                      (self.keys, 12), (self.typing, 4), (self.wheel, 6), (self.select_in_pane, 6),
                      (self.double_click_pane, 2), (self.other_button, 6), (self.link_click, 6),
                      (self.link_double_click, 1), (self.link_drag_off, 2), (self.link_near_miss, 2),
                      (self.drag_onto_link, 1), (self.minimise_restore, 2), (self.system_menu, 2),
                      (self.move, 1)]
        self.weights = [weight for _, weight in self.kinds]

    def next(self):
        """One event: its kind's name, then what the kind's method returns."""
        kind = self.rng.choices([kind for kind, _ in self.kinds], self.weights)[0]
        return kind.__name__, *kind()

    # Where to point.
    def point_in(self, rect, margin=1):
        left, top, width, height = rect
        return (self.rng.randrange(left + margin, left + width - margin),
                self.rng.randrange(top + margin, top + height - margin))

    def anywhere_safe(self, avoid=()):
        """A point of the client area off Quitter and off the labels (and off `avoid`), by a few pixels."""
        while True:
            x, y = self.rng.randrange(2, self.bb.CLIENT[0] - 2), self.rng.randrange(2, self.bb.CLIENT[1] - 2)
            keep_off = (self.bb.QUIT_BUTTON, *self.labels.values(), *avoid)
            if not any(inside(rect, x, y, grow=3) for rect in keep_off):
                return x, y

    def label_point(self, name):
        """Anywhere in the label: its centre, an edge or corner of its margin, or at random."""
        left, top, width, height = self.labels[name]
        spots = [(width // 2, height // 2), (1, 1), (width - 2, height - 2), (width // 2, height - 2),
                 (width - 2, height // 2), (1, height - 2), (width - 2, 1)]
        dx, dy = self.rng.choice(spots) if self.rng.random() < 0.5 else self.point_in((0, 0, width, height), 0)
        return left + dx, top + dy

    def label_near_miss(self, name):
        """A point a few pixels outside the label, still in the client area and off Quitter."""
        left, top, width, height = self.labels[name]
        while True:
            gap = self.rng.randrange(2, 7)
            x, y = self.rng.choice([(left - gap, top + height // 2), (left + width + gap - 1, top + height // 2),
                                    (left + width // 2, top - gap), (left + width // 2, top + height + gap - 1),
                                    (left - gap, top - gap)])
            on_a_label = any(inside(rect, x, y) for rect in self.labels.values())
            if (0 <= x < self.bb.CLIENT[0] and 0 <= y < self.bb.CLIENT[1] and not on_a_label
                    and not inside(self.bb.QUIT_BUTTON, x, y, grow=3)):
                return x, y

    # The events. Each returns its description, its actions, how many checks it runs and which labels it
    # opens. An action is ("x", xdotool arguments in client coordinates), ("min_box" | "move", None),
    # ("caption", button) or ("sync", "iconic" | "restored"), which waits for the window to get there.
    def click_check(self):
        x, y = self.point_in(self.bb.CHECK_BUTTON)
        return f"click on the check button at {x},{y}", [("x", ["mousemove", x, y, "click", 1])], 1, []

    def double_click_check(self):
        x, y = self.point_in(self.bb.CHECK_BUTTON)
        return (f"double-click on the check button at {x},{y}",
                [("x", ["mousemove", x, y, "click", "--repeat", 2, "--delay", 40, 1])], 2, [])

    def drag(self, start, end, button=1):
        (x0, y0), (x1, y1) = start, end
        middle = ((x0 + x1) // 2, (y0 + y1) // 2)
        return ["mousemove", x0, y0, "mousedown", button, "mousemove", *middle, "mousemove", x1, y1,
                "mouseup", button]

    def drag_off_check(self):
        start, end = self.point_in(self.bb.CHECK_BUTTON), self.anywhere_safe(avoid=[self.bb.CHECK_BUTTON])
        return f"press on the check button at {start}, release off it at {end}", [("x", self.drag(start, end))], 0, []

    def drag_onto_check(self):
        start, end = self.anywhere_safe(avoid=[self.bb.CHECK_BUTTON]), self.point_in(self.bb.CHECK_BUTTON)
        return f"press at {start}, release on the check button at {end}", [("x", self.drag(start, end))], 0, []

    def press_quit_drag_off(self):
        # Released off Quitter only: a release on it would end the program.
        start, end = self.point_in(self.bb.QUIT_BUTTON), self.anywhere_safe()
        return f"press on Quitter at {start}, release off it at {end}", [("x", self.drag(start, end))], 0, []

    def hover(self):
        targets = [self.bb.CHECK_BUTTON, self.bb.QUIT_BUTTON, self.bb.PANE, *self.labels.values()]
        points = [self.point_in(self.rng.choice(targets)) if self.rng.random() < 0.6 else self.anywhere_safe()
                  for _ in range(self.rng.randrange(1, 4))]
        args = [a for x, y in points for a in ("mousemove", x, y)]
        return f"hover over {points}", [("x", args)], 0, []

    def in_pane(self):
        return ["mousemove", *self.point_in(self.bb.PANE, margin=20)]

    def keys(self):
        keys = self.rng.choices(PANE_KEYS, k=self.rng.randrange(1, 5))
        return f"keys {' '.join(keys)}", [("x", [*self.in_pane(), "key", "--delay", 20, *keys])], 0, []

    def typing(self):
        word = [self.rng.choice(LETTERS) for _ in range(self.rng.randrange(2, 7))]
        return f"typing {''.join(word)}", [("x", [*self.in_pane(), "key", "--delay", 20, *word])], 0, []

    def wheel(self):
        button, turns = self.rng.choice((4, 5)), self.rng.randrange(1, 6)
        x, y = self.point_in(self.bb.PANE) if self.rng.random() < 0.7 else self.anywhere_safe()
        return (f"wheel {'up' if button == 4 else 'down'} x{turns} at {x},{y}",
                [("x", ["mousemove", x, y, "click", "--repeat", turns, "--delay", 15, button])], 0, [])

    def select_in_pane(self):
        start = self.point_in(self.bb.PANE, margin=20)
        end = self.point_in(self.bb.PANE, margin=20) if self.rng.random() < 0.8 else self.anywhere_safe()
        return f"select from {start} to {end}", [("x", self.drag(start, end))], 0, []

    def double_click_pane(self):
        x, y = self.point_in(self.bb.PANE, margin=20)
        return (f"double-click in the pane at {x},{y}",
                [("x", ["mousemove", x, y, "click", "--repeat", 2, "--delay", 40, 1])], 0, [])

    def other_button(self):
        """Right or middle click on the pane, the check button, a label or the window itself: nothing."""
        button = 3 if self.rng.random() < 0.8 else 2
        where = self.rng.choice(["pane", "check button", "label", "window"])
        if where == "pane":
            x, y = self.point_in(self.bb.PANE)
        elif where == "check button":
            x, y = self.point_in(self.bb.CHECK_BUTTON)
        elif where == "label":
            x, y = self.label_point(self.rng.choice(sorted(self.labels)))
        else:
            x, y = self.anywhere_safe(avoid=[self.bb.CHECK_BUTTON, self.bb.PANE])
        keys = ["key", "Escape"] if self.rng.random() < 0.5 else []
        return (f"button {button} on the {where} at {x},{y}", [("x", ["mousemove", x, y, "click", button, *keys])],
                0, [])

    def link_click(self):
        name = self.rng.choice(sorted(self.labels))
        x, y = self.label_point(name)
        return f"click on {name} at {x},{y}", [("x", ["mousemove", x, y, "click", 1])], 0, [name]

    def link_double_click(self):
        name = self.rng.choice(sorted(self.labels))
        x, y = self.label_point(name)
        return (f"double-click on {name} at {x},{y}",
                [("x", ["mousemove", x, y, "click", "--repeat", 2, "--delay", 40, 1])], 0, [name, name])

    def link_drag_off(self):
        name = self.rng.choice(sorted(self.labels))
        start, end = self.label_point(name), self.anywhere_safe()
        return f"press on {name} at {start}, release off it at {end}", [("x", self.drag(start, end))], 0, []

    def drag_onto_link(self):
        name = self.rng.choice(sorted(self.labels))
        start, end = self.anywhere_safe(avoid=[self.bb.CHECK_BUTTON]), self.label_point(name)
        return f"press at {start}, release on {name} at {end}", [("x", self.drag(start, end))], 0, []

    def link_near_miss(self):
        name = self.rng.choice(sorted(self.labels))
        x, y = self.label_near_miss(name)
        return f"click just outside {name} at {x},{y}", [("x", ["mousemove", x, y, "click", 1])], 0, []

    def minimise_restore(self):
        way = self.rng.choice(["minimise box", "system menu"])
        minimise = ("min_box", None) if way == "minimise box" else ("x", ["key", "--delay", 30, "alt+space", "n"])
        return (f"minimise with the {way}, restore with the system menu",
                [minimise, ("sync", "iconic"), ("x", ["key", "--delay", 30, "alt+space", "r"]), ("sync", "restored")],
                0, [])

    def system_menu(self):
        """Opened from the keyboard or by a right-click on the caption, then closed with Escape."""
        if self.rng.random() < 0.5:
            return "system menu with Alt+Space, closed", [("x", ["key", "--delay", 30, "alt+space", "Escape",
                                                                 "Escape"])], 0, []
        return "system menu from the caption, closed", [("caption", 3), ("x", ["key", "--delay", 30, "Escape"])], 0, []

    def move(self):
        return "move with the system menu", [("move", None)], 0, []


class Soak:
    """Runs the events on the program, keeping track of where its window is, and checks it."""

    def __init__(self, ctx, bb, seed, count):
        self.ctx, self.bb, self.seed, self.count = ctx, bb, seed, count
        self.rng = random.Random(seed)
        self.script = results_script(self.rng)
        self.expected = Expected()
        self.pending = []  # xdotool arguments of events not sent yet, in screen coordinates
        self.events_log = open(ctx.work / "events.txt", "w")
        self.checkpoint_log = open(ctx.work / "checkpoints.txt", "w")
        self.figures = collections.OrderedDict()

    def start(self):
        bb = self.bb
        self.program, facts = self.ctx.start_program(results=self.script)
        facts = bb.poll("the window shown", self.ctx.facts, lambda f: f["visible"] == "1" and f["iconic"] == "0")
        self.labels = bb.link_labels(facts)
        self.home = bb.numbers(facts["client_origin"])
        self.origin = self.home
        frame = bb.numbers(facts["window_rect"])
        self.caption_y = (frame[1] - self.origin[1]) // 2  # the caption's middle line, from the client's top
        self.min_box = tuple(m - o for m, o in zip(bb.numbers(facts["min_box"]), self.origin))
        bb.check(facts["private_bytes"].isdigit(), f"the program's private bytes: {facts['private_bytes']}")
        self.start_bytes = int(facts["private_bytes"])
        self.events = Events(self.rng, bb, self.labels)
        self.ctx.session.opened.unlink(missing_ok=True)
        self.log(f"seed {self.seed}, {self.count} events; stand-in answers {self.script}")
        self.log(f"labels {self.labels}; client origin {self.origin}; private bytes {self.start_bytes}")

    def log(self, line):
        self.events_log.write(line + "\n")
        self.events_log.flush()

    # Sending.
    def screen(self, args):
        """Client coordinates after each mousemove made screen ones."""
        out, i = [], 0
        while i < len(args):
            if args[i] == "mousemove":
                out += ["mousemove", args[i + 1] + self.origin[0], args[i + 2] + self.origin[1]]
                i += 3
            else:
                out.append(args[i])
                i += 1
        return out

    def flush(self):
        if self.pending:
            args, self.pending = self.pending, []
            self.log("  xdotool " + " ".join(map(str, args)))
            self.ctx.xdotool(*args)

    def act(self, action, what):
        kind, value = action
        if kind == "x":
            self.pending += self.screen(value)
            return
        self.flush()
        if kind == "min_box":
            self.ctx.xdotool(*self.screen(["mousemove", *self.min_box, "click", 1]))
        elif kind == "caption":
            x = self.rng.randrange(60, self.min_box[0] - 40)
            self.ctx.xdotool(*self.screen(["mousemove", x, self.caption_y, "click", value]))
        elif kind == "sync":
            self.sync(value, what)
        elif kind == "move":
            self.move(what)

    def sync(self, state, what):
        bb = self.bb
        if state == "iconic":
            bb.poll(f"the window minimised ({what})", self.ctx.facts, lambda f: f["iconic"] == "1")
        else:
            facts = bb.poll(f"the window restored ({what})", self.ctx.facts, lambda f: f["iconic"] == "0")
            bb.check_equal(bb.numbers(facts["client_origin"]), self.origin, f"client origin after {what}")

    def move(self, what):
        """A few arrow keys each way, toward where the window opened once it has wandered far enough."""
        bb = self.bb
        keys, target = [], list(self.origin)
        for axis, (less, more) in enumerate((("Left", "Right"), ("Up", "Down"))):
            offset = self.origin[axis] - self.home[axis]
            direction = -1 if offset > MOVE_REACH - 3 * MOVE_STEP else 1 if offset < 3 * MOVE_STEP - MOVE_REACH \
                else self.rng.choice((-1, 1))
            steps = self.rng.randrange(1, 4)
            keys += [less if direction < 0 else more] * steps
            target[axis] += direction * steps * MOVE_STEP
        self.log(f"  keys alt+space m {' '.join(keys)} Return; expected client origin {tuple(target)}")
        # The keys wait until the program has handled the input sent before them: Wine's move loop
        # takes pointer motion still queued behind a few checks for a drag of the window.
        bb.poll(f"{self.expected.checks} checks before the move ({what})", lambda: len(self.ctx.establishes()),
                lambda count: count >= self.expected.checks, timeout=30)
        self.ctx.xdotool("key", "--delay", 30, "alt+space", "m", *keys, "Return")
        bb.poll(f"the window moved to {tuple(target)} ({what})", self.ctx.facts,
                lambda f: bb.numbers(f["client_origin"]) == tuple(target))
        self.origin = tuple(target)

    # Running and checking.
    def run(self):
        self.start()
        began = time.monotonic()
        for index in range(1, self.count + 1):
            kind, what, actions, checks, opens = self.events.next()
            self.log(f"{index:4} {kind}: {what}")
            for action in actions:
                self.act(action, what)
            self.expected.checks += checks
            self.expected.opens += [self.bb.LINKS[name][0] for name in opens]
            if index % BATCH == 0:
                self.flush()
            if index % CHECK_EVERY == 0 or index == self.count:
                self.flush()
                self.checkpoint(index)
        self.figures["events"] = self.count
        self.figures["events_and_checks_s"] = round(time.monotonic() - began, 1)
        return self.figures

    def checkpoint(self, index):
        bb, ctx = self.bb, self.ctx
        where = f"after event {index} (seed {self.seed})"
        bb.check(self.program.running(), f"the program ended {where}")
        bb.poll(f"{self.expected.checks} checks {where}", lambda: len(ctx.establishes()),
                lambda count: count >= self.expected.checks, timeout=30)
        establishes = ctx.establishes()
        bb.check_equal(len(establishes), self.expected.checks, f"checks run {where}")
        codes = [int(call["result"], 16) for call in establishes]
        text = ctx.wait_for_pane(codes)
        calls = ctx.calls()
        releases = []
        for call in establishes:
            releases.append(("establish", call["context"]))
            if int(call["result"], 16) == 0:
                releases.append(("release", call["context"]))
        bb.check_equal([(c["kind"], c["context"]) for c in calls], releases,
                       f"one release right after each success, of its handle, {where}")

        facts = self.settled_opens(where)
        for key, want in (("window_count", "1"), ("iconic", "0"), ("own_visible_windows", "1"),
                          ("visible_dialogs", "0"), ("popup_menus", "0"), ("capture", "0"), ("focus_is_pane", "1")):
            bb.check_equal(facts[key], want, f"{key} {where}")
        bb.check_equal(bb.numbers(facts["client_size"]), bb.CLIENT, f"client size {where}")
        bb.check_equal(bb.numbers(facts["client_origin"]), self.origin, f"client origin {where}")

        lines = text.count("\r\n")
        grown = int(facts["private_bytes"]) - self.start_bytes
        per_line = BYTES_PER_LINE[architecture(ctx.program_exe)]
        bound = int(lines * per_line * LINE_MARGIN) + ALLOWANCE
        summary = (f"event {index}: {len(codes)} checks ({codes.count(0)} successes), {lines} lines, "
                   f"{len(self.expected.opens)} addresses opened, private bytes {facts['private_bytes']} "
                   f"(+{grown}, bound +{bound}: {lines} lines x {per_line} x {LINE_MARGIN} + {ALLOWANCE})")
        self.checkpoint_log.write(summary + "\n")
        self.checkpoint_log.flush()
        self.log(f"     checkpoint: {summary}")
        bb.check(grown <= bound, f"private bytes grew by {grown}, beyond {bound} {where}")
        self.figures.update(checkpoints=self.figures.get("checkpoints", 0) + 1, checks=len(codes),
                            successes=codes.count(0), lines=lines, opens=len(self.expected.opens),
                            private_start=self.start_bytes, private_end=int(facts["private_bytes"]),
                            growth=grown, bound=bound, per_line=per_line)

    def settled_opens(self, where):
        """The facts once no winebrowser is left and the addresses handed to the browser are all in."""
        bb, ctx = self.bb, self.ctx
        last = {}

        def opened():
            return ctx.session.opened.read_text().splitlines() if ctx.session.opened.exists() else []

        def read():
            last["facts"] = facts = ctx.facts()
            return "winebrowser.exe" in facts["processes"].split(","), opened()

        bb.poll(f"{len(self.expected.opens)} addresses opened and no winebrowser running {where}", read,
                lambda got: not got[0] and len(got[1]) >= len(self.expected.opens), timeout=30)
        # Each click starts its own browser: they may finish in any order.
        bb.check_equal(sorted(opened()), sorted(self.expected.opens), f"addresses opened {where}")
        return last["facts"]

    def close(self):
        self.events_log.close()
        self.checkpoint_log.close()


def run(ctx, bb):
    seed = int(os.environ.get("ORBELIN_SOAK_SEED", DEFAULT_SEED))
    count = int(os.environ.get("ORBELIN_SOAK_EVENTS", DEFAULT_EVENTS))
    print(f"soak: seed {seed}, {count} events (ORBELIN_SOAK_SEED, ORBELIN_SOAK_EVENTS); log in {ctx.work}",
          flush=True)
    ctx.trace(time.monotonic(), f"soak seed {seed}, {count} events")
    soak = Soak(ctx, bb, seed, count)
    try:
        figures = soak.run()
    finally:
        soak.close()
    print("soak: " + ", ".join(f"{key} {value}" for key, value in figures.items()), flush=True)
