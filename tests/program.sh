#!/usr/bin/env bash
# The program as a user starts it: on a display it cannot use, or when root cannot be
# dropped, it says so in one line and exits 1; on a display without a parallel port it
# programs the simulated board with the five start-up writes.
# Usage: tests/program.sh PATH-TO-qx5180
set -uo pipefail
program=$1
failed=0
check() { if [[ "$2" != "$3" ]]; then echo "FAIL: $1: expected [$3], got [$2]"; failed=1; fi; }

# A display it cannot use ends with its own line and status 1, never Qt's abort (134).
while IFS='|' read -r setting expected; do
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM $setting "$program" 2>&1)
  check "exit status with [$setting]" "$?" 1
  check "last line with [$setting]" "$(tail -n1 <<<"$out")" "$expected"
done <<'ROWS'
|qx5180: no display; start it from a desktop or set DISPLAY
DISPLAY=|qx5180: no display; start it from a desktop or set DISPLAY
DISPLAY=:199|qx5180: cannot open display :199: no X server there, or it does not let this user in
DISPLAY=garbage|qx5180: DISPLAY "garbage" is not a display name (such as :0)
WAYLAND_DISPLAY=none-9|qx5180: cannot use Wayland display none-9 and no X display is set (Debian's Qt needs qt6-wayland for Wayland)
QT_QPA_PLATFORM=nonsense|qx5180: Qt cannot open its window system "nonsense" (QT_QPA_PLATFORM): Could not find the Qt platform plugin "nonsense" in ""
ROWS

# A drop from root that fails ends the program before any window opens.
if [[ $(id -u) -eq 0 ]]; then
  out=$(SUDO_UID=x QT_QPA_PLATFORM=offscreen "$program" 2>&1)
  check "exit status after a failed drop" "$?" 1
  check "message after a failed drop" "$(tail -n1 <<<"$out")" \
    'qx5180: cannot drop root rights: SUDO_UID "x" is not a user id'
else
  echo "SKIP: *** a failed root drop is not checked: it needs the suite run as root ***"
fi

# The panel runs until its window is closed; three seconds are plenty to see start-up.
err=$(QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$(mktemp -d) timeout 3 "$program" 2>&1 >/dev/null)
check "still running after 3 s" "$?" 124
expected="QX5180 sim: address 0x7C data 0x80 ACK loudspeaker volume 0
QX5180 sim: address 0x7C data 0xC0 ACK left headphone volume 0
QX5180 sim: address 0x7C data 0xE0 ACK right headphone volume 0
QX5180 sim: address 0x7C data 0x00 ACK mode control mode 0 differential 0 capacitor 0
QX5180 sim: address 0x7C data 0x40 ACK 3D and input input 0 3D-level 0 3D-mode 0 headphone-3D 0"
check "simulated board's log" "$(grep '^QX5180 sim:' <<<"$err")" "$expected"
grep -q "^qx5180: using\|^qx5180: no parallel port available" <<<"$err" ||
  { echo "FAIL: no line names the port in use"; failed=1; }

if [[ $failed -eq 0 ]]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
exit $failed
