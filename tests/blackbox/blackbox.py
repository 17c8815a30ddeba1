#!/usr/bin/python3
"""Black-box tests of orbelinchk.exe under Wine.

The real program runs in a private Wine session (its own Xvfb display, prefix and wineserver, from
scripts/wine-session.sh). The stand-in winscard.dll, which answers with chosen codes and records every
call, is in the prefix's system directory: where Windows, following the program's load configuration,
looks for it (Wine itself would also take a copy beside the program). The program is driven only from
outside, with X pointer and keyboard input (xdotool), and observed from outside: by probe.exe (a Windows
program of ours that reads the window from another process), by screenshots of the display, by the
stand-in's call log and by the program's exit code.

    blackbox.py --bin DIR --stand-in WINSCARD.DLL --state DIR [--exe FILE] [all | start | stop | run CASE... | list]

`all` (the default) starts a session, runs every case and stops it. CTest runs `start` as a fixture,
then each case with `run CASE`, then `stop`. Every case starts the program afresh. With --exe, the cases
drive that copy of the program (a signed release, say) instead of the build's.
"""

import argparse
import contextlib
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

from PIL import Image

import soak

ROOT = Path(__file__).resolve().parents[2]
WINE_SESSION = ROOT / "scripts" / "wine-session.sh"
WINE_RUN = ROOT / "scripts" / "wine-run.sh"
EXPECTED_MESSAGES = ROOT / "tests" / "support" / "expected_messages.h"

CAPTION = "Orbelin - Contrôle du service"
CLIENT = (596, 427)
CHECK_BUTTON = (212, 144, 172, 30)  # left, top, width, height at 96 dpi
QUIT_BUTTON = (248, 391, 95, 30)
PANE = (24, 192, 553, 185)
LINKS = {"lbl_link2": ("https://www.orbelin.fr/support-a-distance", (451, 403)),
         "lbl_link3": ("https://www.orbelin.fr/", (40, 401))}
GREEN, RED, BLACK = "008000", "ff0000", "000000"
CONNECTED = "Connecté au service\r\n"
FAILED = "Erreur durant la connexion au service\r\n"
RETURN_LABEL = "Retour :"

WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX = 0x00C00000, 0x00080000, 0x00020000
WS_MAXIMIZEBOX, WS_THICKFRAME = 0x00010000, 0x00040000


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def check_equal(actual, expected, what):
    if actual != expected:
        raise Failure(f"{what}: expected {expected!r}, got {actual!r}")


def poll(what, read, ready, timeout=15.0, interval=0.05):
    """Calls read() until ready(value) holds, for at most `timeout` seconds; returns the value."""
    deadline = time.monotonic() + timeout
    while True:
        value = read()
        if ready(value):
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}; last seen: {value!r}")
        time.sleep(interval)


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def unescape(text):
    out, i = [], 0
    simple = {"\\": "\\", "r": "\r", "n": "\n", "t": "\t"}
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            if text[i + 1] == "x":
                out.append(chr(int(text[i + 2:i + 4], 16)))
                i += 4
                continue
            out.append(simple.get(text[i + 1], text[i + 1]))
            i += 2
            continue
        out.append(text[i])
        i += 1
    return "".join(out)


def read_facts(path):
    facts = {}
    for line in Path(path).read_text(encoding="utf-8").split("\n"):
        key, _, value = line.partition("=")
        facts[key] = value
    return facts


def numbers(value):
    return tuple(int(n) for n in value.split(","))


def link_labels(facts):
    """Each link label's client bounds (left, top, width, height) by name: the window's first two children."""
    return {name: numbers(facts[f"child{i}"].split(",", 1)[1]) for i, name in enumerate(("lbl_link2", "lbl_link3"))}


def on_screen(facts, x, y):
    """Where a point of the window's client area is on the screen."""
    ox, oy = numbers(facts["client_origin"])
    return ox + x, oy + y


def pixel(image, facts, x, y):
    return "%02x%02x%02x" % image.getpixel(on_screen(facts, x, y))


def load_messages():
    """The French sentences per code, from the tests' own copy of the table."""
    pattern = re.compile(r'\{0x([0-9A-Fa-f]+)u, "\w+", "((?:[^"\\]|\\.)*)"\}')
    messages = {}
    for code, text in pattern.findall(EXPECTED_MESSAGES.read_text(encoding="utf-8")):
        messages[int(code, 16)] = text.replace('\\"', '"').replace("\\t", "\t").replace("\\\\", "\\")
    check(len(messages) > 60, f"could not read the message table in {EXPECTED_MESSAGES}")
    return messages


MESSAGES = load_messages()


def detail_for(code):
    if code in MESSAGES:
        return " " + MESSAGES[code] + "\r\n"
    signed = code - (1 << 32) if code >= 1 << 31 else code
    return f" Inconnu - {signed}\r\n"


def report_runs(code):
    """The runs (text, style, colour) one check appends."""
    if code == 0:
        return [(CONNECTED, "b", GREEN)]
    return [(FAILED, "b", RED), (RETURN_LABEL, "u", BLACK), (detail_for(code), "", BLACK)]


def merged(runs):
    out = []
    for text, style, colour in runs:
        if out and out[-1][1:] == (style, colour):
            out[-1] = (out[-1][0] + text, style, colour)
        else:
            out.append((text, style, colour))
    return out


def report_text(codes):
    return "".join(text for code in codes for text, _, _ in report_runs(code))


def parse_calls(path):
    calls = []
    if path.exists():
        for line in path.read_text().splitlines():
            kind, *fields = line.split()
            calls.append(dict([("kind", kind)] + [field.split("=", 1) for field in fields]))
    return calls


class Session:
    """A private Wine session: display, prefix and wineserver, described by STATE/env."""

    def __init__(self, state, stand_in=None):
        self.state = Path(state)
        self.stand_in = stand_in

    def start(self):
        """A new display and a new prefix, with the stand-in installed: nothing is left from an earlier run."""
        self.state.mkdir(parents=True, exist_ok=True)
        self.stop()
        for leftover in ("prefix", "cases", "dpi144", "opened.txt"):
            path = self.state / leftover
            shutil.rmtree(path) if path.is_dir() else path.unlink(missing_ok=True)
        run([WINE_SESSION, "start", self.state, "--system-dll", self.stand_in], timeout=240)
        self.prepare()

    @property
    def system_dlls(self):
        """Where the session installed its DLLs, as scripts/wine-session.sh lists them."""
        return [Path(line) for line in (self.state / "system-dlls.txt").read_text().splitlines()]

    def stop(self):
        if not self.exists():
            return
        env = self.env
        run([WINE_SESSION, "stop", self.state], timeout=60)
        # The server saves the registry into the prefix as it goes: wait for it to be gone.
        run(["wineserver", "-w"], env=env, timeout=60)

    def exists(self):
        return (self.state / "env").exists()

    @property
    def env(self):
        env = dict(os.environ)
        for line in (self.state / "env").read_text().splitlines():
            key, _, value = line.removeprefix("export ").partition("=")
            env[key] = value.strip('"')
        for name in ("FAKE_WINSCARD_RESULTS", "FAKE_WINSCARD_LOG"):
            env.pop(name, None)
        env["LC_ALL"] = "C.UTF-8"  # Wine's own texts in English, whatever the caller's locale: menu keys
        return env

    def reg_add(self, key, name, kind, data):
        env = self.env
        run([env["WINELOADER"], "reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f"], env=env)

    def reg_delete(self, key):
        env = self.env
        run([env["WINELOADER"], "reg", "delete", key, "/f"], env=env)

    def prepare(self):
        """Links open a recording script instead of a browser."""
        recorder = self.state / "browser.sh"
        recorder.write_text('#!/bin/sh\n# Stands in for the browser: records the addresses it is given.\n'
                            f'printf "%s\\n" "$@" >>"{self.state / "opened.txt"}"\n')
        recorder.chmod(0o755)
        self.reg_add(r"HKCU\Software\Wine\WineBrowser", "Browsers", "REG_SZ", str(recorder))

    @property
    def opened(self):
        return self.state / "opened.txt"


def run(command, env=None, timeout=60):
    """Runs a command to completion with its output in a file (Wine's helpers would hold a pipe open)."""
    log = Path(os.environ.get("TMPDIR", "/tmp")) / f"blackbox-{os.getpid()}.log"
    with open(log, "w+b") as output:
        result = subprocess.run([str(c) for c in command], env=env, stdin=subprocess.DEVNULL, stdout=output,
                                stderr=subprocess.STDOUT, timeout=timeout)
        output.seek(0)
        text = output.read().decode(errors="replace")
    log.unlink(missing_ok=True)
    if result.returncode != 0:
        raise Failure(f"{' '.join(map(str, command))} exited with {result.returncode}: {text.strip()}")
    return text


class Background:
    """A Windows program started in the session and left running; killed with its group if need be."""

    def __init__(self, ctx, program, *args, results=None, extra_env=None):
        self.ctx = ctx
        self.name = Path(program).name
        env = ctx.session.env
        env["FAKE_WINSCARD_LOG"] = windows_path(ctx.calls_log)
        if results is not None:
            env["FAKE_WINSCARD_RESULTS"] = results
        env.update(extra_env or {})
        ctx.started.append(self)
        self.output = open(ctx.work / f"{Path(program).stem}-{len(ctx.started)}.out", "wb")
        self.process = subprocess.Popen([str(WINE_RUN), str(ctx.session.state), str(program), *map(str, args)],
                                        env=env, stdin=subprocess.DEVNULL, stdout=self.output,
                                        stderr=subprocess.STDOUT, start_new_session=True)

    def wait(self, timeout):
        started = time.monotonic()
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"{self.name} had not ended {timeout:.0f} s later") from None
        finally:
            self.ctx.trace(started, f"{self.name} ended")

    def running(self):
        return self.process.poll() is None

    def stop(self):
        if self.running():
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.process.wait(timeout=30)
        self.output.close()


class Context:
    """What a case works with: the session, the build's programs, its own folder and call log."""

    def __init__(self, session, bin_dir, name, program=None):
        self.session = session
        self.bin = Path(bin_dir)
        self.work = session.state / "cases" / name
        shutil.rmtree(self.work, ignore_errors=True)
        self.work.mkdir(parents=True)
        self.calls_log = self.work / "calls.log"
        self.started = []
        self.probes = 0
        self.began = time.monotonic()
        self.program_exe = program or self.bin / "orbelinchk.exe"

    # The program and the probe.
    def start_program(self, results=None, exe=None, extra_env=None):
        program = Background(self, exe or self.program_exe, results=results, extra_env=extra_env)
        facts = self.facts()
        check(facts.get("window_count") == "1", f"the window did not appear: {facts}")
        return program, facts

    def trace(self, started, what):
        """Keeps a timed record of the case's steps beside its files, for looking into a failure."""
        with open(self.work / "trace.txt", "a") as trace:
            trace.write(f"{time.monotonic() - self.began:7.2f} s  {time.monotonic() - started:5.2f} s  {what}\n")

    def probe(self, mode, *args, exe=None, extra_env=None):
        self.probes += 1
        out = self.work / f"probe-{self.probes}.txt"
        started = time.monotonic()
        env = self.session.env
        env.update(extra_env or {})
        run([WINE_RUN, self.session.state, exe or self.bin / "probe.exe", windows_path(out), mode, *args],
            env=env, timeout=60)
        self.trace(started, f"probe {mode} -> {out.name}")
        return read_facts(out)

    def facts(self):
        return self.probe("facts")

    def pane_text(self):
        return unescape(self.facts()["pane_text"])

    def wait_for_pane(self, codes, timeout=15.0):
        """Waits for as many whole reports as codes, then compares the whole text."""
        want = report_text(codes)

        def complete(text):
            reports = text.count(CONNECTED) + text.count(FAILED)
            return len(text) >= len(want) or (reports >= len(codes) and text.endswith("\r\n")
                                              and not text.endswith(FAILED))
        got = poll("the reports in the pane", self.pane_text, complete, timeout)
        check_equal(got, want, "pane text")
        return got

    def runs(self):
        facts = self.probe("runs")
        check("error" not in facts, f"probe: {facts.get('error')}")
        return [(unescape(facts[f"run{i}.text"]), facts[f"run{i}.style"], facts[f"run{i}.colour"])
                for i in range(int(facts["runs"]))]

    def calls(self):
        return parse_calls(self.calls_log)

    def establishes(self):
        return [c for c in self.calls() if c["kind"] == "establish"]

    # Input from outside, through the X server.
    def xdotool(self, *args):
        started = time.monotonic()
        run(["xdotool", *map(str, args)], env=self.session.env)
        self.trace(started, "xdotool " + " ".join(map(str, args)))

    def screen(self, facts, x, y):
        return on_screen(facts, x, y)

    def click(self, facts, x, y, button=1):
        self.xdotool("mousemove", *self.screen(facts, x, y), "click", button)

    def click_check(self, facts, count_before, scale=1.0):
        left, top, width, height = (round(v * scale) for v in CHECK_BUTTON)
        self.click(facts, left + width // 2, top + height // 2)
        poll("the click's establish call", lambda: len(self.establishes()), lambda n: n == count_before + 1)

    def keys(self, *keys):
        self.xdotool("key", "--delay", 30, *keys)

    def screenshot(self, name):
        path = self.work / f"{name}.png"
        run(["import", "-window", "root", path], env=self.session.env)
        return Image.open(path).convert("RGB")

    def stop_all(self):
        for program in self.started:
            program.stop()


CASES = {}


def case(name):
    def register(function):
        CASES[name] = function
        return function
    return register


def truncated_half(value):
    return int(value / 2)  # as C++ divides: toward zero


@case("startup")
def startup(ctx):
    """Opens centred (frame included) with a fixed frame, an empty focused pane and no service call."""
    _, f = ctx.start_program()
    check_equal(f["caption"], CAPTION, "caption")
    style = int(f["style"], 16)
    for bit, name in ((WS_CAPTION, "WS_CAPTION"), (WS_SYSMENU, "WS_SYSMENU"), (WS_MINIMIZEBOX, "WS_MINIMIZEBOX")):
        check(style & bit, f"style {style:#x} lacks {name}")
    for bit, name in ((WS_MAXIMIZEBOX, "WS_MAXIMIZEBOX"), (WS_THICKFRAME, "WS_THICKFRAME")):
        check(not style & bit, f"style {style:#x} has {name}")
    check_equal(numbers(f["client_size"]), CLIENT, "client size")

    area = numbers(f["work_area"])
    left, top, right, bottom = numbers(f["window_rect"])
    width, height = right - left, bottom - top
    check(width > CLIENT[0] and height > CLIENT[1], f"the frame {f['window_rect']} should surround the client")
    expected = (max(0, area[0] + truncated_half(area[2] - area[0] - width)),
                max(0, area[1] + truncated_half(area[3] - area[1] - height)))
    check_equal((left, top), expected, f"top-left of the frame in the work area {f['work_area']}")

    for key, want in (("visible", "1"), ("zoomed", "0"), ("iconic", "0"), ("foreground", "1"), ("active", "1"),
                      ("focus_is_pane", "1"), ("pane_text", ""), ("popup_menus", "0"), ("children", "3")):
        check_equal(f[key], want, key)
    children = [f[f"child{i}"].split(",") for i in range(3)]
    check_equal([c[0] for c in children], ["SysLink", "SysLink", "RichEdit20W"], "child classes in z-order")
    check_equal([tuple(map(int, c[1:3])) for c in children[:2]], [LINKS["lbl_link2"][1], LINKS["lbl_link3"][1]],
                "links' top-left corners")
    check_equal(tuple(map(int, children[2][1:])), PANE, "pane bounds")
    check_equal(ctx.calls(), [], "calls to the resource manager at start-up")


@case("system_menu")
def system_menu(ctx):
    """Alt+Space opens the system menu; its Maximize and Size do nothing, Move and Minimize work."""
    _, f = ctx.start_program(results="0")
    ctx.xdotool("mousemove", *ctx.screen(f, 100, 250))

    def choose(key):
        ctx.keys("alt+space")
        poll("the system menu", ctx.facts, lambda facts: facts["popup_menus"] == "1")
        ctx.keys(key)

    # A greyed item leaves the menu open or closes it; either way the arrow keys and Enter that follow
    # would resize the window if the item had started a sizing loop.
    clicks = 0
    for key, what in (("x", "Maximize"), ("s", "Size")):
        choose(key)
        if ctx.facts()["popup_menus"] != "0":
            ctx.keys("Escape")
        ctx.keys("Right", "Right", "Down", "Down", "Return")
        ctx.click_check(ctx.facts(), clicks)  # every key above has been handled once this check has run
        clicks += 1
        now = ctx.facts()
        check_equal(now["zoomed"], "0", f"zoomed after {what}")
        check_equal(now["window_rect"], f["window_rect"], f"window after {what} and arrow keys")

    # The same keys do move the window after Move: the sequence above would have shown a change.
    choose("m")
    ctx.keys("Right", "Right", "Down", "Down", "Return")
    moved = poll("the window to move", ctx.facts, lambda facts: facts["window_rect"] != f["window_rect"])
    check(numbers(moved["window_rect"])[0] > numbers(f["window_rect"])[0], "Move and Right moved it right")
    choose("n")
    poll("the window to be minimised", ctx.facts, lambda facts: facts["iconic"] == "1")


SEQUENCE = [0x0, 0x8010001D, 0x6D, 0x5, 0x80100035, 0x80000000, 0x8007006D, 0x8010002F, 0x0]


@case("reports")
def reports(ctx):
    """Each click runs one check whose report is appended, oldest first, with its styles and colours."""
    _, f = ctx.start_program(results=",".join(f"{c:X}" for c in SEQUENCE))
    for i in range(len(SEQUENCE)):
        ctx.click_check(f, i)
    ctx.wait_for_pane(SEQUENCE)
    check_equal(ctx.runs(), merged([run for code in SEQUENCE for run in report_runs(code)]), "pane runs")

    calls = ctx.calls()
    establishes = [c for c in calls if c["kind"] == "establish"]
    check_equal(len(establishes), len(SEQUENCE), "establish calls")
    for call, code in zip(establishes, SEQUENCE):
        check_equal((call["scope"], call["reserved1"], call["reserved2"], call["context_in"]), ("0", "0", "0", "0"),
                    "scope, reserved pointers and incoming context")
        check_equal(int(call["result"], 16), code, "answer order")
    # One release for each success, right after it, of the handle that success gave.
    expected = []
    for call in establishes:
        expected.append(("establish", call["context"]))
        if int(call["result"], 16) == 0:
            expected.append(("release", call["context"]))
    check_equal([(c["kind"], c["context"]) for c in calls], expected, "calls in order")
    check_equal(ctx.facts()["focus_is_pane"], "1", "focus after the clicks")


@case("click_rule")
def click_rule(ctx):
    """A press dragged off the button does nothing; each press of a real double-click is a click."""
    _, f = ctx.start_program(results="8010001D")
    x, y = CHECK_BUTTON[0] + CHECK_BUTTON[2] // 2, CHECK_BUTTON[1] + CHECK_BUTTON[3] // 2
    ctx.xdotool("mousemove", *ctx.screen(f, x, y), "mousedown", 1, "mousemove", *ctx.screen(f, x, y + 60),
                "mouseup", 1)
    ctx.xdotool("mousemove", *ctx.screen(f, x - 150, y), "mousedown", 1, "mousemove", *ctx.screen(f, x, y),
                "mouseup", 1)
    ctx.click_check(f, 0)  # handled after the two gestures above, so their effect is known now
    check_equal(len(ctx.establishes()), 1, "checks after two drags and one click")
    ctx.wait_for_pane([0x8010001D])

    ctx.xdotool("mousemove", *ctx.screen(f, x, y), "click", "--repeat", 2, "--delay", 50, 1)
    poll("the double-click's two checks", lambda: len(ctx.establishes()), lambda n: n == 3)
    ctx.wait_for_pane([0x8010001D] * 3)
    check_equal(ctx.facts()["capture"], "0", "mouse capture after the clicks")


@case("pane_input")
def pane_input(ctx):
    """The pane refuses typing, deleting and pasting, has no context menu and keeps the focus on Tab."""
    _, f = ctx.start_program(results="5")
    ctx.click_check(f, 0)
    before = ctx.wait_for_pane([5])
    pasted = "collé ici"
    check_equal(unescape(ctx.probe("clipboard", pasted)["clipboard"]), pasted, "clipboard before pasting")

    ctx.click(f, PANE[0] + 200, PANE[1] + 100)
    ctx.keys("ctrl+a")
    # The keys reach the pane: it selects everything, which typing would then replace.
    poll("Ctrl+A to select the whole text", ctx.facts,
         lambda facts: numbers(facts["pane_selection"])[0] == 0 and numbers(facts["pane_selection"])[1] >= 40)
    ctx.xdotool("type", "--delay", 30, "abc")
    ctx.keys("Delete", "BackSpace", "ctrl+v", "shift+Insert", "ctrl+x", "ctrl+z", "Return", "Tab", "Tab",
             "shift+Tab")
    ctx.click(f, PANE[0] + 200, PANE[1] + 100, button=3)
    ctx.click_check(f, 1)  # after everything above
    after = ctx.facts()
    check_equal(after["popup_menus"], "0", "menus shown after the right-click")
    check_equal(after["focus_is_pane"], "1", "focus after Tab and Shift+Tab")
    check_equal(ctx.wait_for_pane([5, 5]), before + report_text([5]), "pane text after the edits")
    check_equal(unescape(ctx.probe("clipboard")["clipboard"]), pasted, "clipboard after Ctrl+X")


@case("links")
def links(ctx):
    """A click on a link, anywhere in its label, hands its address to the shell; keys never do."""
    _, f = ctx.start_program(results="0")
    labels = link_labels(f)
    ctx.session.opened.unlink(missing_ok=True)

    clicks = 0
    expected = []

    def keys_open_nothing(where):
        nonlocal clicks
        ctx.xdotool("mousemove", *ctx.screen(f, 300, 250))
        ctx.keys("Return", "space", "Tab", "Return", "space", "Tab", "KP_Enter")
        ctx.click_check(f, clicks)
        clicks += 1
        check_equal(settled_addresses(ctx, len(expected)), expected, f"addresses opened by Enter or Space {where}")
        check_equal(ctx.facts()["focus_is_pane"], "1", f"focus {where}")

    keys_open_nothing("at start-up")
    # The label adds a margin of four borders around its text, right and below: those pixels are the
    # label's as much as the text is.
    spots = {"centre": lambda w, h: (w // 2, h // 2), "corner": lambda w, h: (1, 1),
             "bottom margin": lambda w, h: (w // 2, h - 2), "right margin": lambda w, h: (w - 2, h // 2)}
    for name in ("lbl_link2", "lbl_link3"):
        left, top, width, height = labels[name]
        for where, spot in spots.items():
            dx, dy = spot(width, height)
            ctx.click(f, left + dx, top + dy)
            expected.append(LINKS[name][0])
            check_equal(settled_addresses(ctx, len(expected)), expected,
                        f"address opened by a click on {name} ({where})")
        keys_open_nothing(f"after the clicks on {name}")


WINE_BROWSER = r"HKCU\Software\Wine\WineBrowser"


@case("failing_browser")
def failing_browser(ctx):
    """A browser that fails to open a link leaves the program as it was: answering, pane untouched, no dialog."""
    opened = ctx.work / "opened.txt"
    browser = ctx.work / "failing-browser.sh"
    browser.write_text("#!/bin/sh\n# A browser that cannot open anything: records what it is given, then fails.\n"
                       f'printf "%s\\n" "$@" >>"{opened}"\nexit 1\n')
    browser.chmod(0o755)
    ctx.session.reg_add(WINE_BROWSER, "Browsers", "REG_SZ", str(browser))
    try:
        click_links_with_failing_browser(ctx, opened)
    finally:
        ctx.session.prepare()  # the recording browser the other cases expect


def click_links_with_failing_browser(ctx, opened):
    _, f = ctx.start_program(results="0")
    labels = link_labels(f)
    codes = [0]
    ctx.click_check(f, 0)
    ctx.wait_for_pane(codes)

    def settled():
        """The addresses the browser was given and the facts, once no winebrowser is left running."""
        facts = ctx.facts()
        if "winebrowser.exe" in facts["processes"].split(","):
            return None
        return (opened.read_text().splitlines() if opened.exists() else []), facts

    expected = []
    for name in ("lbl_link2", "lbl_link3"):
        left, top, width, height = labels[name]
        check_equal(ctx.pane_text(), report_text(codes), f"pane text before the click on {name}")
        ctx.click(f, left + width // 2, top + height // 2)
        # A check clicked right after is handled only once the link's click has returned.
        ctx.click(f, CHECK_BUTTON[0] + CHECK_BUTTON[2] // 2, CHECK_BUTTON[1] + CHECK_BUTTON[3] // 2)
        poll(f"a check clicked after {name}", lambda: len(ctx.establishes()), lambda n: n == len(codes) + 1,
             timeout=10)
        codes.append(0)
        expected.append(LINKS[name][0])
        got, facts = poll(f"the failing browser run for {name}", settled,
                          lambda value: value is not None and len(value[0]) >= len(expected))
        check_equal(got, expected, f"addresses handed to the browser by the click on {name}")
        check_equal(unescape(facts["pane_text"]), report_text(codes), f"pane text after the click on {name}")
        check_equal(facts["own_visible_windows"], "1", f"the program's visible windows after {name}'s failure")
        check_equal(facts["visible_dialogs"], "0", f"dialogs shown after {name}'s failure")

    ctx.click_check(f, len(codes))  # still answering after both failures
    codes.append(0)
    ctx.wait_for_pane(codes)


QUIT_WAYS = {
    "the Quitter button": lambda ctx, f: ctx.click(f, QUIT_BUTTON[0] + QUIT_BUTTON[2] // 2,
                                                   QUIT_BUTTON[1] + QUIT_BUTTON[3] // 2),
    "the close box": lambda ctx, f: ctx.xdotool("mousemove", *numbers(f["close_box"]), "click", 1),
    "Alt+F4": lambda ctx, f: (ctx.xdotool("mousemove", *ctx.screen(f, 300, 250)), ctx.keys("alt+F4")),
}


@case("check_then_quit")
def check_then_quit(ctx):
    """One check, then Quitter: the report is in the pane and the process ends with exit code 0."""
    program, f = ctx.start_program(results="0")
    ctx.click_check(f, 0)
    ctx.wait_for_pane([0])
    QUIT_WAYS["the Quitter button"](ctx, f)
    check_equal(program.wait(20), 0, "exit code after one check and Quitter")


@case("quitting")
def quitting(ctx):
    """The Quitter button, the close box and Alt+F4 each end the process with exit code 0."""
    for way, act in QUIT_WAYS.items():
        program, _ = ctx.start_program()
        # A program slow to start may be asked before its caption is drawn: the close box comes with it.
        f = poll("the close box on the caption", ctx.facts, lambda facts: "close_box" in facts)
        act(ctx, f)
        check_equal(program.wait(20), 0, f"exit code after {way}")


@case("show_commands")
def show_commands(ctx):
    """Started with show command 3 it opens maximised; with 7, minimised and without taking the activation."""
    # Wine leaves maximising a managed window to the X window manager, and this display has none:
    # for this program only, Wine places its windows itself, as Windows would.
    ctx.session.reg_add(APP_DEFAULTS + r"\X11 Driver", "Managed", "REG_SZ", "N")
    try:
        launch_with_show_commands(ctx)
    finally:
        ctx.session.reg_delete(APP_DEFAULTS)


APP_DEFAULTS = r"HKCU\Software\Wine\AppDefaults\orbelinchk.exe"


def launch_with_show_commands(ctx):
    for show in (3, 7):
        out = ctx.work / f"launch-{show}.txt"
        exit_file = Path(f"{out}.exit")
        launcher = Background(ctx, ctx.bin / "probe.exe", windows_path(out), "launch", show,
                              windows_path(ctx.program_exe))
        f = poll(f"the facts of the program started with {show}", lambda: out.exists() and read_facts(out),
                 lambda facts: facts, timeout=40)
        check_equal(f.get("window_count"), "1", f"windows of the started program ({f.get('error', '')})")
        if show == 3:
            for key, want in (("zoomed", "1"), ("iconic", "0"), ("visible", "1"), ("active", "1")):
                check_equal(f[key], want, f"{key} with show command 3")
            frame, area = numbers(f["window_rect"]), numbers(f["work_area"])
            check(frame[0] <= area[0] and frame[1] <= area[1] and frame[2] >= area[2] and frame[3] >= area[3],
                  f"the maximised frame {frame} should cover the work area {area}")
            QUIT_WAYS["the Quitter button"](ctx, f)
        else:
            check_equal(f["probe_was_foreground"], "1", "the probe's window was the foreground one")
            for key, want in (("iconic", "1"), ("zoomed", "0"), ("active", "0"), ("foreground", "0"),
                              ("probe_is_foreground", "1")):
                check_equal(f[key], want, f"{key} with show command 7")
            ctx.probe("close")
        ending = poll("the program's end", lambda: exit_file.exists() and read_facts(exit_file),
                      lambda facts: facts, timeout=30)
        check_equal(ending["exitcode"], "0", f"exit code of the program started with {show}")
        check_equal(launcher.wait(30), 0, "probe's own exit code")


@case("pixels")
def pixels(ctx):
    """The frame's etched lines in the system colours, the reports' colours, the glyphs' transparency."""
    _, f = ctx.start_program(results="0,8010001D")
    ctx.click_check(f, 0)
    ctx.click_check(f, 1)
    ctx.wait_for_pane([0, 0x8010001D])
    ctx.xdotool("mousemove", *ctx.screen(f, 100, 110))  # off the buttons, so that neither looks hot
    image = poll("the buttons' plain look", lambda: ctx.screenshot("window"),
                 lambda img: pixel(img, f, CHECK_BUTTON[0] + 1, CHECK_BUTTON[1] + 1) == "ffffff")
    shadow, light = f["sys_btnshadow"], f["sys_btnhighlight"]

    # The outlines' corners overlap each other: only the stretches between them are checked.
    lines = [("left shadow", shadow, [(8, y) for y in range(90, 380)]),
             ("right shadow", shadow, [(586, y) for y in range(90, 380)]),
             ("top shadow", shadow, [(x, 86) for x in range(12, 583)]),
             ("bottom shadow", shadow, [(x, 383) for x in range(12, 583)]),
             ("left highlight", light, [(9, y) for y in range(90, 380)]),
             ("right highlight", light, [(587, y) for y in range(90, 380)]),
             ("top highlight", light, [(x, 87) for x in range(12, 583)]),
             ("bottom highlight", light, [(x, 384) for x in range(12, 583)])]
    for name, colour, points in lines:
        wrong = [(x, y, pixel(image, f, x, y)) for x, y in points if pixel(image, f, x, y) != colour]
        check(not wrong, f"{name} line should be {colour}; {len(wrong)} pixels differ, e.g. {wrong[:3]}")

    # Green text on the first line of the pane, red text below it, neither anywhere else in the window.
    rows = {GREEN: set(), RED: set()}
    for y in range(CLIENT[1]):
        for x in range(CLIENT[0]):
            colour = pixel(image, f, x, y)
            if colour in rows:
                check(PANE[0] <= x < PANE[0] + PANE[2] and PANE[1] <= y < PANE[1] + PANE[3],
                      f"{colour} pixel outside the pane at {(x, y)}")
                rows[colour].add(y)
    check(rows[GREEN] and rows[RED], f"green rows {sorted(rows[GREEN])}, red rows {sorted(rows[RED])}")
    check(min(rows[GREEN]) < PANE[1] + 20, f"the success report should open the pane: rows {sorted(rows[GREEN])}")
    check(max(rows[GREEN]) < min(rows[RED]), "the failure report should come below the success report")

    # The glyphs are drawn, with only their exact transparent colour left out.
    for name, (left, top, width, height) in (("check", CHECK_BUTTON), ("quit", QUIT_BUTTON)):
        area = [pixel(image, f, x, y) for y in range(top, top + height) for x in range(left, left + width)]
        check_equal(area.count("fffeff"), 0, f"transparent-colour pixels in the {name} button")
        coloured = sum(1 for c in area if len({c[0:2], c[2:4], c[4:6]}) > 1)
        check(coloured > 40, f"the {name} button's glyph should be drawn in colour ({coloured} pixels)")


@case("builtin_winscard")
def builtin_winscard(ctx):
    """With Wine's own winscard.dll instead of the stand-in, 0x80100001 answers, which the report spells out."""
    _, f = ctx.start_program(extra_env={"WINEDLLOVERRIDES": "winscard=b"})
    ctx.click(f, CHECK_BUTTON[0] + CHECK_BUTTON[2] // 2, CHECK_BUTTON[1] + CHECK_BUTTON[3] // 2)
    ctx.wait_for_pane([0x80100001])
    check(" Une case activée de cohérence interne a échoué\r\n" in ctx.pane_text(), "the sentence for 0x80100001")
    check_equal(ctx.calls(), [], "calls seen by a stand-in that is not there")


@case("stand_in_from_system_directory")
def stand_in_from_system_directory(ctx):
    """The stand-in answers from the prefix's system directory, with no winscard.dll beside the program."""
    beside = sorted(path.name for path in ctx.bin.iterdir() if path.name.lower() == "winscard.dll")
    check_equal(beside, [], "winscard.dll files beside the programs")
    installed = [path for path in ctx.session.system_dlls if path.name.lower() == "winscard.dll"]
    check_equal([path.parent.name for path in installed], ["system32"], "system folders holding the stand-in")
    check(installed[0].read_bytes() == ctx.session.stand_in.read_bytes(), f"{installed[0]} is not the stand-in")
    _, f = ctx.start_program(results="8010001D")
    ctx.click_check(f, 0)
    ctx.wait_for_pane([0x8010001D])
    check_equal([call["kind"] for call in ctx.calls()], ["establish"], "calls the stand-in saw")


PLANTED_DLLS = ("riched20.dll", "uxtheme.dll", "comctl32.dll", "msimg32.dll")


def plant(ctx, folder, program):
    """A folder as a download leaves it: the program, and system DLLs' names on marker DLLs beside it.
    Returns what a program started from there needs to be told, and the folder its markers go to."""
    markers = folder / "markers"
    markers.mkdir(parents=True)
    shutil.copy(program, folder / Path(program).name)
    for name in PLANTED_DLLS:
        shutil.copy(ctx.bin / "marker.dll", folder / name)
    # Wine prefers its own builtin DLLs to files of the same name; Windows would take these files.
    overrides = ",".join(Path(name).stem for name in PLANTED_DLLS) + "=n,b"
    return {"MARKER_DIR": windows_path(markers), "WINEDLLOVERRIDES": overrides}, markers


def markers_in(folder):
    return sorted(path.name.lower() for path in folder.iterdir())


@case("planted_dlls")
def planted_dlls(ctx):
    """DLLs planted beside the program under system DLLs' names are never loaded, and it still works."""
    # The planted copies do load where a program simply asks for these names: the markers and the
    # overrides work, so their absence below means something.
    control_env, control_markers = plant(ctx, ctx.work / "control", ctx.bin / "probe.exe")
    loaded = ctx.probe("load", *PLANTED_DLLS, exe=ctx.work / "control" / "probe.exe", extra_env=control_env)
    check_equal(markers_in(control_markers), sorted(PLANTED_DLLS), f"markers left by a plain load ({loaded})")

    env, markers = plant(ctx, ctx.work / "downloads", ctx.program_exe)
    _, f = ctx.start_program(results="0,8010001D", exe=ctx.work / "downloads" / "orbelinchk.exe", extra_env=env)
    ctx.click_check(f, 0)
    ctx.click_check(f, 1)
    ctx.wait_for_pane([0, 0x8010001D])
    check_equal(ctx.runs(), merged(report_runs(0) + report_runs(0x8010001D)), "pane runs")
    check_equal(markers_in(markers), [], "DLLs loaded from the program's folder")


ROLE_CLIENT, ROLE_LINK, ROLE_STATICTEXT, ROLE_PUSHBUTTON = 0x0A, 0x1E, 0x29, 0x2B
STATE_PRESSED, STATE_READONLY, STATE_HOTTRACKED, STATE_LINKED, STATE_FOCUSABLE = 0x8, 0x40, 0x80, 0x400000, 0x100000
NO_SUCH_MEMBER = "<0x80020003>"  # DISP_E_MEMBERNOTFOUND
PRESS, FOLLOW = "Appuyer", "Suivre le lien"  # the default actions' names


def scaled(rect, dpi):
    """A rectangle at 96 dpi laid out for `dpi`: scaled edges, rounded half up as the program does."""
    left, top, width, height = rect
    edge = lambda v: (v * dpi + 48) // 96
    return edge(left), edge(top), edge(left + width) - edge(left), edge(top + height) - edge(top)


def expected_tree(f, dpi):
    """(element, name, role, location, default action) of each accessible child in reading order; None: not
    checked."""
    labels = link_labels(f)
    link2, link3 = labels["lbl_link2"], labels["lbl_link3"]
    return [("child:1", 'Contrôle du service "Carte à puce"', ROLE_STATICTEXT, scaled((72, 14, 457, 29), dpi),
             NO_SUCH_MEMBER),
            ("child:2", "Cette application est compatible avec le logiciel Orbelin uniquement", ROLE_STATICTEXT,
             scaled((8, 51, 580, 29), dpi), NO_SUCH_MEMBER),
            ("child:3", "Lancer le contrôle", ROLE_PUSHBUTTON, scaled(CHECK_BUTTON, dpi), PRESS),
            ("window:RichEdit20W", None, None, scaled(PANE, dpi), None),
            ("child:5", "Logiciel lecture Vitale", ROLE_LINK, link3, FOLLOW),
            ("child:6", "Quitter", ROLE_PUSHBUTTON, scaled(QUIT_BUTTON, dpi), PRESS),
            ("child:7", "Support à Distance", ROLE_LINK, link2, FOLLOW)]


def check_accessible_tree(ctx, f, dpi):
    """Reads the tree as a screen reader does and compares it with the layout; returns what was read."""
    tree = expected_tree(f, dpi)
    # Probe points: each element's centre and its two far corners, and the framed space around the button.
    points, wanted = [], []
    for element, _, _, (left, top, width, height), _ in tree:
        for x, y in ((left + width // 2, top + height // 2), (left, top), (left + width - 1, top + height - 1)):
            points.append(f"{x},{y}")
            wanted.append(element)
    left, top, width, height = scaled(CHECK_BUTTON, dpi)
    for x, y in ((left + width, top + height // 2), (left - 1, top), scaled((20, 100, 1, 1), dpi)[:2]):
        points.append(f"{x},{y}")
        wanted.append("self")
    ax = ctx.probe("accessible", *points)
    check_equal(ax["ax_result"], "0x0", "AccessibleObjectFromWindow")
    check_equal((ax["ax_self.name"], int(ax["ax_self.role"], 16)), (CAPTION, ROLE_CLIENT), "the client itself")
    check_equal(ax["ax_children"], str(len(tree)), "children listed by AccessibleChildren")
    for i, (element, name, role, location, action) in enumerate(tree):
        key = f"ax{i}"
        check_equal(ax[key], element, f"element {i + 1} in reading order")
        check_equal(numbers(ax[f"{key}.location"]), location, f"{element}'s location at {dpi} dpi")
        if name is not None:
            check_equal(unescape(ax[f"{key}.name"]), name, f"{element}'s name")
            check_equal(int(ax[f"{key}.role"], 16), role, f"{element}'s role")
            check_equal((unescape(ax[f"{key}.default_action"]), ax[f"{key}.shortcut"]), (action, NO_SUCH_MEMBER),
                        f"{element}'s default action and shortcut")
    hits = [ax[f"point{i}.hit"] for i in range(len(points))]
    check_equal(hits, wanted, f"accHitTest at {points}")
    # From every point of an element (its centre and far corners), as a screen reader's mouse tracking asks:
    # the window under the point first (a link's own, for a link), then hit-testing down to the element.
    names = {element: name for element, name, _, _, _ in tree}
    for point, element in zip(points, wanted):
        found = unescape(ax[f"point{points.index(point)}.from_point"])
        if element.startswith("child:"):
            check_equal(found, f"Tfiche_ppal:{element.removeprefix('child:')}:{names[element]}",
                        f"AccessibleObjectFromPoint at {point}")
        elif element.startswith("window:"):
            check(found.startswith(element.removeprefix("window:") + ":0:"),
                  f"AccessibleObjectFromPoint at {point}: {found}")
        else:
            check_equal(found, f"Tfiche_ppal:0:{CAPTION}", f"AccessibleObjectFromPoint at {point}")
    return ax


def button_states(ctx):
    ax = ctx.probe("accessible")
    return tuple(int(ax[key], 16) & (STATE_PRESSED | STATE_HOTTRACKED | STATE_FOCUSABLE)
                 for key in ("ax2.state", "ax5.state"))


def link_states(ax):
    return [int(ax[f"ax{i}.state"], 16) & (STATE_LINKED | STATE_FOCUSABLE) for i in (4, 6)]


@case("accessibility")
def accessibility(ctx):
    """A screen reader in another process finds every element in reading order where it is drawn, sees the
    buttons' states follow the real pointer, and runs nothing by reading; oleacc loads only when asked."""
    _, f = ctx.start_program(results="0")
    check("oleacc.dll" not in ctx.probe("modules")["modules"].split(","), "oleacc.dll loaded before any client asked")
    ax = check_accessible_tree(ctx, f, 96)
    check("oleacc.dll" in ctx.probe("modules")["modules"].split(","), "oleacc.dll once a client asked")
    check_equal([int(ax[f"ax{i}.state"], 16) & STATE_READONLY for i in (0, 1)], [STATE_READONLY] * 2,
                "headings' states")
    check_equal(link_states(ax), [STATE_LINKED] * 2, "links' states: linked, not focusable")

    ctx.xdotool("mousemove", *ctx.screen(f, 300, 110))  # where an earlier case may have left it
    poll("both buttons cool with the pointer away", lambda: button_states(ctx), lambda s: s == (0, 0))
    left, top, width, height = CHECK_BUTTON
    for where in ((left, top), (left + width - 1, top + height - 1)):  # both far corners of the button
        ctx.xdotool("mousemove", *ctx.screen(f, *where))
        poll(f"the check button hot at {where}", lambda: button_states(ctx), lambda s: s == (STATE_HOTTRACKED, 0))
    ctx.xdotool("mousedown", 1)
    poll("the check button pressed", lambda: button_states(ctx),
         lambda s: s == (STATE_HOTTRACKED | STATE_PRESSED, 0))
    ctx.xdotool("mousemove", *ctx.screen(f, 300, 110))
    poll("the check button let go while held off it", lambda: button_states(ctx), lambda s: s == (0, 0))
    ctx.xdotool("mouseup", 1, "mousemove", *ctx.screen(f, QUIT_BUTTON[0] + 2, QUIT_BUTTON[1] + 2))
    poll("the quit button hot", lambda: button_states(ctx), lambda s: s == (0, STATE_HOTTRACKED))

    ctx.xdotool("mousemove", *ctx.screen(f, 300, 110))
    facts = ctx.facts()
    check_equal((facts["pane_text"], facts["focus_is_pane"], facts["popup_menus"]), ("", "1", "0"),
                "pane, focus and menus after reading the tree")
    check_equal(ctx.calls(), [], "calls to the resource manager made by reading the tree")
    ctx.click_check(f, 0)  # and the button still works for a real click
    ctx.wait_for_pane([0])


def opened_addresses(ctx):
    """The addresses the recording browser was given, once no winebrowser is left running; None until then."""
    if "winebrowser.exe" in ctx.facts()["processes"].split(","):
        return None
    return ctx.session.opened.read_text().splitlines() if ctx.session.opened.exists() else []


def settled_addresses(ctx, count):
    """The addresses opened, once at least `count` are in and no winebrowser is left running."""
    return poll(f"{count} opened address(es)", lambda: opened_addresses(ctx),
                lambda got: got is not None and len(got) >= count)


def act(ctx, how, which):
    """Runs a default action from another process, as a screen reader's activate command does."""
    done = ctx.probe("act", how, which)
    check_equal(done.get("done"), "0x0", f"accDoDefaultAction on {how} {which} ({done})")
    return done


@case("default_actions")
def default_actions(ctx):
    """From another process, each button's and link's default action, found in the tree or at any point of the
    control, does once what a click does: one check, one address opened, or the end with exit code 0; no key
    does any of it, the focus stays in the pane, and a real click on a link still opens it once."""
    _, f = ctx.start_program(results="8010001D,0")
    ctx.session.opened.unlink(missing_ok=True)
    labels = link_labels(f)
    product, support = LINKS["lbl_link3"][0], LINKS["lbl_link2"][0]

    # The check button: from the tree, then from its far corners, one check each.
    codes = [0x8010001D, 0, 0]
    left, top, width, height = CHECK_BUTTON
    for i, (how, which) in enumerate((("tree", "3"), ("point", f"{left},{top}"),
                                      ("point", f"{left + width - 1},{top + height - 1}"))):
        done = act(ctx, how, which)
        check_equal((done["element"], unescape(done["name"]), unescape(done["action"])),
                    ("Tfiche_ppal:3", "Lancer le contrôle", PRESS), f"the check button from {how} {which}")
        poll(f"check {i + 1}", lambda: len(ctx.establishes()), lambda n: n == i + 1)
    ctx.wait_for_pane(codes)

    # Each link: from the tree, then from its label's corner and its bottom-right margin.
    expected = []
    for name, child, text, url in (("lbl_link3", "5", "Logiciel lecture Vitale", product),
                                   ("lbl_link2", "7", "Support à Distance", support)):
        left, top, width, height = labels[name]
        for how, which in (("tree", child), ("point", f"{left + 1},{top + 1}"),
                           ("point", f"{left + width - 2},{top + height - 2}")):
            done = act(ctx, how, which)
            check_equal((done["element"], unescape(done["name"]), unescape(done["action"])),
                        (f"Tfiche_ppal:{child}", text, FOLLOW), f"{name} from {how} {which}")
            expected.append(url)
            check_equal(settled_addresses(ctx, len(expected)), expected,
                        f"addresses opened after {name}'s action from {how} {which}")

    # Keys do none of it; the focus never left the pane.
    ctx.xdotool("mousemove", *ctx.screen(f, 300, 250))
    ctx.keys("Return", "space", "KP_Enter", "Tab", "Return", "space", "shift+Tab", "Return", "alt+Return")
    ctx.click_check(f, len(codes))  # handled after every key above
    codes.append(0)
    ctx.wait_for_pane(codes)
    check_equal(opened_addresses(ctx), expected, "addresses opened after the keys")
    check_equal(ctx.facts()["focus_is_pane"], "1", "focus after the actions and the keys")
    ctx.screenshot("after_actions")  # the reports as the actions left them, for looking at
    left, top, width, height = labels["lbl_link2"]
    ctx.click(f, left + width // 2, top + height // 2)
    expected.append(support)
    check_equal(settled_addresses(ctx, len(expected)), expected, "addresses after a real click on lbl_link2")
    check_equal(len(ctx.establishes()), len(codes), "checks run in all")

    # Quitting, from the tree and from a point of the button: the process ends with exit code 0.
    left, top, width, height = QUIT_BUTTON
    for how, which in (("tree", "6"), ("point", f"{left + width - 1},{top}")):
        program, _ = ctx.start_program() if how == "point" else (ctx.started[0], f)
        done = act(ctx, how, which)
        check_equal((done["element"], unescape(done["action"])), ("Tfiche_ppal:6", PRESS), f"Quitter from {how}")
        check_equal(program.wait(20), 0, f"exit code after Quitter's action from {how}")


@case("announcements")
def announcements(ctx):
    """Each check raises one live-region event; a listener in another process, reading the source's name as the
    event arrives, hears the new report alone with its lines joined by single spaces."""
    codes = [0x8010001D, 0, 0x8010001D]
    _, f = ctx.start_program(results=",".join(f"{c:X}" for c in codes))
    out = ctx.work / "heard.txt"
    listener = Background(ctx, ctx.bin / "probe.exe", windows_path(out), "listen")
    ready = Path(f"{out}.ready")
    check_equal(poll("the listener's hook", lambda: ready.exists() and read_facts(ready), lambda facts: facts,
                     timeout=40).get("hooked"), "1", "out-of-context hook on the program")
    # The report as it should be said: its lines joined by single spaces (the detail line starts with one).
    said = [" ".join(part.strip() for part in report_text([code]).split("\r\n") if part.strip()) for code in codes]
    for i in range(len(codes)):
        ctx.click_check(f, i)
        # The next check waits until this event has been heard, so that each name is read before the next report.
        heard = poll(f"event {i + 1}", lambda: out.exists() and read_facts(out),
                     lambda facts: facts and int(facts["events"]) >= i + 1)
        check_equal(heard[f"event{i}"], "Tfiche_ppal:-4:8", f"event {i + 1}'s source (window, OBJID_CLIENT, child)")
        check_equal(unescape(heard[f"event{i}.name"]), said[i], f"name read at event {i + 1}")
    ctx.wait_for_pane(codes)  # every check has returned, so every event it raised is queued for the listener
    Path(f"{out}.stop").touch()
    check_equal(listener.wait(30), 0, "listener's exit code")
    check_equal(read_facts(out)["events"], str(len(codes)), "live-region events for three checks")


@case("soak")
def soak_case(ctx):
    """A few hundred random real-input events from a printed seed, checked every 50 events and at the end:
    the process lives, the pane holds the reports of the logged calls, each success is released, each link
    click opened its address once, no other window is open, the size holds, memory follows the pane's lines."""
    soak.run(ctx, sys.modules[__name__])


# Colour schemes. The system colours the cases set, by GetSysColor index, with their names under
# HKCU\Control Panel\Colors, where Wine reads them when a program starts.
SCHEME_COLOURS = {5: "Window", 8: "WindowText", 13: "Hilight", 14: "HilightText", 15: "ButtonFace",
                  16: "ButtonShadow", 17: "GrayText", 18: "ButtonText", 20: "ButtonHilight", 26: "HotTrackingColor"}
# Like High Contrast Black. Wine's link control draws links in the highlight colour, Windows' in the
# hot-tracking colour: both read on black.
DARK_SCHEME = {5: "000000", 8: "ffffff", 13: "1aebff", 14: "000000", 15: "000000", 16: "808080", 17: "3ff23f",
               18: "ffffff", 20: "ffffff", 26: "ffff00"}
# Windows keeps the scheme under the first; a Wine session keeps its working copy under the second,
# written when it starts, and a program starting reads that copy first.
COLORS_KEYS = (r"HKCU\Control Panel\Colors", r"HKCU\Software\Wine\Temporary System Parameters\Control Panel\Colors")
CHECK_CAPTION = (298, 146, 84, 26)  # the right half of the check button: its caption, not its glyph
QUIT_CAPTION = (300, 393, 42, 26)


def luminance(rgb):
    def channel(value):
        c = value / 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (int(rgb[i:i + 2], 16) for i in (0, 2, 4))
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b)


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)))
    return (lb + 0.05) / (la + 0.05)


def best_ink(image, f, box, background):
    """The contrast of the darkest or brightest ink in a box of the client area against the background."""
    left, top, width, height = box
    colours = {pixel(image, f, x, y) for y in range(top, top + height) for x in range(left, left + width)}
    return max(contrast(colour, background) for colour in colours)


def text_lines(image, f, box, background):
    """The rows of a box that hold anything but the background, grouped into lines of text (an underline may
    sit one row clear of its text)."""
    left, top, width, height = box
    rows = [y for y in range(top, top + height)
            if any(pixel(image, f, x, y) != background for x in range(left, left + width))]
    lines = []
    for y in rows:
        if lines and y <= lines[-1][1] + 2:
            lines[-1][1] = y
        else:
            lines.append([y, y])
    return [(left, first, width, last - first + 1) for first, last in lines]


def check_backgrounds(f, image, background, what):
    """The client area around the frame and the headings, and the pane, in the background colour."""
    for x, y in ((20, 100), (300, 5), (590, 420), (PANE[0] + 500, PANE[1] + PANE[3] - 10)):
        check_equal(pixel(image, f, x, y), background, f"background at {(x, y)} {what}")


def check_readable(ctx, f, image, background, report_lines, what):
    """Backgrounds in the scheme's window colour; every heading, caption, link and report line at 4.5:1."""
    check_backgrounds(f, image, background, what)
    boxes = {"heading": (72, 14, 457, 29), "subheading": (8, 51, 580, 29), "check caption": CHECK_CAPTION,
             "quit caption": QUIT_CAPTION, **link_labels(f)}
    lines = text_lines(image, f, (PANE[0] + 2, PANE[1], PANE[2] - 20, PANE[3] - 4), background)
    check_equal(len(lines), report_lines, f"report lines seen in the pane {what}: {lines}")
    boxes.update({f"report line {i + 1}": box for i, box in enumerate(lines)})
    for name, box in boxes.items():
        ratio = best_ink(image, f, box, background)
        check(ratio >= 4.5, f"{name} {what}: best contrast {ratio:.2f}:1 against {background}")


def check_default_look(f, image, report_lines):
    """The design's own colours: the white window and pane, black headings, green and red report lines."""
    check_backgrounds(f, image, "ffffff", "in the default scheme")
    for name, (left, top, width, height) in (("heading", (72, 14, 457, 29)), ("subheading", (8, 51, 580, 29))):
        inks = {pixel(image, f, x, y) for y in range(top, top + height) for x in range(left, left + width)}
        check(BLACK in inks, f"the {name} should be drawn in black")
    pane = (PANE[0] + 2, PANE[1], PANE[2] - 20, PANE[3] - 4)
    check_equal(len(text_lines(image, f, pane, "ffffff")), report_lines, "report lines seen in the pane")
    inks = {pixel(image, f, x, y) for y in range(PANE[1], PANE[1] + PANE[3]) for x in range(PANE[0], PANE[0] + PANE[2])}
    check(GREEN in inks and RED in inks, "green and red report lines in the pane")


def settled_screenshot(ctx, f, name, background):
    """A screenshot once the window shows the background asked for, with the pointer off the buttons."""
    ctx.xdotool("mousemove", *ctx.screen(f, 100, 110))
    return poll(f"the window in {background}", lambda: ctx.screenshot(name),
                lambda img: pixel(img, f, 20, 100) == background and pixel(img, f, *CHECK_CAPTION[:2]) == background)


def system_colours(ctx):
    facts = ctx.probe("syscolors")
    return {index: facts[f"sys{index}"] for index in SCHEME_COLOURS}


def set_scheme(ctx, colours, where="scheme"):
    """Sets system colours: on the program's thread ("scheme") or from the probe's own process ("syscolors")."""
    facts = ctx.probe(where, *(f"{index}={rgb}" for index, rgb in colours.items()))
    check_equal(facts.get("set"), "1", f"system colours set ({facts.get('error', '')})")


def rgb_triplet(rgb):
    return " ".join(str(int(rgb[i:i + 2], 16)) for i in (0, 2, 4))


def set_registry_scheme(ctx, colours):
    for key in COLORS_KEYS:
        for index, name in SCHEME_COLOURS.items():
            ctx.session.reg_add(key, name, "REG_SZ", rgb_triplet(colours[index]))


def in_contrast(runs, colour):
    return [(text, style, colour) for text, style, _ in merged([(t, s, colour) for t, s, _ in runs])]


@case("contrast_dark_start")
def contrast_dark_start(ctx):
    """Started in a dark scheme (the registry's colours): the window, the pane and every report run take the
    scheme's colours, and every heading, caption, link and report line reads at 4.5:1 or better."""
    original = system_colours(ctx)
    try:
        set_registry_scheme(ctx, DARK_SCHEME)
        check_equal(system_colours(ctx), DARK_SCHEME, "colours a program started now is given")
        codes = [0, 0x8010001D]
        _, f = ctx.start_program(results="0,8010001D")
        for i in range(len(codes)):
            ctx.click_check(f, i)
        ctx.wait_for_pane(codes)
        check_equal(ctx.runs(), in_contrast(report_runs(0) + report_runs(0x8010001D), DARK_SCHEME[8]), "pane runs")
        image = settled_screenshot(ctx, f, "dark", DARK_SCHEME[5])
        check_readable(ctx, f, image, DARK_SCHEME[5], 3, "started in the dark scheme")
    finally:
        set_registry_scheme(ctx, original)
        set_scheme(ctx, original, "syscolors")


@case("contrast_switch")
def contrast_switch(ctx):
    """The scheme changed while the program runs, into a dark scheme and back: the window follows each time,
    earlier reports take the scheme's colour and then their own red, green and black again."""
    original = system_colours(ctx)
    check_equal((original[5], original[8]), ("ffffff", "000000"), "the session's default window colours")
    codes = [0, 0x8010001D]
    program, f = ctx.start_program(results="0,8010001D,5")
    try:
        for i in range(len(codes)):
            ctx.click_check(f, i)
        ctx.wait_for_pane(codes)
        default_runs = merged([run for code in codes for run in report_runs(code)])
        check_equal(ctx.runs(), default_runs, "pane runs in the default scheme")

        set_scheme(ctx, DARK_SCHEME)
        dark_runs = in_contrast(default_runs, DARK_SCHEME[8])
        poll("the earlier reports in the window-text colour", ctx.runs, lambda runs: runs == dark_runs)
        image = settled_screenshot(ctx, f, "dark", DARK_SCHEME[5])
        check_readable(ctx, f, image, DARK_SCHEME[5], 3, "after switching to the dark scheme")
        ctx.click_check(f, len(codes))  # a report written in the dark scheme
        codes.append(5)
        ctx.wait_for_pane(codes)
        dark_runs = in_contrast(default_runs + report_runs(5), DARK_SCHEME[8])
        check_equal(ctx.runs(), dark_runs, "pane runs after a check in the dark scheme")

        set_scheme(ctx, original)
        default_runs = merged([run for code in codes for run in report_runs(code)])
        poll("the reports' own colours again", ctx.runs, lambda runs: runs == default_runs)
        image = settled_screenshot(ctx, f, "back", "ffffff")
        check_default_look(f, image, 5)
        check_equal(ctx.facts()["focus_is_pane"], "1", "focus after the switches")
    finally:
        if program.running():
            set_scheme(ctx, original)
        set_scheme(ctx, original, "syscolors")


LONG_RUN = 400  # failure reports: about 48,000 characters, beyond the rich-edit control's default 32,767


@case("long_run")
def long_run(ctx):
    """The pane's text limit is raised before any report; 400 real clicks leave 400 complete reports."""
    code = 0x8010001D
    _, f = ctx.start_program(results=f"{code:X}")
    check_equal((f["pane_text"], f["pane_text_limit"]), ("", str(0x7FFFFFFE)), "pane and its text limit at start")
    x, y = CHECK_BUTTON[0] + CHECK_BUTTON[2] // 2, CHECK_BUTTON[1] + CHECK_BUTTON[3] // 2
    ctx.xdotool("mousemove", *ctx.screen(f, x, y))
    for batch in range(LONG_RUN // 100):
        ctx.xdotool("click", "--repeat", 100, "--delay", 40, 1)
        poll(f"{100 * (batch + 1)} checks", lambda: len(ctx.establishes()), lambda n: n >= 100 * (batch + 1),
             timeout=60)
    check_equal(len(ctx.establishes()), LONG_RUN, "checks run")
    want = report_text([code] * LONG_RUN)
    got = poll("every report in the pane", ctx.pane_text, lambda text: len(text) >= len(want), timeout=60)
    check_equal(len(got), len(want), "characters in the pane")
    check(got == want, "the pane should hold every report, whole and in order")
    check(len(want) > 32767, f"the reports ({len(want)} characters) should pass the control's default limit")
    check_equal(ctx.facts()["pane_text_limit"], str(0x7FFFFFFE), "text limit after the reports")


# Last: the shared session stays idle while this one runs, and Wine closes an idle session's desktop,
# which the next program would have to wait for again.
@case("dpi144")
def dpi144(ctx):
    """At 144 dpi, in a prefix of its own, the window, its controls and their accessible places are scaled by one
    and a half."""
    session = Session(ctx.session.state / "dpi144", ctx.session.stand_in)
    session.start()
    try:
        session.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", "144")
        inner = Context(session, ctx.bin, "dpi144")
        try:
            _, f = inner.start_program(results="8010001D")
            check_equal(f["screen_dpi"], "144", "the session's pixel density")
            check_equal(numbers(f["client_size"]), (894, 641), "client size")
            check_equal(tuple(map(int, f["child2"].split(",")[1:])), (36, 288, 830, 278), "pane bounds")
            check_accessible_tree(inner, f, 144)  # the places a screen reader clicks are the scaled ones
            inner.click_check(f, 0, scale=1.5)  # the button's scaled centre is where it answers
            inner.wait_for_pane([0x8010001D])
        finally:
            inner.stop_all()
    finally:
        session.stop()


def run_cases(session, bin_dir, names, program=None):
    passed = failed = 0
    for name in names:
        started = time.monotonic()
        ctx = Context(session, bin_dir, name, program)
        try:
            CASES[name](ctx)
            outcome = "PASS"
            passed += 1
        except Exception as error:  # every failure, expected or not, is reported against its case
            outcome = f"FAIL: {error}" if isinstance(error, Failure) else f"FAIL: {type(error).__name__}: {error}"
            failed += 1
        finally:
            ctx.stop_all()
        print(f"{name}: {outcome} ({time.monotonic() - started:.1f} s)", flush=True)
    print(f"{passed} passed, {failed} failed", flush=True)
    return failed == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", required=True, help="the build's bin folder: orbelinchk.exe, probe.exe, marker.dll")
    parser.add_argument("--stand-in", required=True,
                        help="the stand-in winscard.dll, for the prefix's system directory")
    parser.add_argument("--state", required=True, help="folder for the session and the cases' files")
    parser.add_argument("--exe", type=Path, help="the program to drive instead of BIN/orbelinchk.exe")
    parser.add_argument("action", nargs="?", default="all", choices=["all", "start", "stop", "run", "list"])
    parser.add_argument("cases", nargs="*")
    args = parser.parse_args()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))  # so that the clean-up below still runs

    session = Session(Path(args.state).resolve(), Path(args.stand_in).resolve())
    if args.action == "list":
        print("\n".join(CASES))
        return 0
    if args.action == "start":
        session.start()
        return 0
    if args.action == "stop":
        Session(session.state / "dpi144").stop()  # in case its case was cut short
        session.stop()
        return 0
    names = args.cases or list(CASES)
    unknown = [n for n in names if n not in CASES]
    if unknown:
        parser.error(f"unknown case(s): {', '.join(unknown)}; known: {', '.join(CASES)}")
    own_session = args.action == "all" or not session.exists()
    try:
        if own_session:
            session.start()
        with program_under_test(args.bin, args.exe) as program:
            return 0 if run_cases(session, args.bin, names, program) else 1
    finally:
        if own_session:
            session.stop()


@contextlib.contextmanager
def program_under_test(bin_dir, exe):
    """The program given with --exe, copied into the build's bin folder for the run: started from there,
    it finds whatever the build's own program finds (its stand-in winscard.dll, wherever the session puts
    it) just as the build's program does."""
    if exe is None:
        yield None
        return
    copy = Path(bin_dir) / f"given-{exe.name}"
    shutil.copy(exe, copy)
    try:
        yield copy
    finally:
        copy.unlink(missing_ok=True)


if __name__ == "__main__":
    sys.exit(main())
