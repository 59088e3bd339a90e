#!/usr/bin/env bash
# Starts Palinor and the floor program alternately, RUNS times each, and prints the medians of the time
# from main to the first painted window and of the peak memory, with Palinor's ratios to the floor.
# Usage: bench/startup.sh BUILD_FOLDER [RUNS]
set -euo pipefail
build=$1
runs=${2:-21}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
results=$(mktemp)
trap 'rm -f "$results"' EXIT
for _ in $(seq "$runs"); do
  for program in startup_palinor startup_floor; do
    echo "$program $("$build/bench/$program" 2>/dev/null)" >>"$results"
  done
done
awk '
  function median(list, n,    i, j, t) {
    for (i = 2; i <= n; ++i) for (j = i; j > 1 && list[j - 1] > list[j]; --j) { t = list[j]; list[j] = list[j - 1]; list[j - 1] = t }
    return n % 2 ? list[(n + 1) / 2] : (list[n / 2] + list[n / 2 + 1]) / 2
  }
  {
    split($2, a, "="); split($3, b, "=")
    if ($1 == "startup_palinor") { p[++np] = a[2]; pm[np] = b[2] } else { f[++nf] = a[2]; fm[nf] = b[2] }
  }
  END {
    tp = median(p, np); tf = median(f, nf); mp = median(pm, np); mf = median(fm, nf)
    printf "%-44s %10s %10s %8s  %s\n", "start-up (median of " np " runs each)", "Palinor", "floor", "ratio", "goal"
    printf "%-44s %8.2f ms %7.2f ms %8.2f  %s\n", "main to the first painted window", tp / 1000, tf / 1000, tp / tf, (tp / tf <= 1.2 ? "<= 1.2, met" : "<= 1.2, MISSED")
    printf "%-44s %7.1f MiB %6.1f MiB %8.2f  %s\n", "peak memory (resident)", mp / 1024, mf / 1024, mp / mf, (mp / mf <= 1.15 ? "<= 1.15, met" : "<= 1.15, MISSED")
  }' "$results"
