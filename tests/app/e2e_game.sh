#!/usr/bin/env bash
# Plays a whole game in the real program under a real X server, with the keyboard, as a person would.
# Usage: e2e_game.sh PALINOR_EXECUTABLE SCREENSHOT_FOLDER. Exits 77 (skipped) only when Xvfb cannot start.
set -euo pipefail
. "$(dirname "$0")/xvfb.sh"
out=$2
mkdir -p "$out"

start_xvfb
# Its own copy in a folder of its own: billard.mdb is made beside it.
cp "$1" "$work/Palinor"
(cd "$work" && exec ./Palinor >"$work/palinor.log" 2>&1) &

fail() { { echo "FAILED: $*"; echo "--- program output"; cat "$work/palinor.log"; } >&2; exit 1; }
shot() { import -window root "$out/$1.png"; }

focus "$board" >/dev/null
shot board-start
keys Return                       # the hidden default button: "Nouvelle partie"
focus '^Inscription$' >/dev/null
keys Tab                          # from the list of names to the name box
xdotool type --delay 80 'dupont'
keys Return
focus "$board" >/dev/null
keys F1 F2 F3 F4 F4               # round 1: 1, 1, 1, 2 -> 24
keys shift+F5                     # round 2
keys F4 F4 F2                     # 1, 2, 1, 4 -> 34
keys Delete                       # takes back the last disc: 1, 1, 1, 4 -> 32
focus "$board" >/dev/null
shot board-in-game
keys shift+F5 F3                  # round 3: 1, 1, 2, 4 -> 35
keys shift+F5                     # past round 3: the end of the game
focus '^Palinor$' >/dev/null       # "GAME OVER"
shot game-over
keys Return
focus '^ {40}Tableau des scores$' >/dev/null
shot score-table
keys Return
focus "$board" >/dev/null
shot board-after-game

stored=$(sqlite3 "$work/billard.mdb" 'SELECT "Nom Complet" || "=" || Score FROM nom')
[ "$stored" = "DUPONT=35" ] || fail "billard.mdb holds '$stored' instead of 'DUPONT=35'"
if grep -qE 'AddressSanitizer|runtime error' "$work/palinor.log"; then fail "the sanitizers spoke"; fi
echo "A whole game played with the keyboard: billard.mdb holds $stored; screenshots in $out"
