#!/usr/bin/env python3
# What a blind user hears: Debian's Orca, unchanged, reads the panel on an Xvfb, a window
# manager and a session bus of their own, speaking through speech-dispatcher and espeak-ng
# into libao's null device; a handler on Orca's "speech" logger writes down each utterance.
# Usage: tests/screenreader.py PATH-TO-qx5180
# A row: keys (xdotool names) | texts heard; ... | texts not heard; ...   Each text is matched
# as whole words in all Orca says from the row's first key until it has been quiet for 1 s.
# A failing row prints what was heard. Exit status 1 when a row fails or Orca never reads the
# panel.
import os, re, signal, subprocess, sys, tempfile, time

# From the start: focus on MONO VOLUME, every control at its start-up value. The words are
# what the screen shows at that moment. Orca speaks a value equal to the last one it spoke
# only when the panel says it again (the second row; Right to "med"). Where Am I adds Orca's
# own percentage, the step over the range 1 to 32 taken as 31 wide. The port is
# tests/support/fakeport.cpp's: "fail" makes its writes fail with EIO, "mend" puts them right.
ROWS = """\
Right | 2 | percent
Tab Right | LEFT VOLUME CONTROL slider 1; 2 | percent
Tab Tab space | DEFAULT push button; sets every control and the chip back to the start-up values; notification every control and the chip back to the start-up values
Tab Left | ADDRESS BIT; 0; address 0x7C; 1; address 0x7D
Tab Tab Tab Tab | MONO VOLUME CONTROL Step #; 1; LEFT VOLUME CONTROL Step #; RIGHT HEADPHONE; SHUTDOWN
Tab Down Down | MODE 1; outputs P, MUTE, MUTE; MODE 2; outputs SHUTDOWN, P, P
Tab Tab Tab Right | LOUDSPEAKER; SHUTDOWN; LEFT HEADPHONE; P; ON; 3D on the headphones
Tab Right | 3D LEVEL; low; med | percent; 1; 2
Right Right Left KP_Enter | high; max; 3D LEVEL high | percent; 3; 4
Tab Right Tab Right | OUTPUT CAPACITOR; OCL; capacitor-less outputs; NARROW; narrow 3D
Tab Right | STEREO INPUT CONFIGURATIONS; L1 AND R1; input L1 and R1
Tab End | MONO VOLUME CONTROL slider 1; 32 | percent
KP_Enter | MONO VOLUME CONTROL slider 32 103 percent
KP_Subtract Insert+KP_Home KP_Page_Up KP_Page_Up KP_Page_Up KP_Page_Up KP_Page_Up KP_Page_Up KP_Page_Up KP_Page_Up | QX5180 audio amplifier logo; SHUTDOWN P P; 32 MONO VOLUME CONTROL | Step #
fail Left | 31; port write failed: Input/output error; the chip may not hold what the window shows
Left F1 | 30; status: driving /dev/parport0; port write failed: Input/output error; the chip may not hold what the window shows | notification port write failed
Tab Tab Tab space | DEFAULT; every control back to the start-up values, but port write failed: Input/output error | all five registers sent
mend space F1 | port writes work again; every control and the chip back to the start-up values, all five registers sent; status: driving /dev/parport0; the chip holds what the window shows
"""
# Orca refuses to start beside a process named "orca" of the same user, so that it is not
# named so: runs side by side do not stop each other (a desktop's own Orca still stops it).
LAUNCH = ('import logging, runpy, sys, types; sys.argv[1:] = ["--user-prefs", sys.argv[1]]; '
          'sys.modules["setproctitle"] = types.SimpleNamespace(setproctitle=lambda name: None); '
          'logging.getLogger("speech").addHandler(logging.StreamHandler(sys.stdout)); '
          'runpy.run_path("/usr/bin/orca", run_name="__main__")')
SPEECHD = ('AudioOutputMethod "libao"\nAddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\n'
           'DefaultModule espeak-ng\n')


def run(panel, tmp):
    env = dict(PATH=os.environ["PATH"], HOME=tmp, XDG_RUNTIME_DIR=tmp, LANG="C.UTF-8",
               QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QX_FAKE_PORT=tmp)
    subprocess.run(["g++", "-shared", "-fPIC", "-o", tmp + "/port.so", os.path.dirname(
        os.path.abspath(__file__)) + "/support/fakeport.cpp", "-ldl"], check=True)
    os.makedirs(tmp + "/.config/speech-dispatcher")
    open(tmp + "/.config/speech-dispatcher/speechd.conf", "w").write(SPEECHD)
    open(tmp + "/.libao", "w").write("default_driver=null\n")
    started = []  # all in the first one's process group, so that one kill ends them all

    def start(*argv, out=None):
        started.append(subprocess.Popen(
            argv, env=env, process_group=started[0].pid if started else 0, stdin=subprocess.DEVNULL,
            stdout=open(tmp + out, "w") if out else subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        return started[-1]

    def first_line(name):  # once the file is written; "" for a socket, once it is there
        path = tmp + name
        if not until(lambda: os.path.exists(path) and (
                not os.path.isfile(path) or os.path.getsize(path)), 10):
            sys.exit("FAIL: no %s after 10 s" % name)
        return open(path).readline().strip() if os.path.isfile(path) else ""

    try:
        start("Xvfb", "-displayfd", "1", "-nolisten", "tcp", out="/x")
        env["DISPLAY"] = ":" + first_line("/x")
        start("dbus-daemon", "--session", "--nofork", "--print-address=1", out="/bus")
        env["DBUS_SESSION_BUS_ADDRESS"] = first_line("/bus")
        start("openbox")
        start("speech-dispatcher", "--run-single", "--timeout", "0")
        first_line("/speech-dispatcher/speechd.sock")
        start("/usr/bin/python3", "-c", LAUNCH, tmp, out="/said")
        said = lambda: re.findall(r"^SPEECH OUTPUT: '(.*)'(?: \{.*)?$", open(tmp + "/said").read(),
                                  re.M)
        if not quiet(said, lambda: "Screen reader on." in said(), 30):
            return "FAIL: Orca did not start: %s" % open(tmp + "/said").read()[-500:]
        for _ in range(3):  # Xvfb now and then drops a new client at once
            if start("env", "LD_PRELOAD=" + tmp + "/port.so", panel).poll() is None and quiet(
                    said, lambda: any(u.startswith("MONO VOLUME") for u in said()), 20):
                break
        else:
            return "FAIL: Orca did not read the panel; it said %r" % said()
        failed = 0
        for row in ROWS.splitlines():
            keys, want, shun = [[w.strip() for w in f.split(";") if w.strip()]
                                for f in (row.split("|") + ["", ""])[:3]]
            before = len(said())
            heard = lambda: " / ".join(said()[before:])
            has = lambda text: re.search(r"(?<!\w)%s(?!\w)" % re.escape(text), heard())
            for key in keys[0].split():
                if key in ("fail", "mend"):
                    open(tmp + "/fail", "w") if key == "fail" else os.remove(tmp + "/fail")
                    continue
                subprocess.run(["xdotool", "key", key], env=env, check=True)
                time.sleep(0.3)
            quiet(said, lambda: all(map(has, want)), 8)
            bad = [w for w in want if not has(w)] + ["not " + w for w in shun if has(w)]
            if bad:
                print("FAIL: %s: heard [%s], wanted [%s]" % (keys[0], heard(), "], [".join(bad)))
            failed |= bool(bad)
        return failed
    finally:
        for sig in (signal.SIGTERM, signal.SIGKILL) if started else ():
            time.sleep(0.5)
            os.killpg(started[0].pid, sig)  # the group lasts while its first process is unwaited
        for p in started:
            p.wait()


def until(ready, seconds):
    end = time.monotonic() + seconds
    while not ready() and time.monotonic() < end:
        time.sleep(0.1)
    return ready()


def quiet(said, done, seconds):
    """Whether, within the time, done() came true and then Orca said nothing for 1 s."""
    seen = [said(), time.monotonic()]

    def calm():
        if said() != seen[0]:
            seen[:] = [said(), time.monotonic()]
        return time.monotonic() - seen[1] > 1 and done()
    return until(calm, seconds)


if __name__ == "__main__":
    with tempfile.TemporaryDirectory(prefix="screenreader.") as tmp:
        sys.exit(run(os.path.abspath(sys.argv[1]), tmp))
