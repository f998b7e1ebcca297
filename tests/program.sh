#!/usr/bin/env bash
# The program as a user starts it: with no display it says so and exits 1; on a display
# without a parallel port it programs the simulated board with the five start-up writes.
# Usage: tests/program.sh PATH-TO-qx5180
set -uo pipefail
program=$1
failed=0
check() { if [[ "$2" != "$3" ]]; then echo "FAIL: $1: expected [$3], got [$2]"; failed=1; fi; }

out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" 2>&1)
check "exit status without a display" "$?" 1
check "message without a display" "$out" "qx5180: no display; start it from a desktop or set DISPLAY"

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
