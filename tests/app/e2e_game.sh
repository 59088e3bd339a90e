#!/usr/bin/env bash
# Plays a whole game in the real program under a real X server, with the keyboard, as a person would.
# Usage: e2e_game.sh PALINOR_EXECUTABLE OUTPUT_FOLDER
# Exits 77 (skipped) only when Xvfb cannot start.
set -euo pipefail

program=$1
out=$2
mkdir -p "$out"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

display_file="$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
if [ ! -s "$display_file" ]; then
  echo "SKIPPED: Xvfb could not start"; cat "$work/xvfb.log" || true
  exit 77
fi
export DISPLAY=":$(cat "$display_file")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

# Its own copy in a folder of its own: billard.mdb is made beside it.
cp "$program" "$work/Palinor"
(cd "$work" && exec ./Palinor >"$work/palinor.log" 2>&1) &
pids+=($!)

fail() { echo "FAILED: $*"; echo "--- program output"; cat "$work/palinor.log"; exit 1; }
# Waits for a window whose whole title matches, and gives it the focus: bare Xvfb has no window manager.
focus() {
  local id
  id=$(timeout 15 xdotool search --sync --onlyvisible --name "$1" | head -n 1) || fail "no window '$1'"
  xdotool windowfocus --sync "$id"
  sleep 0.2
}
keys() { xdotool key --delay 120 "$@"; sleep 0.3; }
board='^VERTALINE ET LE BILLARD HOLLANDAIS\.\.\.$'

focus "$board"
import -window root "$out/board-start.png"
keys Return                       # the hidden default button: "Nouvelle partie"
focus '^Inscription$'
keys Tab                          # from the list of names to the name box
xdotool type --delay 80 'dupont'
keys Return

focus "$board"
keys F1 F2 F3 F4 F4               # round 1: 1, 1, 1, 2 -> 24
keys shift+F5                     # round 2
keys F4 F4 F2                     # 1, 2, 1, 4 -> 34
import -window root "$out/board-in-game.png"
keys Delete                       # takes back the last disc: 1, 1, 1, 4 -> 32
focus "$board"
keys shift+F5                     # round 3
keys F3                           # 1, 1, 2, 4 -> 35
import -window root "$out/board-round-3.png"
keys shift+F5                     # past round 3: the end of the game

focus '^Palinor$'                 # "GAME OVER"
import -window root "$out/game-over.png"
keys Return
focus '^ {40}Tableau des scores$'
import -window root "$out/score-table.png"
keys Return

focus "$board"
import -window root "$out/board-after-game.png"

stored=$(sqlite3 "$work/billard.mdb" 'SELECT "Nom Complet" || "=" || Score FROM nom')
[ "$stored" = "DUPONT=35" ] || fail "billard.mdb holds '$stored' instead of 'DUPONT=35'"
if grep -qE 'AddressSanitizer|runtime error' "$work/palinor.log"; then fail "the sanitizers spoke"; fi
echo "A whole game played with the keyboard: billard.mdb holds $stored; screenshots in $out"
