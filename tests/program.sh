#!/usr/bin/env bash
# The program as a user starts it: on a display it cannot use, under a limit that denies it
# what it needs, or when root cannot be dropped, it says so in one line and exits 1; on a
# display without a parallel port it programs the simulated board with the five start-up
# writes, whatever happens to its standard error, and each signal that ends a process ends
# it once its frames are complete (unless the caller ignores it); a privileged panel runs no
# program. Windows open on an Xvfb of its own. Run as root (as CI does), the rows run again as
# nobody with group users. What a screen reader hears is tests/screenreader.py's.
# Usage: tests/program.sh PATH-TO-qx5180
set -uo pipefail
# Descriptors the caller left open (ctest keeps one) would count against the panel's limits.
for fd in /proc/$$/fd/*; do
  fd=${fd##*/} && ((fd > 2 && fd < 255)) && eval "exec $fd>&-"
done 2>/dev/null
failed=0 wrap=
check() { if [[ "$2" != "$3" ]]; then echo "FAIL: $1: expected [$3], got [$2]"; failed=1; fi; }
command -v Xvfb >/dev/null || { echo "SKIP: *** Xvfb missing (install-deps --test) ***"; exit 77; }
dir=$(mktemp -d) && chmod 755 "$dir" && cp "$1" "$dir/qx5180" # where nobody may run it too
# /dev/parport0 as the program sees it, recording each byte (tests/support/fakeport.cpp).
g++ -shared -fPIC -o "$dir/fakeport.so" "${0%/*}/support/fakeport.cpp" -ldl && mkdir -m 777 "$dir/port"
port=(QX_FAKE_PORT="$dir/port" LD_PRELOAD="$dir/fakeport.so")
# How it ended, by its status and line, and the bytes on the port: their count, the last six.
ended() { hex=$(od -An -tx1 -v "$dir/port/bytes" | tr -d ' \n') && echo "$1 $(sed -n \
  's/^qx5180: ended by //p' "$dir/end") $((${#hex} / 2))${hex:+ ${hex: -12}}"; }
# A Wayland socket where something listens but never answers.
mkdir -p "$dir/run" "$dir/bare/platforms" && cp "$1" "$dir/bare/qx5180"
/usr/bin/python3 -c 'import os, socket, sys, time; s = socket.socket(socket.AF_UNIX)
s.bind(sys.argv[1]); os.chmod(sys.argv[1], 0o777); s.listen(); time.sleep(600)' "$dir/run/mute" & mute=$!
Xvfb -displayfd 3 -nolisten tcp 3>"$dir/x" 2>/dev/null & xvfb=$!
trap 'kill $xvfb $mute 2>/dev/null; rm -rf "$dir"' EXIT
for _ in {1..600}; do [[ -s $dir/x && -S $dir/run/mute ]] && break || sleep 0.1; done
[[ -s $dir/x ]] || { echo "FAIL: waited 60 s for Xvfb's display"; exit 1; }
x=:$(<"$dir/x")
# Starts the program with SIGHUP blocked and pending, as if sent at its first instruction,
# and ends as it did: by a signal, as a shell sees it (128 + its number), or with its status.
printf '%s\n' '#!/usr/bin/perl' 'use POSIX; if (!fork) { kill HUP => $$ if sigprocmask(' \
  'SIG_BLOCK, POSIX::SigSet->new(SIGHUP)); exec @ARGV; } wait; exit($? & 127 ? 128 + $? : $? >> 8);' \
  >"$dir/hup-pending" && chmod 755 "$dir/hup-pending"
printf '#!/bin/sh\ntrap "" HUP INT\nexec "$@"\n' >"$dir/nohup" && chmod 755 "$dir/nohup"
printf '#!/bin/bash\nexec -a $%s "$@" 2>&-\n' "'\\e]0;x\\a'" >"$dir/argv0" && chmod 755 "$dir/argv0"
# qx LIMIT [VARIABLE=VALUE...]: the program as $user, through $wrap, ended after LIMIT s.
qx() {
  timeout -k 1 "$1" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR \
    "${@:2}" $user $wrap "${bin:-$dir/qx5180}"
}
# shown: sets pid to the program started last, once its window shows and it waits for input,
# within 60 s: as a user without a session bus, where dbus-x11 is installed, libdbus starts
# one first.
shown() {
  local p=$! c end=$((SECONDS + 60))
  while [[ $(readlink "/proc/$p/exe") != "$dir/qx5180" ]] && ((SECONDS < end)); do
    [[ -e /proc/$p ]] || p=$! # a shell's short-lived child ($(...)) has ended
    c=$(cat /proc/"$p"/task/*/children 2>/dev/null) && [[ $c ]] && p=${c%% *} || sleep 0.1
  done # down the chain of wrappers
  DISPLAY=$x timeout $((end - SECONDS + 1)) xdotool search --sync --onlyvisible --pid "$p" \
    --name 'QX5180 Audio' >/dev/null &&
    until [[ $(cat "/proc/$p/wchan" 2>/dev/null) == *poll* ]] || ((SECONDS >= end)); do sleep 0.1; done
  [[ $(cat "/proc/$p/wchan" 2>/dev/null) == *poll* ]] ||
    { echo "FAIL: waited 60 s for the window, then for poll()"; failed=1; }
  pid=$p
}
# Starts the program in the background until killed and, once its window shows, sets pid.
started() { qx 120 "$@" 2>"$dir/started" & shown; }
users=("" "setpriv --reuid=65534 --regid=100 --clear-groups") && [[ $(id -u) -eq 0 ]] || users=("")
# A copy of the program whose Qt has no platform plugins (qt.conf beside it names an empty
# folder).
printf '[Paths]\nPlugins=%s\n' "$dir/bare" >"$dir/bare/qt.conf"
# Wayland first, then X, where no compositor answers; without qt6-wayland, Qt tries X only.
tried='wayland x'
dpkg-query -W -f='${Status}' qt6-wayland 2>/dev/null | grep -q ' installed' || tried=x

for user in "${users[@]}"; do
  # A display it cannot use ends with its own line and status 1, never Qt's abort (134).
  while IFS='|' read -r setting expected; do
    setting=$(printf '%b' "$setting") && bin=
    [[ $setting == BARE* ]] && setting=${setting#BARE } && bin=$dir/bare/qx5180
    check "status and last line with [$setting] $user" "$(qx 60 XDG_RUNTIME_DIR="$dir/run" \
      $setting 2>&1 | tail -n1 | sed 's/ *$//'; echo "${PIPESTATUS[0]}")" "$expected"$'\n1'
  done <<'ROWS'
DISPLAY= WAYLAND_DISPLAY=|qx5180: no display; start it from a desktop or set DISPLAY
DISPLAY=\033[2J\177:199 WAYLAND_DISPLAY=none-9|qx5180: Qt cannot open its window system: could not connect to display ?[2J?:199
WAYLAND_DISPLAY=\033none-9|qx5180: no Wayland compositor answered at WAYLAND_DISPLAY "?none-9"
BARE WAYLAND_DISPLAY=mute|qx5180: Qt cannot open its window system: Could not find the Qt platform plugin "wayland" in ""
QT_QPA_PLATFORM=nonsense|qx5180: Qt's window system "nonsense" (QT_QPA_PLATFORM) opens no window; the panel needs xcb or wayland
QT_QPA_PLATFORM=wayland;xcb WAYLAND_DISPLAY=none-9|qx5180: Qt cannot open its window system "wayland;xcb" (QT_QPA_PLATFORM): could not connect to display
ROWS

  # A limit that denies what the panel needs gets one line naming it and status 1, before the
  # port is taken.
  # 22 descriptors left open at a limit of 32: too few free for a user; a privileged start
  # closes them, as sudo does, and starts.
  (for fd in {3..24}; do eval "exec $fd</dev/null"; done
    wrap='prlimit --nofile=32' qx 120 DISPLAY="$x" 2>"$dir/end") &
  [[ $user ]] || { shown $! && kill "$pid"; }
  wait $!
  check "22 descriptors inherited $user" "$? $(sed -n 's/^qx5180: //p' "$dir/end" | tail -n1)" \
    "$([[ $user ]] && echo "1 too few file descriptors free: 7 of 32 (ulimit -n), 25 being open \
already; the panel needs 29" || echo '143 ended by SIGTERM')"
  check "120 MiB $user" "$(wrap="prlimit --as=$((120 << 20))" qx 60 DISPLAY="$x" 2>&1; echo $?)" \
    "qx5180: too few MiB of address space allowed: 120 (ulimit -v); the panel needs 640"$'\n1'
  # Once its window shows, SIGTERM ends the panel. Lines
  # name the port in use, and say why the device was not when there is none. With both
  # displays set, Wayland is tried first; where no compositor answers, the window opens on X.
  ours='^qx5180: \(using\|no parallel port available\|cannot open /dev/parport0: No such file o\)'
  wrap='strace -f -e trace=connect' qx 120 DISPLAY="$x" WAYLAND_DISPLAY=none-9 \
    XDG_RUNTIME_DIR="$dir/run" 2>"$dir/err" >/dev/null &
  shown && kill "$pid"
  wait $!
  status=$? err=$(<"$dir/err")
  check "running with its window shown, the lines on the port, the displays tried, the end $user" \
    "$status $(grep -c "$ours" <<<"$err") $(grep -o 'none-9\|X11-unix' <<<"$err" | uniq |
    sed 's/none-9/wayland/;s/X11-unix/x/' | xargs) $(grep ended <<<"$err")" \
    "143 $([[ -e /dev/parport0 ]] && echo 1 || echo 2) $tried qx5180: ended by SIGTERM"
  # Each signal whose default action ends a process, sent by the port itself: one that ends the
  # panel in the middle of the second of the five start-up frames (write 120) once every frame
  # is done (390 writes, the last a stop and the idle byte), by that signal (128 + its number);
  # a fault at once, its cut write again and, inside the transaction (writes 80 to 154 of that
  # frame), a stop condition alone; one the caller ignores (nohup) not at all: SIGTERM ends it
  # once its window shows; a SIGHUP pending from the first instruction before its window
  # opens, the port taken and nothing sent; one amid a burst of keys once the frame it cut (the second key's) is done,
  # none of the keys still queued sending another. Bytes: 1f idle, 5f SCL low, 9f SDA low, df both low.
  while read -r s at status name bytes; do
    rm -f "$dir/port/bytes"
    wrap=$([[ -x $dir/${s%-*} ]] && echo "$dir/${s%-*}") qx 60 DISPLAY="$x" "${port[@]}" \
      QX_FAKE_SIGNAL="$at $(kill -l "${s##*-}")" 2>"$dir/end" &
    [[ $s != nohup* ]] || { shown $! && kill "$pid"; }
    [[ $s != keys* ]] || { shown $! && DISPLAY=$x xdotool search --pid "$pid" --name 'QX5180 Audio' \
      windowfocus --sync key --delay 0 --repeat 20 Right Left 2>/dev/null; }
    wait $!
    check "$s at write $at $user" "$(ended $?)" "$status $name $bytes"
  done < <(for s in HUP INT QUIT USR1 USR2 ALRM TERM STKFLT XCPU XFSZ VTALRM PROF IO PWR SYS \
    RTMIN RTMIN+7 RTMIN+30; do echo "$s 120 $((128 + $(kill -l "$s"))) SIG$s 390 1f5fdf9f1f1f"; done
    cat <<'ROWS'
SEGV 79 139 SIGSEGV 80 df9f1f1f1f1f
BUS 80 135 SIGBUS 83 1f1f9f9f1f1f
ILL 81 132 SIGILL 86 dfdfdf9f1f1f
FPE 83 136 SIGFPE 89 1f5fdf9f1f1f
ABRT 154 134 SIGABRT 157 5fdf9f9f1f1f
TRAP 155 133 SIGTRAP 156 1f5fdf9f1f1f
nohup-HUP 120 143 SIGTERM 390 1f5fdf9f1f1f
hup-pending-HUP 0 129 SIGHUP 0
keys-TERM 500 143 SIGTERM 546 1f5fdf9f1f1f
ROWS
  )
  # A CPU limit as bash's ulimit -t sets it (soft = hard, SIGKILL at the limit) reached during
  # keys: SIGXCPU ends the panel between frames, the last bytes a stop and the idle byte.
  wrap='prlimit --cpu=2' qx 60 DISPLAY="$x" "${port[@]}" 2>"$dir/end" & p=$!
  shown $p && DISPLAY=$x xdotool search --pid "$pid" --name 'QX5180 Audio' windowfocus --sync
  while kill -0 $p; do DISPLAY=$x xdotool key --delay 0 --repeat 50 Right Left; done 2>/dev/null
  wait $p
  check "a CPU limit during keys $user" "$(ended $? | cut -d' ' -f1,2,4)" "152 SIGXCPU 1f5fdf9f1f1f"
  # Started with standard error closed, it gets /dev/null there, never the port. In a GNOME
  # session no platform theme (Qt's theme plugins), so no GTK, is loaded, even one asked for by
  # name; set-user-ID, the drop clears the desktop's name (test_backends). Its window's
  # class is its own name, whatever argv[0] holds (here a terminal's escape sequence). It
  # ignores SIGPIPE, so a reader of standard error that leaves ends nothing (its own lines then
  # meet EPIPE: test_backends), and blocks no signal, so none is blocked in a program it starts.
  wrap=$dir/argv0 started DISPLAY="$x" XDG_CURRENT_DESKTOP=GNOME QT_QPA_PLATFORMTHEME=gtk3
  check "descriptor 2 when started without it, themes, signals, WM_CLASS $user" \
    "$(readlink /proc/$pid/fd/2) $(grep -c 'platformthemes\|gtk' "/proc/$pid/maps") $(($(awk \
    '/^SigIgn/ {print "0x" $2}' /proc/$pid/status) >> 12 & 1)) $(awk '/^SigBlk/ {print $2}' \
    /proc/$pid/status) $(xprop -display "$x" -id "$(DISPLAY=$x xdotool search --name \
    'QX5180 Audio')" WM_CLASS)" \
    '/dev/null 0 1 0000000000000000 WM_CLASS(STRING) = "qx5180", "qx5180"'
  kill "$pid"; wait $!
done

[[ $(id -u) -eq 0 ]] || { echo "SKIP: *** a failed drop and set-user-ID need root ***"; exit $failed; }
# A drop from root that fails ends the program before any window opens.
check "failed drop" "$(SUDO_UID=x user= qx 60 DISPLAY=:199 2>&1 | tail -n1; echo "$PIPESTATUS")" \
  $'qx5180: cannot drop root rights: SUDO_UID "x" is not a user id\n1'
# Set-user-ID, run by nobody: the drop leaves it nobody in every id. With no session bus Qt's
# accessibility has D-Bus start one (dbus-launch); a privileged panel runs no program, that
# one included: no exec succeeds but strace's of the panel.
install -m 4755 "$1" "$dir/qx5180"
user= wrap='strace -f -e trace=execve,execveat -u nobody' qx 120 DISPLAY="$x" 2>"$dir/err" &
shown && ids=$(grep '^[UG]id' /proc/$pid/status | tr -s '\t' ' ') && kill "$pid"
wait $!
execs=$(grep execve "$dir/err")
check "ids after the drop, programs run by a set-user-ID panel" "$ids $(grep -c ' = 0$' \
  <<<"$execs") $(grep -c 'dbus-launch.* = -1 EPERM' <<<"$execs" | sed 's/^[1-9][0-9]*$/refused/')" \
  $'Uid: 65534 65534 65534 65534\nGid: 65534 65534 65534 65534 1 refused'
exit $failed
