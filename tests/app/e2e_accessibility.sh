#!/usr/bin/env bash
# Follows a game by ear: the real program under Xvfb, with a D-Bus session and an accessibility bus of its own,
# read over AT-SPI as a screen reader reads it. Usage: e2e_accessibility.sh PALINOR_EXECUTABLE.
# Exits 77 (skipped) only when Xvfb, the session bus or the accessibility bus cannot start.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$(dirname "$0")/xvfb.sh"

start_xvfb
unset AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS

if ! dbus-run-session -- true 2>"$work/dbus.log"; then
  echo "SKIPPED: no D-Bus session bus could start"; cat "$work/dbus.log"; exit 77
fi
# Debian's own Python: python3-pyatspi is installed for it, whatever python3 comes first on the PATH.
dbus-run-session -- /usr/bin/python3 "$here/accessibility_game.py" "$1"
