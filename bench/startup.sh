#!/usr/bin/env bash
# Starts Palinor and the floor program alternately, RUNS times each, and prints the medians of the time from
# the launch and from main to the first painted window and of the peak memory, then the instructions up to
# that frame (one run each under callgrind, when valgrind is installed), with Palinor's ratios to the floor.
# Off screen, or with --x11 under a new Xvfb and openbox, as a desktop shows the windows.
# Usage: bench/startup.sh [--x11] BUILD_FOLDER [RUNS]
set -euo pipefail
x11=false
if [ "${1:-}" = --x11 ]; then
  x11=true
  shift
fi
build=$1
runs=${2:-21}
results=$(mktemp)
folder=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait || true; rm -rf "$results" "$folder"' EXIT
if $x11; then
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$folder/display" 2>/dev/null &
  for _ in $(seq 100); do [ -s "$folder/display" ] && break; sleep 0.1; done
  DISPLAY=":$(cat "$folder/display")"
  export DISPLAY QT_QPA_PLATFORM=xcb
  openbox >/dev/null 2>&1 &
  for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
else
  export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
fi
for _ in $(seq "$runs"); do
  for program in startup_palinor startup_floor; do
    launched=$EPOCHREALTIME
    line=$("$build/bench/$program" 2>/dev/null)
    echo "$program $line launch_us=$((${EPOCHREALTIME/[.,]/} - ${launched/[.,]/}))" >>"$results"
  done
done
# Counted in the program's own process: under X11 with no session bus, Qt forks to try dbus-launch, and
# valgrind reports that child too.
if command -v valgrind >/dev/null; then
  for program in startup_palinor startup_floor; do
    echo "$program instructions=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null "$build/bench/$program" \
      2>&1 >/dev/null | awk '/Command:/ && !pid { pid = $1 } $1 == pid && /Collected/ { print $4 }')" >>"$results"
  done
fi
awk -v x11="$x11" '
  # The median of the values of key for program, runs[program] of them.
  function median(key, program,    list, n, i, j, t) {
    n = runs[program]
    for (i = 1; i <= n; ++i) list[i] = values[key, program, i]
    for (i = 2; i <= n; ++i) for (j = i; j > 1 && list[j - 1] > list[j]; --j) { t = list[j]; list[j] = list[j - 1]; list[j - 1] = t }
    return n % 2 ? list[(n + 1) / 2] : (list[n / 2] + list[n / 2 + 1]) / 2
  }
  function row(name, key, unit, scale, goal,    p, f) {
    p = key == "instructions" ? count["startup_palinor"] : median(key, "startup_palinor")
    f = key == "instructions" ? count["startup_floor"] : median(key, "startup_floor")
    printf "%-48s %7.2f %-3s %7.2f %-3s %6.2f  %s\n", name, p / scale, unit, f / scale, unit, p / f,
           goal == "" ? "-" : "<= " goal ", " (p / f <= goal + 0 ? "met" : "MISSED")
  }
  $2 ~ /^instructions=/ { split($2, kv, "="); count[$1] = kv[2]; next }
  {
    n = ++runs[$1]
    for (i = 2; i <= NF; ++i) { split($i, kv, "="); values[kv[1], $1, n] = kv[2] }
  }
  END {
    printf "%-48s %11s %11s %6s  %s\n", "start-up " (x11 == "true" ? "under Xvfb and openbox" : "off screen") \
           " (median of " runs["startup_palinor"] ")", "Palinor", "floor", "ratio", "goal"
    row("launch to the first painted window", "launch_us", "ms", 1000, x11 == "true" ? "1.10" : "")
    row("main to the first painted window", "startup_us", "ms", 1000, "1.20")
    row("peak memory (resident)", "maxrss_kb", "MiB", 1024, "1.05")
    if ("startup_palinor" in count)
      row("instructions to the first painted frame", "instructions", "M", 1e6, "1.15")
  }' "$results"
