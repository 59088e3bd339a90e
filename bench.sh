#!/usr/bin/env bash
# Builds the benchmarks optimised, runs each five times and prints the medians against their goals.
# Extra arguments go to every benchmark program, e.g. ./bench.sh --benchmark_filter=SignUp
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh libbenchmark-dev

build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS=-Wall -Wextra" \
  -DPALINOR_BUILD_TESTS=OFF -DPALINOR_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target benchmarks

mkdir -p "$build/results"
export QT_QPA_PLATFORM=offscreen
for program in game_bench board_bench score_file_bench import_bench; do
  echo
  echo "== $program"
  "$build/bench/$program" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$build/results/$program.json" --benchmark_out_format=json "$@"
done

echo
echo "== Start-up against the floor"
bench/startup.sh "$build" 31
# As a desktop shows it, from the launch: under Xvfb and openbox when they are installed (./test.sh installs them).
if command -v Xvfb >/dev/null && command -v openbox >/dev/null && command -v xprop >/dev/null; then
  bench/startup.sh --x11 "$build" 31
fi

# One line per benchmark: its median, its goal and whether the median meets it.
echo
echo "== Medians of 5 runs (results in $build/results)"
cat "$build"/results/*.json | awk '
  function ns(value, unit) {
    return value * (unit == "s" ? 1e9 : unit == "ms" ? 1e6 : unit == "us" ? 1e3 : 1)
  }
  function shown(t) {
    return t < 1e3 ? sprintf("%.0f ns", t) : t < 1e6 ? sprintf("%.1f us", t / 1e3) : sprintf("%.1f ms", t / 1e6)
  }
  /"run_name":/ { split($0, q, "\""); name = q[4]; median = 0; label = "" }
  /"aggregate_name": "median"/ { median = 1 }
  /"real_time":/ { gsub(/[ ,]/, "", $2); time = $2 }
  /"time_unit":/ { split($0, q, "\""); unit = q[4] }
  /"label":/ { split($0, q, "\""); label = q[4] }
  /^ *}/ && median { order[++count] = name; t[name] = ns(time, unit); labels[name] = label; median = 0 }
  END {
    printf "%-60s %10s  %-34s %s\n", "benchmark", "median", "goal", "verdict"
    for (i = 1; i <= count; ++i) {
      n = order[i]; goal = "-"; verdict = ""
      if (n ~ /^BM_(RecordDisc|AdvanceRound|UndoLastMove)/) {
        goal = "< 1 us"; verdict = t[n] < 1e3 ? "met" : "MISSED"
      } else if (n == "BM_WholeGame") {
        goal = "< 34 us (34 actions, 1 us each)"; verdict = t[n] < 34e3 ? "met" : "MISSED"
      } else if (n ~ /^BM_Import2000/) {
        goal = "< 1 s (2,000 records imported)"; verdict = t[n] < 1e9 ? "met" : "MISSED"
      } else if (n ~ /^BM_BoardCommand/) {
        goal = "< 0.5 ms"; verdict = t[n] < 0.5e6 ? "met" : "MISSED"
      } else if (n ~ /\/10000$/) {
        goal = "< 50 ms"; verdict = t[n] < 50e6 ? "met" : "MISSED"
      } else if (n ~ /\/100000$/) {
        base = n; sub(/\/100000$/, "/10000", base)
        if (base in t) {
          ratio = t[n] / t[base]
          goal = "x10 records: ratio <= 12.5"
          verdict = sprintf("ratio %.1f, %s", ratio, ratio <= 12.5 ? "met" : "MISSED")
        }
      }
      shownName = n
      if (labels[n] != "") {
        shownName = n; sub(/\/.*/, "", shownName); shownName = shownName ": " labels[n]
      }
      printf "%-60s %10s  %-34s %s\n", shownName, shown(t[n]), goal, verdict
    }
  }'
