# Sourced by the tests that run the real program: a scratch folder cleaned up on exit, an X server, the keyboard.

# A scratch folder in $work; every background job of the test is stopped and the folder removed on exit.
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait || true; rm -rf "$work"' EXIT

# start_xvfb [WIDTHxHEIGHT]: an Xvfb on a free display, exported as DISPLAY, with nothing else of the caller's
# desktop. Exits 77 (skipped) when the server cannot start.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "SKIPPED: Xvfb could not start"; cat "$work/xvfb.log"; exit 77; }
  export DISPLAY=":$(cat "$work/display")"
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY
}
# start_openbox [PANEL]: the window manager the program's windows are shown by, keeping PANEL pixels free at the
# bottom of the screen as a taskbar would. Exits 77 (skipped) when it cannot start.
start_openbox() {
  sed "s|<bottom>0</bottom>|<bottom>${1:-0}</bottom>|" /etc/xdg/openbox/rc.xml >"$work/rc.xml" 2>/dev/null || true
  openbox --config-file "$work/rc.xml" >"$work/openbox.log" 2>&1 &
  for _ in $(seq 300); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return; sleep 0.1; done
  echo "SKIPPED: no openbox"; cat "$work/openbox.log"; exit 77
}
# start_palinor PROGRAM [ARGUMENT...]: a copy of the program, run from the scratch folder, where it keeps its scores.
start_palinor() {
  cp "$1" "$work/Palinor"; shift
  (cd "$work" && exec ./Palinor "$@" >"$work/palinor.log" 2>&1) &
}
# To stderr as well: a window looked for inside $(...) fails in a subshell, whose stdout is captured.
fail() { { echo "FAILED: $*"; echo "--- program output"; cat "$work/palinor.log" 2>/dev/null; } >&2; exit 1; }
sanitizers_quiet() { ! grep -qE 'AddressSanitizer|runtime error' "$work/palinor.log" || fail "the sanitizers spoke"; }

board='^VERTALINE ET LE BILLARD HOLLANDAIS\.\.\.$'
keys() { xdotool key --delay 120 "$@"; sleep 0.3; }
# focus TITLE [OTHER_THAN]: waits up to 30 s for a visible window whose whole title matches, other than the window
# given, gives it the keyboard focus (bare Xvfb has no window manager) and prints its id.
focus() {
  local id=""
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -vx "${2:-none}" | head -n 1) || true
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || fail "no window '$1'"
  xdotool windowfocus --sync "$id" 2>/dev/null || true
  sleep 0.3
  echo "$id"
}
# give_focus ID, under a window manager: keys go to the active window, so this waits until the window manager
# has made it so. Openbox now and then leaves the focus to the pointer: the focus is given, the pointer put there.
give_focus() {
  xdotool windowactivate --sync "$1" 2>/dev/null || true
  for _ in $(seq 50); do [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && break; sleep 0.1; done
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  xdotool mousemove --window "$1" 1 1 2>/dev/null || true
}
