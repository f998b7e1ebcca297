#!/usr/bin/env python3
# What a blind user hears: Debian's Orca, unchanged, reads the panel (scripts/orca-session).
# Usage: tests/screenreader.py PATH-TO-qx5180
# A row: steps, each a key (xdotool's name) and the texts it makes Orca say, then the texts
# not heard: KEY: text; text / KEY: text | text; text. Each text is matched as whole words in
# what Orca says after its key; a key goes once Orca has said all of the previous key's. The
# texts not heard are looked for from the row's first key to the next row's. A failing row
# prints what was heard. Exit status 1 when a row fails or Orca never reads the panel.
import importlib.machinery, importlib.util, os, re, subprocess, sys, tempfile

here = os.path.dirname(os.path.abspath(__file__))
loader = importlib.machinery.SourceFileLoader("orca_session", here + "/../scripts/orca-session")
orca = importlib.util.module_from_spec(importlib.util.spec_from_loader(loader.name, loader))
loader.exec_module(orca)

# From the start: focus on MONO VOLUME, every control at its start-up value. The words are
# what the screen shows at that moment. Orca speaks a value equal to the last one it spoke
# only when the panel says it again (Right to 2 on the second slider; Right to "med"). Where
# Am I adds Orca's own percentage, the step over the range 1 to 32 taken as 31 wide. The port is
# tests/support/fakeport.cpp's: "fail" makes its writes fail with EIO, "mend" puts them right.
ROWS = """\
Right: 2 / Tab: LEFT VOLUME CONTROL slider 1 / Right: notification 2 / Tab: RIGHT VOLUME CONTROL slider 1 / Tab: DEFAULT push button; sets every control and the chip back to the start-up values / space: notification every control and the chip back to the start-up values / Tab: ADDRESS BIT; 0; address 0x7C / Left: 1; address 0x7D / Tab: MONO VOLUME CONTROL Step #; 1 / Tab: LEFT VOLUME CONTROL Step #; 1 / Tab: RIGHT VOLUME CONTROL Step #; 1 / Tab: RIGHT HEADPHONE; SHUTDOWN / Tab: MODE 0; outputs SHUTDOWN, SHUTDOWN, SHUTDOWN / Down: MODE 1; outputs P, MUTE, MUTE / Down: MODE 2; outputs SHUTDOWN, P, P / Tab: LOUDSPEAKER; SHUTDOWN / Tab: LEFT HEADPHONE; P / Tab: OFF; no 3D on the headphones / Right: ON; 3D on the headphones | percent
Tab: 3D LEVEL low / Right: med / Right: high / Right: max / Left: high / KP_Enter: 3D LEVEL high | percent; 1; 2; 3; 4
Tab: OUTPUT CAPACITOR; SE; single-ended outputs / Right: OCL; capacitor-less outputs / Tab: WIDE; wide 3D / Right: NARROW; narrow 3D / Tab: STEREO INPUT CONFIGURATIONS; MUTE; inputs muted / Right: L1 AND R1; input L1 and R1 / Tab: MONO VOLUME CONTROL slider 1 / End: 32 | percent
KP_Enter: MONO VOLUME CONTROL slider 32 103 percent / KP_Subtract: Entering flat review / Insert+KP_Home: LEFT HEADPHONE RIGHT HEADPHONE / KP_Page_Up: QX5180 audio amplifier logo / KP_Page_Up: LOUDSPEAKER / KP_Page_Up: SHUTDOWN P P / KP_Page_Up: DEFAULT / KP_Page_Up: min max / KP_Page_Up: not selected MODE 0 / KP_Subtract: Leaving flat review / Tab: LEFT VOLUME CONTROL slider 1 / fail: / Right: 2; notification port write failed: Input/output error; the chip may not hold what the window shows | Step #
Right: 3 / Shift+Tab: MONO VOLUME CONTROL slider / Tab: LEFT VOLUME CONTROL slider 3 / F1: notification status: driving /dev/parport0; port write failed: Input/output error; the chip may not hold what the window shows | notification port write failed
Tab: RIGHT VOLUME / Tab: DEFAULT / space: notification every control back to the start-up values, but port write failed: Input/output error | all five registers sent
mend: / space: notification port writes work again; every control and the chip back to the start-up values, all five registers sent / F1: notification status: driving /dev/parport0; the chip holds what the window shows / Tab: ADDRESS BIT / Tab: MONO VOLUME CONTROL Step # / Tab: LEFT VOLUME CONTROL Step # / Tab: RIGHT VOLUME CONTROL Step # / Tab: RIGHT HEADPHONE / Tab: MODE 0; outputs SHUTDOWN, SHUTDOWN, SHUTDOWN
"""


def run(panel, tmp):
    subprocess.run(["g++", "-shared", "-fPIC", "-o", tmp + "/port.so", here + "/support/fakeport.cpp",
                    "-ldl"], check=True)
    with orca.Session(tmp, QX_FAKE_PORT=tmp) as session:
        said, env = session.said, session.env
        for _ in range(3):  # Xvfb now and then drops a new client at once
            p = session.start("env", "LD_PRELOAD=" + tmp + "/port.so", panel)
            focus = lambda: any(u.startswith("MONO VOLUME") for u in said())
            if orca.until(lambda: p.poll() is not None or focus(), 60) and focus():
                break
        else:
            return "FAIL: waited for Orca to read the panel's focus; it said %r" % said()
        heard = lambda begin: " / ".join(said()[begin:])
        failed, rows = 0, [row.split("|") + [""] for row in ROWS.splitlines()]
        for n, (steps, *_) in enumerate(rows + [[""]]):
            if n:  # what the previous row must not have made Orca say, up to this row's first key
                failed |= report(rows[n - 1][0], heard(begin), [
                    "not " + w for w in words(rows[n - 1][1], heard(begin), True)])
            begin = len(said())
            for key, want in (step.split(":", 1) for step in steps.split(" / ") if step):
                since = len(said())
                if key in ("fail", "mend"):
                    open(tmp + "/fail", "w") if key == "fail" else os.remove(tmp + "/fail")
                else:
                    subprocess.run(["xdotool", "key", key.strip()], env=env, check=True)
                if not orca.until(lambda: not words(want, heard(since)), 20):
                    failed |= report(steps, heard(begin), [
                        "%s after %s within 20 s" % (w, key) for w in words(want, heard(since))])
                    break
        return failed


def words(texts, heard, said=False):  # the texts, as whole words, not said (or said) in heard
    return [w.strip() for w in texts.split(";") if w.strip() and said == bool(
        re.search(r"(?<!\w)%s(?!\w)" % re.escape(w.strip()), heard))]


def report(row, heard, bad):
    if bad:
        print("FAIL: %s: heard [%s], wanted [%s]" % (row, heard, "], [".join(bad)))
    return bool(bad)


if __name__ == "__main__":
    with tempfile.TemporaryDirectory(prefix="screenreader.") as tmp:
        sys.exit(run(os.path.abspath(sys.argv[1]), tmp))
