#!/usr/bin/env bash
# Every window of the real program as openbox shows it: exact titles, client areas at the scale in use, frames that
# fit the screen and are centred. Usage: e2e_windows.sh PALINOR WIDTHxHEIGHT SCALE light|dark. Exits 77 (skipped)
# only when Xvfb or openbox cannot start.
set -euo pipefail
. "$(dirname "$0")/xvfb.sh"
read -r screen_w screen_h <<<"${2/x/ }"

start_xvfb "$2"
start_openbox
export QT_SCALE_FACTOR="$3" QT_QPA_PLATFORMTHEME=
[ "$4" = light ] || export QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark
start_palinor "$1"

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
# check ID WIDTH HEIGHT centred|placed [menu]: the client area in design pixels at the scale in use, below a menu
# bar of 15 to 40 pixels for the board; a frame that fits the screen and, unless placed, is centred on it.
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
    if ((c[3] - w * f) ^ 2 > 1.03 || (menu ? m < 15 * f - 1 || m > 40 * f : m ^ 2 > 1.03)) exit 1
    if (x < 0 || y < 0 || x + fw > sw || y + fh > sh) exit 2
    if (where == "centred" && ((2 * x + fw - sw) ^ 2 > slack ^ 2 || (2 * y + fh - sh) ^ 2 > slack ^ 2)) exit 3
  }' || fail "window $1 fails check $? (1 size, 2 fit, 3 centre) for $2x$3 at $factor: client $area, frame $frame"
}

board_id=$(timeout 30 xdotool search --sync --onlyvisible --name "$board" | head -n 1) || fail "no board window"
# The scale in use: the one asked for, or less only when the board at that scale is taller than the screen.
factor=$(xwininfo -id "$board_id" | awk '/^ *Width:/ { print $2 / 792 }')
awk -v f="$factor" -v s="$3" -v h="$screen_h" \
  'BEGIN { exit !(f <= s + 0.01 && f >= 0.5 && (f >= s - 0.01 || 547 * s > h)) }' || fail "scale $factor for $3"
check "$board_id" 792 547 centred menu
check "$(open_with '^Inscription$' Return)" 327 152 centred
keys Tab
xdotool type --delay 60 'martin'
keys Return
check "$(open_with '^ {40}Tableau des scores$' ctrl+s)" 756 566 centred
keys Return
check "$(open_with '^Aide$' ctrl+F1)" 708 206 placed
keys Escape
sanitizers_quiet
echo "Windows as designed at scale $factor ($3 asked), $4 theme, on $2"
