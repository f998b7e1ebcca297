#!/usr/bin/env python3
"""The panel as a screen reader meets it: the real program under Xvfb on its own session bus,
read through at-spi2's registry with pyatspi. Usage: atspi.py PATH-TO-qx5180"""
import os, shutil, subprocess, sys, tempfile, time

missing = [t for t in ("Xvfb", "dbus-run-session") if not shutil.which(t)]
try:
    import pyatspi
    from gi.repository import GLib
except ImportError:
    missing.append("python3-pyatspi")
if missing:
    print("SKIP: *** screen-reader test not run: missing " + ", ".join(missing) + " ***")
    sys.exit(77)
if "QX_ATSPI" not in os.environ:  # a private session bus, and the display the registry uses
    env = dict(os.environ, QX_ATSPI="1", DISPLAY=":%d" % (90 + os.getpid() % 100))
    os.execvpe("dbus-run-session", ["dbus-run-session", "--", sys.executable] + sys.argv, env)

xvfb = subprocess.Popen(["Xvfb", os.environ["DISPLAY"], "-nolisten", "tcp"])
time.sleep(1)
env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
           XDG_RUNTIME_DIR=tempfile.mkdtemp())
panel = subprocess.Popen([sys.argv[1]], env=env, stderr=subprocess.DEVNULL)
failures = []

def check(what, got, want):
    print("%s: %r" % (what, got))
    if got != want:
        failures.append("%s: expected %r, got %r" % (what, want, got))

def tree(node):
    yield node
    for child in node:
        yield from tree(child)

def wait(seconds):
    GLib.timeout_add(int(seconds * 1000), lambda: pyatspi.Registry.stop())
    pyatspi.Registry.start()

try:
    for _ in range(40):
        apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "qx5180"]
        if apps and apps[0].childCount:
            break
        time.sleep(0.25)
    nodes = {(n.name, n.getRoleName()): n for n in tree(apps[0].getChildAtIndex(0))}
    names = {name for name, _ in nodes}
    check("codec test controls listed", names & {"CODEC TEST MODES", "NORMAL",
                                                 "DIGITAL LOOPBACK", "IRQ", "LEFT SD"}, set())
    check("option buttons listed", sum(r == "radio button" for _, r in nodes), 21)
    check("DEFAULT says", nodes[(" DEFAULT", "push button")].description,
          "sets every control and the chip back to the start-up values")
    check("logo named", "QX5180 audio amplifier logo" in names, True)
    heard = []
    pyatspi.Registry.registerEventListener(
        lambda e: heard.append((e.source.name, e.type.split(":")[-1])),
        "object:property-change:accessible-value", "object:text-changed")
    slider = nodes[("MONO VOLUME CONTROL", "slider")]
    x, y = slider.queryComponent().getPosition(pyatspi.DESKTOP_COORDS)
    pyatspi.Registry.generateMouseEvent(x - 40, y - 60, "b1c")  # on the logo: the window's
    pyatspi.Registry.generateKeyboardEvent(0xFF53, None, pyatspi.KEY_SYM)  # Right
    wait(1.5)
    check("loudspeaker slider reads", (slider.queryValue().currentValue,
                                       slider.queryText().getText(0, -1)), (2.0, "2"))
    check("events", {h for h in heard if h[0].startswith("MONO")},
          {("MONO VOLUME CONTROL", "accessible-value")} |
          {("MONO VOLUME CONTROL Step #", e) for e in ("delete", "insert", "accessible-value")})
finally:
    panel.terminate()
    xvfb.terminate()
print("\n".join(["FAIL: " + f for f in failures]))
print("%d passed, %d failed" % (int(not failures), int(bool(failures))))
sys.exit(1 if failures else 0)
