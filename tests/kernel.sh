#!/usr/bin/env bash
# The program on Debian's own kernel and its parallel-port drivers, in one guest boot
# (scripts/kernel-vm): its start-up, a key on MONO VOLUME and " DEFAULT" put the same bytes
# on the data lines through ppdev (as nobody in group lp), through ppdev beside lp, and by
# direct I/O as root; the board's decoding of QEMU's port trace and test_wire's golden frame
# say which bytes. Each claim writes the control register (0x0c) twice first. Then the lines
# and title of each way the port can be busy or refused. A print job sent while the panel
# holds the port waits for it, then reaches the printer. SIGALRM sent while the panel waits
# for a port another program shares ends it by SIGALRM, before its window, and the claims
# that follow go through (a claim made again after a signal would corrupt parport's wait
# list, and the next one would oops the kernel).
# Usage: [QX_KERNEL_REQUIRED=1] tests/kernel.sh PATH-TO-qx5180 PATH-TO-qx5180-trace
#   QX_KERNEL_REQUIRED=1: QEMU or a kernel that cannot be had fails the test (1), not skips it
#   (77).
set -uo pipefail
if [[ ${1:-} == --guest ]]; then # inside the guest, as root, in the output folder
  # No session bus: without this, libdbus would start one for each panel (seconds under TCG).
  export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
  for_() { local end=$((SECONDS + $1)); until "${@:2}"; do ((SECONDS < end)) || return 1; sleep 0.1; done; }
  inlp=(setpriv --reuid=65534 --regid=65534 --groups=7) nolp=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  # start CASE [WRAPPER...]: the panel, until its window shows; the trace's length before.
  start() {
    wc -l <port-trace >"$1.at"
    "${@:2}" ./qx5180 2>"$1.err" & pid=$!
    win=$(timeout 60 xdotool search --sync --onlyvisible --pid $pid | head -n1)
    xdotool getwindowname "$win" >"$1.title"
  }
  act() { # a key on the focused MONO VOLUME, then " DEFAULT", all on the wire
    xdotool windowfocus --sync "$win" key Right Tab Tab Tab space
    at=$(($(<"$1.at") + 1)) && for_ 60 eval '(($(tail -n +$at port-trace | grep -c "addr 0x00") >= 858))'
  }
  stop() { kill $pid; wait $pid; true; }
  start ppdev "${inlp[@]}" && act ppdev && p=$pid
  start held "${inlp[@]}" && stop && pid=$p && stop
  start nolp "${nolp[@]}" && stop
  perl -e 'open(F, "+<", "/dev/parport0") && ioctl(F, 0x708b, 0) && sleep 600' & holder=$! # PPCLAIM
  for_ 20 grep -q ppdev /proc/sys/dev/parport/parport0/devices/active
  start shared "${inlp[@]}" && stop
  "${inlp[@]}" ./qx5180 2>alarm.err & pid=$! # SIGALRM while it waits: not taken for the limit
  for_ 20 grep -q parport_claim /proc/$pid/wchan && kill -ALRM $pid; wait $pid; echo $? >alarm; kill $holder
  modprobe -d "$KERNEL_VM_ROOT" lp
  start lp "${inlp[@]}"
  sh -c 'echo job >/dev/lp0' & job=$!
  act lp
  for_ 20 grep -q parport_claim /proc/$job/wchan && [[ ! -s printer ]] && echo waited >job
  stop && for_ 20 grep -q job printer
  modprobe -d "$KERNEL_VM_ROOT" -r lp ppdev
  start nonroot "${nolp[@]}" && stop
  start direct && act direct && stop
  exit 0
fi
failed=0
check() { if [[ "$2" != "$3" ]]; then echo "FAIL: $1: expected [${3:0:900}], got [${2:0:900}]"; failed=1; fi; }
out=$(cd "$(dirname "$0")/.." && pwd)/build-kernel/test
rm -rf "$out" && mkdir -p "$out" && cp "$1" "$out/qx5180" && chmod 755 "$out" "$out/qx5180"
# The guest sees the output folder, not a clone under its own /tmp: this script goes there too.
cp "$0" "$out/kernel.sh"
"$(dirname "$0")/../scripts/kernel-vm" -o "$out" -m 'parport_pc io=0x378 irq=none,ppdev' -x -t 300 \
  -- bash "$out/kernel.sh" --guest >"$out/console" 2>&1
# What the guest said is in $out/console; a guest that failed leaves the checks below wanting.
(($? == 77)) && { tail -n1 "$out/console"; exit $((${QX_KERNEL_REQUIRED:-0} ? 1 : 77)); }

# CASE's part of the trace, and of that the data-register writes, as hex bytes.
part() { tail -n +$(($(<"$out/$1.at") + 1)) "$out/port-trace"; }
bytes() { part "$1" | sed -n 's/.*addr 0x00 val 0x//p'; }
golden=$(grep -A2 '{0, regs::defaultFrame(0x81),' "${0%/*}/test_wire.cpp" | grep -o '"[0-9A-F]*"' | tr -d '"\n' | fold -w2)
for way in ppdev lp direct; do
  got=$(bytes $way | head -n 858)
  check "$way: the board's decoding" "$(sed 's/^/parallel_ioport_write addr 0x00 val 0x/' \
    <<<"$got" | "$2" | sed 's/ACK .*/ACK/' | tr '\n' ' ')" \
    "$(printf 'QX5180 sim: address 0x7C data 0x%s ACK ' 80 C0 E0 00 40 81 80 C0 E0 00 40)"
  check "$way: the MONO VOLUME frame, byte for byte" "$(sed -n 391,468p <<<"$got")" "${golden,,}"
  check "$way: the same bytes as through ppdev" "$got" "$(bytes ppdev | head -n 858)"
  check "$way: the control register before the first byte" "$(part $way | sed '/addr 0x00/q' |
    sed -n 's/.*addr 0x02 val 0x//p' | xargs)" "$([[ $way != direct ]] && echo 0c 0c)"
done
check "a print job waits for the panel, then prints" "$(cat "$out"/{job,printer})" $'waited\njob'
check "SIGALRM while the panel waits for the port ends it, sending nothing" "$(<"$out/alarm") $(grep \
  -c 'QX5180 sim' "$out/alarm.err") $(tail -n1 "$out/alarm.err")" "142 0 qx5180: ended by SIGALRM"

# CASE | the panel's lines (without "qx5180: " and its end), joined by " / " | the title's
# reason; each as the kernel made it: "held" was started while "ppdev" ran, "shared" while a
# program held a shared claim (ppdev registers it as ppdev0), "lp" beside an idle lp,
# "nonroot" and "direct" with ppdev unloaded.
sim='no parallel port available; using the simulated board (its decoded writes follow on standard error)'
ex='direct port I/O not tried: /dev/parport0 exists'
while IFS='|' read -r case lines reason; do
  check "$case: lines | title" "$(sed -n 's/^qx5180: //p' "$out/$case.err" | grep -v '^ended by' |
    sed ':a;N;s/\n/ \/ /;ba') | $(<"$out/$case.title")" \
    "${lines//SIM/$sim} | QX5180 Audio Program v1.1${reason:+ — simulated board: $reason}"
done <<ROWS
ppdev|using /dev/parport0|
held|exclusive access to /dev/parport0 refused: the printer driver lp or another program is registered on the port; asking to share it, waiting at most 2 s for it to be free / another program holds /dev/parport0 exclusively (ppdev0), and the kernel lets no one share it: not waiting for it / $ex / SIM|/dev/parport0 held by another program
nolp|cannot open /dev/parport0: Permission denied (add your user to group lp, then log in again) / $ex / SIM|no permission for /dev/parport0
shared|exclusive access to /dev/parport0 refused: the printer driver lp or another program is registered on the port; asking to share it, waiting at most 2 s for it to be free / gave up waiting for /dev/parport0 after 2 s: another program is using the port (ppdev0) / $ex / SIM|/dev/parport0 used by another program
lp|exclusive access to /dev/parport0 refused: the printer driver lp or another program is registered on the port; asking to share it, waiting at most 2 s for it to be free / using /dev/parport0|
nonroot|cannot open /dev/parport0: No such file or directory (load the ppdev module: sudo modprobe ppdev) / cannot reach I/O port 0x378: Operation not permitted (run as root, or load ppdev and use /dev/parport0) / SIM|no permission for I/O port 0x378
direct|cannot open /dev/parport0: No such file or directory (load the ppdev module: sudo modprobe ppdev) / using direct I/O at port 0x378 / running as root: no invoking user to drop to (start it from your own account, through sudo if the port needs root)|
ROWS
exit $failed
