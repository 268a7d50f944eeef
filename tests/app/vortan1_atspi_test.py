#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The main window as a screen reader meets it: through AT-SPI, on a private accessibility bus.

    vortan1_atspi_test.py PATH-TO-VORTAN [--polish]

Starts, each as a child of its own and stopped by its PID: a private D-Bus session bus, the
accessibility bus launcher and registry, and the program itself on the X display (Xvfb from
scripts/test-services.sh), with private settings. Then works the window through the tree as
Orca would: the character-set box's field is named and holds the set; of the preset radio buttons
only the first is checked, and a screen reader's Toggle on "Settings 3" selects
preset 3; a slider set through its value moves its display, and the preset keeps it at the end.
The toolbar's name and the Options window, opened from its button, are in the desktop's language:
English, or Polish with --polish (LANG=pl_PL.UTF-8); the specified captions are the same in both.
The Check copy, Progress and Options windows are windows to a screen reader (frame or dialog) with
their translated titles; after Play and Check the focus is on the result summary, which reads the
accuracy, the counts and the errors; the Progress summary and the drill set read their values.
Exit 77: skipped.
"""

import os
import signal
import subprocess
import sys
import tempfile
import time
import warnings

# PyGObject calls some of libatspi's plain C functions deprecated; they are what this needs.
warnings.simplefilter("ignore", DeprecationWarning)

SKIP = 77


def give_up(why):
    required = os.environ.get("VORTAN_REQUIRE_SERVICES") == "1"
    print(("FAIL: " if required else "SKIP: ") + why, file=sys.stderr)
    sys.exit(1 if required else SKIP)


LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
REGISTRY = "/usr/libexec/at-spi2-registryd"
if len(sys.argv) not in (2, 3) or sys.argv[2:] not in ([], ["--polish"]):
    sys.exit("usage: vortan1_atspi_test.py PATH-TO-VORTAN [--polish]")
POLISH = sys.argv[2:] == ["--polish"]
# In the language of the run: the toolbar's name, the Options window's title and its first box.
WORDS = (("Polecenia", "Opcje", "Narastanie i opadanie w milisekundach") if POLISH else
         ("Commands", "Options", "Rise and fall in milliseconds"))
# The Check copy and Progress windows in the language of the run: titles, controls, what a
# screen reader hears of a copy "abxt" of "abst" (75 per cent, with Polish's decimal comma).
WINDOW_WORDS = dict(
    check_title="Sprawdzanie odbioru", copy="Twój odbiór", check="Sprawdź",
    summary="Dokładność 75,0 procent: poprawnie 3 z 4 nadanych znaków. 1 błąd (źle odebrane: 1, "
            "pominięte: 0, nadmiarowe: 0). Grupa 1: zamiast s zapisano x.",
    accuracy="Dokładność: 75,0 %", progress_title="Postępy",
    progress_summary="1 sprawdzenie, nadano 4 znaki, dokładność 75,0 %.",
    drill="Ćwicz słabe znaki", drill_set="Zestaw do ćwiczeń: ") if POLISH else dict(
    check_title="Check copy", copy="Your copy", check="Check",
    summary="Accuracy 75.0 per cent: 3 right of 4 sent. Errors: 1 (1 wrong, 0 missed, 0 extra). "
            "Group 1: s written as x.",
    accuracy="Accuracy: 75.0 %", progress_title="Progress",
    progress_summary="Checks: 1. Characters sent: 4. Accuracy 75.0 %.",
    drill="Drill weak characters", drill_set="Drill set: ")
if not os.environ.get("DISPLAY"):
    give_up("needs an X display (run under scripts/test-services.sh)")
for program in (LAUNCHER, REGISTRY, "/usr/bin/dbus-daemon"):
    if not os.access(program, os.X_OK):
        give_up(program + " is missing (packages dbus, at-spi2-core)")
try:
    import gi

    gi.require_version("Atspi", "2.0")
    gi.require_version("Gio", "2.0")
    from gi.repository import Atspi, Gio, GLib
except (ImportError, ValueError):
    give_up("the AT-SPI bindings are missing (packages python3-gi, gir1.2-atspi-2.0)")

children = []
failures = []


def start(command, env, **options):
    child = subprocess.Popen(command, env=env, **options)
    children.append(child)
    return child


def stop_children():
    for child in reversed(children):
        child.terminate()
        try:
            child.wait(5)
        except subprocess.TimeoutExpired:
            child.kill()
            child.wait()


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def pump():
    """Lets libatspi take in the events that keep its view of the tree up to date."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(predicate, seconds=15):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        pump()
        result = predicate()
        if result:
            return result
        time.sleep(0.1)
    pump()
    return predicate()


folder = tempfile.TemporaryDirectory(prefix="vortan-atspi-")
root = folder.name
runtime = os.path.join(root, "runtime")
config = os.path.join(root, "config")
os.makedirs(runtime, mode=0o700)
os.makedirs(os.path.join(config, "vortan"))
settings_file = os.path.join(config, "vortan", "vortan.ini")
with open(settings_file, "wb") as ini:
    ini.write(b"[settings3]\r\nspeed=150\r\nchars=abst\r\n")
bus_config = os.path.join(root, "session.conf")
with open(bus_config, "w") as conf:
    conf.write(
        '<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"'
        ' "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">\n'
        "<busconfig><include>/usr/share/dbus-1/session.conf</include>"
        "<listen>unix:dir=%s</listen></busconfig>\n" % runtime
    )

try:
    # A history of its own too: the checks made here are counted in the Progress window.
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=config,
               XDG_DATA_HOME=os.path.join(root, "data"))
    daemon = start(["dbus-daemon", "--nofork", "--print-address=1", "--config-file=" + bus_config],
                   env, stdout=subprocess.PIPE, text=True)
    env["DBUS_SESSION_BUS_ADDRESS"] = daemon.stdout.readline().strip()
    # Without DISPLAY the launcher leaves the X server's root window alone: the bus is found
    # through the session bus and AT_SPI_BUS_ADDRESS only, so no other test on this display
    # meets it.
    start([LAUNCHER, "--launch-immediately", "--a11y=1"],
          {k: v for k, v in env.items() if k != "DISPLAY"})
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = env["DBUS_SESSION_BUS_ADDRESS"]

    def a11y_address():
        try:
            bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
            reply = bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                  None, GLib.VariantType("(s)"), 0, 2000, None)
            return reply.unpack()[0]
        except GLib.Error:
            return None

    env["AT_SPI_BUS_ADDRESS"] = wait_for(a11y_address) or give_up("no accessibility bus")
    os.environ["AT_SPI_BUS_ADDRESS"] = env["AT_SPI_BUS_ADDRESS"]
    start([REGISTRY], env)

    Atspi.init()
    # Every question goes to the program itself: libatspi's cache would need its events.
    Atspi.get_desktop(0).set_cache_mask(Atspi.Cache.NONE)
    # The program finds the bus as a desktop session offers it, through org.a11y.Bus (Qt 6.4
    # given AT_SPI_BUS_ADDRESS never shows up).
    program_env = dict(env, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                       LANG="pl_PL.UTF-8" if POLISH else "C.UTF-8")
    for variable in ("AT_SPI_BUS_ADDRESS", "LANGUAGE", "LC_ALL", "LC_MESSAGES"):
        program_env.pop(variable, None)
    vortan = start([sys.argv[1]], program_env)

    def top_window(name):
        desktop = Atspi.get_desktop(0)
        apps = [desktop.get_child_at_index(i) for i in range(desktop.get_child_count())]
        for app in (a for a in apps if a is not None and a.get_process_id() == vortan.pid):
            for i in range(app.get_child_count()):
                frame = app.get_child_at_index(i)
                if frame is not None and frame.get_name() == name:
                    return frame
        return None

    def main_window():
        return top_window("Vortan ZENTO")

    def descendants(node):
        yield node
        for i in range(node.get_child_count()):
            child = node.get_child_at_index(i)
            if child is not None:
                yield from descendants(child)

    def find(top, name, role=None):
        for node in descendants(top):
            if node.get_name() == name and (role is None or node.get_role() == role):
                return node
        return None

    def value_of(node):
        return Atspi.Value.get_current_value(node) if node is not None else None

    def actions(node):
        """The node's actions, name -> key binding."""
        if node is None or "Action" not in node.get_interfaces():
            return {}
        return {Atspi.Action.get_action_name(node, i): Atspi.Action.get_key_binding(node, i)
                for i in range(Atspi.Action.get_n_actions(node))}

    def checked(node):
        pump()
        return node.get_state_set().contains(Atspi.StateType.CHECKED)

    window = wait_for(main_window)
    if window is None:
        raise SystemExit("FAIL: the main window never appeared on the accessibility bus")

    box = find(window, "Character set", Atspi.Role.TEXT)
    check(box is not None and box.get_parent().get_role() == Atspi.Role.COMBO_BOX
          and Atspi.Text.get_text(box, 0, -1) == "abcdefghijklmnopqrstuvwxyz0123456789/=?!",
          "the character-set box's field is named and holds the set")
    presets = [find(window, "Settings %d" % n, Atspi.Role.RADIO_BUTTON) for n in (1, 2, 3)]
    check(all(p is not None for p in presets)
          and [checked(p) for p in presets] == [True, False, False],
          "only 'Settings 1' is checked")

    # A screen reader's Toggle on "Settings 3" selects preset 3.
    if all(p is not None for p in presets):
        check(actions(presets[2]).get("Press") == "Ctrl+3" and "Toggle" in actions(presets[2]),
              "'Settings 3' offers Press (Ctrl+3) and Toggle")
        if "Toggle" in actions(presets[2]):
            Atspi.Action.do_action(presets[2], list(actions(presets[2])).index("Toggle"))
        speed = find(window, "Speed (ch/min)", Atspi.Role.SLIDER)
        check(wait_for(lambda: value_of(speed) == 150, 5), "Toggle shows preset 3's speed, 150")
        check(wait_for(lambda: [checked(p) for p in presets] == [False, False, True],
                       5), "then only 'Settings 3' is checked")

    # Setting a slider through its value moves it, its display and the preset.
    tone = find(window, "Tone (Hz)", Atspi.Role.SLIDER)
    if tone is not None:
        Atspi.Value.set_current_value(tone, 700)
        shown = find(window, "Tone", Atspi.Role.LABEL)
        check(wait_for(lambda: value_of(shown) == 700, 5), "the tone display follows to 700")

    # Beyond the specified captions, the desktop's language.
    toolbar_name, options_title, rise_name = WORDS
    check(find(window, toolbar_name) is not None, "the command toolbar is named %r" % toolbar_name)
    options = None
    options_button = find(window, "Options", Atspi.Role.PUSH_BUTTON)
    check("Press" in actions(options_button), "the specified 'Options' button offers Press")
    if "Press" in actions(options_button):
        Atspi.Action.do_action(options_button, list(actions(options_button)).index("Press"))
        options = wait_for(lambda: top_window(options_title), 10)
        check(options is not None, "the Options window opens titled %r" % options_title)
        check(options is not None and find(options, rise_name, Atspi.Role.SPIN_BUTTON) is not None,
              "its rise-and-fall box is named %r" % rise_name)

    def press(top, name):
        button = find(top, name, Atspi.Role.PUSH_BUTTON) if top is not None else None
        if "Press" not in actions(button):
            check(False, "a button %r to press" % name)
            return False
        Atspi.Action.do_action(button, list(actions(button)).index("Press"))
        return True

    def is_window(node):
        return node is not None and node.get_role() in (Atspi.Role.FRAME, Atspi.Role.DIALOG)

    def focused(top):
        for node in descendants(top):
            if node.get_state_set().contains(Atspi.StateType.FOCUSED):
                return node
        return None

    w = WINDOW_WORDS
    check(is_window(options), "the Options window is a window to a screen reader")
    # A short text to send, so that Play ends soon.
    memo = find(window, "Exercise text", Atspi.Role.TEXT)
    check(memo is not None and Atspi.EditableText.set_text_contents(memo, "abst"),
          "the exercise text is set through AT-SPI")
    press(window, "Check copy")
    check_window = wait_for(lambda: top_window(w["check_title"]), 10)
    check(is_window(check_window), "the Check copy window is a window titled %r" % w["check_title"])
    press(window, "Play")
    copy = find(check_window, w["copy"], Atspi.Role.TEXT) if check_window else None
    check_button = find(check_window, w["check"], Atspi.Role.PUSH_BUTTON) if check_window else None
    # Check is offered once the rendering is sent; the copy typed as a learner would.
    if copy is not None and Atspi.EditableText.set_text_contents(copy, "abxt"):
        check(wait_for(lambda: check_button.get_state_set().contains(Atspi.StateType.ENABLED), 20),
              "Check is offered after Play")
        # Play to its end, so that the whole text is checked.
        time.sleep(4)
        press(check_window, w["check"])
        summary = wait_for(lambda: (lambda n: n if n is not None and n.get_name() == w["summary"]
                                    else None)(focused(check_window)), 10)
        check(summary is not None, "after Check the focus is on the summary, heard as %r (heard: %r)"
              % (w["summary"], focused(check_window) and focused(check_window).get_name()))
        check(find(check_window, w["accuracy"], Atspi.Role.LABEL) is not None,
              "the accuracy line reads %r" % w["accuracy"])
    press(window, "Progress")
    progress = wait_for(lambda: top_window(w["progress_title"]), 10)
    check(is_window(progress), "the Progress window is a window titled %r" % w["progress_title"])
    if progress is not None:
        def label_names():
            return [n.get_name() for n in descendants(progress) if n.get_role() == Atspi.Role.LABEL]

        # The window's tree is large (tables, charts): walked slowly on a loaded machine.
        check(wait_for(lambda: w["progress_summary"] in label_names(), 30),
              "the Progress summary reads %r (labels: %r)"
              % (w["progress_summary"], [n for n in label_names() if "75" in n]))
        press(progress, w["drill"])
        drill = wait_for(lambda: next((n for n in descendants(progress)
                                       if n.get_role() == Atspi.Role.LABEL
                                       and n.get_name().startswith(w["drill_set"])), None), 30)
        check(drill is not None and len(drill.get_name()) > len(w["drill_set"]),
              "the drill set reads its value: %r" % (drill and drill.get_name()))

    # A termination saves what a close saves: preset 3 with the screen reader's changes.
    vortan.send_signal(signal.SIGTERM)
    vortan.wait(10)
    with open(settings_file, "rb") as ini:
        preset3 = ini.read().split(b"[settings3]")[1].split(b"\r\n[")[0].split(b"\r\n")
    check(b"speed=150" in preset3 and b"tone=700" in preset3,
          "preset 3 was saved with the tone set through AT-SPI: %r" % preset3)
finally:
    stop_children()
    folder.cleanup()

if failures:
    print("%d check(s) failed" % len(failures), file=sys.stderr)
    sys.exit(1)
