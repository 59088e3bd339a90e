#!/usr/bin/env bash
# Plays the Windows zip under Wine, as a Windows player would: a fresh Wine prefix, Xvfb with openbox, the zip
# unpacked, Palinor.exe started; the board's exact caption, a short game with the keyboard, billard.mdb beside
# the exe read back, Qt's French texts loaded, and the window manager's close box ending the program.
# Usage: scripts/wine-test.sh Palinor-<version>-win64.zip. Fails when any of it fails.
set -euo pipefail
zip_file=$(realpath "$1")
cd "$(dirname "$0")/.."
. scripts/wine-desktop.sh
fail() {
  { echo "FAILED under Wine: $*"; echo "--- program output"; cat "$work/palinor.log" 2>/dev/null
    echo "--- translations the program looked for"; grep -a "qtbase\\|\\.qm" "$work/opened.log" 2>/dev/null | head; } >&2
  exit 1
}
new_prefix
# Wine's server opens the files: it is started afresh under strace with the program, not left from the set-up.
wineserver --wait
(cd "$work" && unzip -q "$zip_file")
program=$work/Palinor

# Every file the program opens, to see Qt's French texts read.
(cd "$program" && exec strace -f -qq -e trace=openat -o "$work/opened.log" wine Palinor.exe >"$work/palinor.log" 2>&1) &
window() {
  local id
  id=$(timeout 60 xdotool search --sync --onlyvisible --name "$1" | head -n 1) || fail "no window '$1'"
  echo "$id"
}
keys() { xdotool key --delay 150 "$@"; sleep 0.6; }
main=$(window "$board")
give_focus "$main"
keys Return                                   # "Nouvelle partie"
signup=$(window '^Inscription$')
give_focus "$signup"
keys Tab
xdotool type --delay 100 'wine'
keys Return
give_focus "$main"
keys F1 F2 F3 F4 F4                           # 1, 1, 1, 2: 24
keys shift+F5 shift+F5 shift+F5               # past round 3: the end
over=$(window '^Palinor$')
give_focus "$over"
keys Return                                   # "GAME OVER"
table=$(window '^ {40}Tableau des scores$')
give_focus "$table"
keys Return
sleep 1
fresh=$(window "$board")

stored=$(sqlite3 "$program/billard.mdb" 'SELECT "Nom Complet" || "=" || Score FROM nom')
[ "$stored" = "WINE=24" ] || fail "billard.mdb beside the exe holds '$stored' instead of 'WINE=24'"
grep -q 'translations/qtbase_fr.qm", O_RDONLY' "$work/opened.log" || fail "Qt's French texts were never read"

# The window manager's close box, on the board shown afresh after the game, clicked with the mouse: the
# button at the right end of openbox's title bar.
read -r left right top _ <<<"$(xprop -id "$fresh" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' ' | tr ',' ' ')"
read -r x y width <<<"$(xwininfo -id "$fresh" | sed -n 's/^ *\(Absolute upper-left [XY]\|Width\): *//p' | tr '\n' ' ')"
xdotool mousemove $((x + width + right - 4 - top / 2)) $((y - top / 2)) click 1
for _ in $(seq 100); do pgrep -f 'Palinor.exe' >/dev/null || break; sleep 0.1; done
! pgrep -f 'Palinor.exe' >/dev/null || fail "the close box did not end the program"
# The first sign-up made the file: nothing of its making is left beside it.
! ls "$program" | grep -q '\.tmp' || fail "left beside billard.mdb: $(ls "$program" | grep '\.tmp')"
echo "Palinor.exe played a game under Wine"
