#!/usr/bin/env bash
# Every window of the real program as openbox shows it: exact titles, client areas at the scale asked, frames that
# fit the work area and are centred on it; then the board's controls clicked where they are drawn. Usage:
# e2e_windows.sh PALINOR WIDTHxHEIGHT SCALE light|dark [PANEL], PANEL pixels kept free at the bottom as by a
# taskbar. Exits 77 (skipped) only when Xvfb or openbox cannot start.
set -euo pipefail
. "$(dirname "$0")/xvfb.sh"
read -r screen_w screen_h <<<"${2/x/ }"
screen_h=$((screen_h - ${5:-0})) # the work area
factor=$3

start_xvfb "$2"
start_openbox "${5:-0}"
export QT_SCALE_FACTOR="$3" QT_QPA_PLATFORMTHEME=
[ "$4" = light ] || export QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark
# Qt's own options change nothing: the program reads no command line (mirrored, every click below would miss).
start_palinor "$1" -reverse -style fusion -platform offscreen

# open_with TITLE KEY...: gives the board the focus, presses the keys and waits for the window whose whole title
# matches. A window just activated may lose its first key: the keys are pressed again, up to three times.
open_with() {
  local title=$1 id=""
  shift
  for _ in 1 2 3; do
    give_focus "$board_id"
    keys "$@"
    id=$(timeout 10 xdotool search --sync --onlyvisible --name "$title" | head -n 1) || true
    [ -n "$id" ] && { echo "$id"; return; }
  done
  fail "no window '$title' after $*; the active window is '$(xdotool getactivewindow getwindowname 2>&1)'"
}
# check ID WIDTH HEIGHT centred|placed [menu]: the client area in design pixels at the scale asked, below a menu
# bar of 15 to 40 pixels for the board; a frame that fits the work area and, unless placed, is centred on it. A
# window too tall for the work area is as high as the area, never narrower than its design: its content scrolls.
check() {
  sleep 0.5 # the frame and the final position arrive after the window is mapped
  local area frame
  area=$(xwininfo -id "$1" | sed -n 's/^ *\(Absolute upper-left [XY]\|Width\|Height\): *//p' | tr '\n' ' ')
  frame=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ',')
  # Sizes within a pixel; the centre within a pixel each side, more when a fractional scale rounds the frame.
  awk -v a="$area" -v e="$frame" -v w="$2" -v h="$3" -v f="$factor" -v where="$4" -v menu="${5:-}" \
      -v sw="$screen_w" -v sh="$screen_h" 'BEGIN {
    split(a, c, " "); split(e, b, " ") # c: x, y, width, height; b: left, right, top, bottom
    x = c[1] - b[1]; y = c[2] - b[3]; fw = c[3] + b[1] + b[2]; fh = c[4] + b[3] + b[4]; m = c[4] - h * f
    slack = 2 * (f > 1 ? f : 1) + 1.01
    if (m < (menu ? 15 * f : 0) - 1 ? c[3] < w * f - 1 || (fh - sh) ^ 2 > 1.03 \
                                    : (c[3] - w * f) ^ 2 > 1.03 || (menu ? m > 40 * f : m ^ 2 > 1.03)) exit 1
    if (x < 0 || y < 0 || x + fw > sw || y + fh > sh) exit 2
    if (where == "centred" && ((2 * x + fw - sw) ^ 2 > slack ^ 2 || (2 * y + fh - sh) ^ 2 > slack ^ 2)) exit 3
  }' || fail "window $1 fails check $? (1 size, 2 fit, 3 centre) for $2x$3 at $factor: client $area, frame $frame"
}

board_id=$(timeout 30 xdotool search --sync --onlyvisible --name "$board" | head -n 1) || fail "no board window"
check "$board_id" 792 547 centred menu
# Where the board starts below the menu bar: its first row of brown, once drawn.
for _ in $(seq 100); do
  top=$(import -window "$board_id" -crop 1x100+1+0 -depth 8 txt:- |
        awk -F '[,:]' '/#804000/ && !t { t = $2 } END { print t }')
  [ -n "$top" ] && break || sleep 0.3
done
[ -n "$top" ] || fail "no board drawn below the menu bar"
check "$(open_with '^Inscription$' Return)" 327 152 centred
keys Tab
xdotool type --delay 60 'martin'
keys Return
check "$(open_with '^Aide$' ctrl+F1)" 708 206 placed
keys Escape
timeout 30 bash -c 'while xdotool search --onlyvisible --name "^Aide$"; do sleep 0.1; done' >/dev/null ||
  fail "Aide stays open"

# The board's controls clicked in their middle, given in design pixels: each pocket, then each round line.
click() { xdotool mousemove --window "$board_id" $(awk -v f="$factor" -v t="$top" -v x="$1" -v y="$2" \
  'BEGIN { print int(x * f), int(t + y * f) }') click 1; sleep 0.3; }
give_focus "$board_id"
for x in 192 48 96 144; do click "$x" 128; done   # Command1 (1) to (4): a disc in each pocket
keys F1 F2 F3 F4 F4 Delete                        # one more in each: 2, 2, 2, 2 discs score 40
for y in 180 260 340 420; do click 524 "$y"; done # Label2 (1) to (4): round 1 is on; 2, 3, then past 3
focus '^Palinor$' >/dev/null                      # "GAME OVER"
keys Return
check "$(focus '^ {40}Tableau des scores$')" 756 566 centred
keys Return                                       # the default button, and a fresh board after the game
check "$(focus "$board" "$board_id")" 792 547 centred menu
score=$(sqlite3 "$work/billard.mdb" 'SELECT Score FROM nom')
[ "$score" = 40 ] || fail "MARTIN scored '$score', not 40: a click or a key went astray"
sanitizers_quiet
echo "Windows as designed at scale $3, $4 theme, on $2 with ${5:-0} pixels kept free; the board played by clicks"
