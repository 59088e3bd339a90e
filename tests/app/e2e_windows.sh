#!/usr/bin/env bash
# Every window of the real program as a window manager (openbox) shows it: exact titles, client areas at the
# scale in use, centred frames, a board that fits the screen; screenshots of each window.
# Usage: e2e_windows.sh PALINOR SCREENSHOT_FOLDER WIDTHxHEIGHT SCALE light|dark
# Exits 77 (skipped) only when Xvfb or openbox cannot start.
set -euo pipefail
. "$(dirname "$0")/xvfb.sh"
out=$2 screen=$3 scale=$4 theme=$5
tag="${scale/./_}-$theme"
mkdir -p "$out"

start_xvfb "$screen"
openbox >"$work/openbox.log" 2>&1 &
for _ in $(seq 200); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window || { echo "SKIPPED: openbox could not start"; cat "$work/openbox.log"; exit 77; }

unset QT_SCALE_FACTOR QT_QPA_PLATFORMTHEME
[ "$scale" = 1 ] || export QT_SCALE_FACTOR="$scale"
if [ "$theme" = dark ]; then export QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark; fi
cp "$1" "$work/Palinor"
(cd "$work" && exec ./Palinor >"$work/palinor.log" 2>&1) &

# To stderr as well: a window looked for inside $(...) fails in a subshell, whose stdout is captured.
fail() {
  { echo "FAILED ($tag): $*"; echo "--- program output"; cat "$work/palinor.log"
    pgrep -x openbox >/dev/null || { echo "--- openbox has stopped:"; cat "$work/openbox.log"; }; } >&2
  exit 1
}
read -r screen_w screen_h <<<"${screen/x/ }"
keys() { xdotool key --delay 100 "$@"; sleep 0.4; }
window() { timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1 || fail "no window '$1'"; }
# The keys that follow go to the active window: wait until the window manager has made it so. Openbox now and
# then leaves the input focus to the pointer instead: the focus is given and the pointer put there too.
give_focus() {
  xdotool windowactivate --sync "$1" 2>/dev/null || true
  for _ in $(seq 50); do [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && break; sleep 0.1; done
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  xdotool mousemove --window "$1" 1 1 2>/dev/null || true
}
# open_with TITLE KEY...: presses the keys and waits for the window they open. A window just activated may take
# its first key before Qt knows that it is active, and lose it: the keys are pressed again, up to three times.
# Every such key is meant for the board, which is given the focus first.
open_with() {
  local title=$1 id=""
  shift
  for _ in 1 2 3; do
    give_focus "$board"
    keys "$@"
    id=$(timeout 10 xdotool search --sync --onlyvisible --name "$title" | head -n 1) || true
    [ -n "$id" ] && { echo "$id"; return; }
  done
  fail "no window '$title' after $*; the focus is on '$(xdotool getwindowfocus getwindowname 2>&1)'," \
    "the active window is '$(xdotool getactivewindow getwindowname 2>&1)'"
}
# The window's title, client size and frame as the window manager knows them.
title() { xprop -id "$1" _NET_WM_NAME | sed -n 's/^[^"]*"\(.*\)"$/\1/p'; }
info() { xwininfo -id "$1" | sed -n "s/^ *$2: *//p"; }
extents() { xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' '; }
# near A B [TOLERANCE]: equal within one pixel, or the tolerance given.
near() { awk -v a="$1" -v b="$2" -v t="${3:-1.01}" 'BEGIN { exit !(a - b <= t && b - a <= t) }'; }

# check ID TITLE WIDTH HEIGHT centred|placed [menu]: the size in design pixels, scaled by the factor in use.
check() {
  local id=$1 want=$2 w=$3 h=$4 where=$5 menu=${6:-}
  sleep 0.5 # the frame and the final position arrive after the window is mapped
  [ "$(title "$id")" = "$want" ] || fail "title '$(title "$id")' instead of '$want'"
  local cw ch x y
  cw=$(info "$id" Width) ch=$(info "$id" Height) x=$(info "$id" "Absolute upper-left X") y=$(info "$id" "Absolute upper-left Y")
  near "$cw" "$(awk -v n="$w" -v f="$factor" 'BEGIN { print n * f }')" || fail "'$want' is $cw wide, not $w x $factor"
  if [ -n "$menu" ]; then
    # The board lies below the menu bar: the client area is the board and a menu bar of 15 to 40 pixels.
    awk -v c="$ch" -v n="$h" -v f="$factor" 'BEGIN { m = c - n * f; exit !(m >= 15 * f - 1 && m <= 40 * f) }' ||
      fail "'$want' is $ch high: not $h x $factor with a menu bar"
  else
    near "$ch" "$(awk -v n="$h" -v f="$factor" 'BEGIN { print n * f }')" || fail "'$want' is $ch high, not $h x $factor"
  fi
  IFS=, read -r left right top bottom <<<"$(extents "$id")"
  local fx=$((x - left)) fy=$((y - top)) fw=$((cw + left + right)) fh=$((ch + top + bottom))
  [ "$fx" -ge 0 ] && [ "$fy" -ge 0 ] && [ $((fx + fw)) -le "$screen_w" ] && [ $((fy + fh)) -le "$screen_h" ] ||
    fail "'$want' does not fit the screen: frame ${fw}x${fh} at $fx,$fy"
  if [ "$where" = centred ]; then
    # Twice the offset: one pixel each side, more when a fractional scale rounds the frame.
    local slack
    slack=$(awk -v f="$factor" 'BEGIN { print 2 * (f > 1 ? f : 1) + 1.01 }')
    near $((2 * fx + fw)) "$screen_w" "$slack" || fail "'$want' frame is not centred across: ${fw} wide at $fx"
    near $((2 * fy + fh)) "$screen_h" "$slack" || fail "'$want' frame is not centred down: ${fh} high at $fy"
  fi
  give_focus "$id"
  sleep 0.2
  # The window with its frame, as a person sees it.
  import -window root -crop "${fw}x${fh}+${fx}+${fy}" +repage \
    "$out/$(echo "$want" | tr -cs 'A-Za-z' '-' | sed 's/^-//; s/-$//' | tr 'A-Z' 'a-z')-$tag.png"
}

board=$(window '^VERTALINE ET LE BILLARD HOLLANDAIS\.\.\.$')
sleep 0.5
# The scale in use: the requested one, or less when the board would not fit the screen.
factor=$(awk -v w="$(info "$board" Width)" 'BEGIN { print w / 792 }')
awk -v f="$factor" -v s="$scale" 'BEGIN { exit !(f <= s + 0.01 && f >= 0.5) }' || fail "scale $factor for $scale"
check "$board" 'VERTALINE ET LE BILLARD HOLLANDAIS...' 792 547 centred menu

box=$(open_with '^Palinor$' F1)                # no game yet: a message box titled with the program's name
[ "$(title "$box")" = Palinor ] || fail "the message box is titled '$(title "$box")', not 'Palinor'"
import -window root "$out/message-$tag.png"
give_focus "$box"
keys Return

check "$(open_with '^Inscription$' Return)" Inscription 327 152 centred   # "Nouvelle partie"
keys Tab
xdotool type --delay 60 'martin'
keys Return

check "$(open_with '^ {40}Tableau des scores$' ctrl+s)" "$(printf '%40s' '')Tableau des scores" 756 566 centred
keys Return

check "$(open_with '^Aide$' ctrl+F1)" Aide 708 206 placed
keys Escape

if grep -qE 'AddressSanitizer|runtime error' "$work/palinor.log"; then fail "the sanitizers spoke"; fi
echo "Windows as designed at scale $factor ($scale asked), $theme theme, on $screen; screenshots in $out"
