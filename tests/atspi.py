#!/usr/bin/env python3
# The real program as a screen reader meets it: under Xvfb on a private session bus, read
# through at-spi2's registry with pyatspi. Usage: atspi.py PATH-TO-qx5180
import os, shutil, subprocess, sys, tempfile, time

try:
    import pyatspi
    from gi.repository import GLib
    assert shutil.which("Xvfb") and shutil.which("dbus-run-session")
except (ImportError, AssertionError):
    sys.exit(print("SKIP: *** needs Xvfb, dbus-run-session and python3-pyatspi ***") or 77)
if "QX_ATSPI" not in os.environ:  # the registry synthesises keys on DISPLAY
    env = dict(os.environ, QX_ATSPI="1", DISPLAY=":%d" % (90 + os.getpid() % 100))
    os.execvpe("dbus-run-session", ["dbus-run-session", "--", sys.executable] + sys.argv, env)
xvfb = subprocess.Popen(["Xvfb", os.environ["DISPLAY"], "-nolisten", "tcp"])
time.sleep(1)
start = lambda: subprocess.Popen([sys.argv[1]], stderr=subprocess.DEVNULL, env=dict(
    os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
    XDG_RUNTIME_DIR=tempfile.mkdtemp()))
panel, tries = start(), 1
tree = lambda n: [n] + [d for c in n for d in tree(c)]
try:
    for _ in range(40):
        if panel.poll() is not None and tries < 2:  # Xvfb now and then drops a new connection
            panel, tries = start(), tries + 1
        apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "qx5180"]
        time.sleep(0.25)
        if apps and apps[0].childCount:
            break
    nodes = {(n.name, n.getRoleName()): n for n in tree(apps[0][0])}
    heard = []
    pyatspi.Registry.registerEventListener(lambda e: heard.append(
        (e.source.name, e.type.split(":")[-1])), "object:property-change:accessible-value",
        "object:text-changed")
    slider = nodes[("MONO VOLUME CONTROL", "slider")]
    x, y = slider.queryComponent().getPosition(pyatspi.DESKTOP_COORDS)
    pyatspi.Registry.generateMouseEvent(x - 40, y - 60, "b1c")  # on the logo, for the focus
    pyatspi.Registry.generateKeyboardEvent(0xFF53, None, pyatspi.KEY_SYM)  # Right
    GLib.timeout_add(1500, pyatspi.Registry.stop)
    pyatspi.Registry.start()
    box = "MONO VOLUME CONTROL Step #"
    checks = [
        ("codec test controls", {n for n, _ in nodes} & {"NORMAL", "DIGITAL LOOPBACK"}, set()),
        ("option buttons", sum(r == "radio button" for _, r in nodes), 21),
        ("slider after Right", (slider.queryValue().currentValue,
                                slider.queryText().getText(0, -1)), (2.0, "2")),
        ("heard", {h for h in heard if h[0].startswith("MONO")}, {(box, "delete"),
         (box, "insert"), (box, "accessible-value"), ("MONO VOLUME CONTROL", "accessible-value")})]
finally:
    panel.terminate()
    xvfb.terminate()
for what, got, want in checks:
    print("%s%s: %r" % ("FAIL: " if got != want else "", what, got))
sys.exit(any(got != want for _, got, want in checks))
