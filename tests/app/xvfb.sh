# Sourced by the tests that run the real program: a scratch folder cleaned up on exit, and an X server.

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
