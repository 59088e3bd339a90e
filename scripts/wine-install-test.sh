#!/usr/bin/env bash
# Installs the Windows setup under Wine as a player would and takes it away again: a fresh Wine prefix, the setup
# run silently, the older program's Access file put in %APPDATA%\Palinor, Palinor started by its Start menu
# shortcut; the file imported by the 32-bit reader (mdbtools' ODBC driver registered under the name of Windows'
# Jet driver, as in scripts/wine-unit-tests.sh), a game played with the keyboard, the scores read back;
# then the silent uninstall, after which only the scores remain.
# Usage: scripts/wine-install-test.sh Palinor-<version>-win64-setup.exe. Fails when any of it fails.
set -euo pipefail
setup=$(realpath "$1")
cd "$(dirname "$0")/.."
. scripts/wine-desktop.sh
new_prefix
wine "$setup" /S && wineserver --wait || fail "the setup failed"
program="$WINEPREFIX/drive_c/Program Files/Palinor"
link="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Palinor.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Palinor'
[ "$(strings -a "$link" | grep -ix '[a-z]:\\.*\.exe')" = 'C:\Program Files\Palinor\Palinor.exe' ] ||
  fail "the Start menu has no shortcut to C:\\Program Files\\Palinor\\Palinor.exe"
[ "$(wine reg query "$key" /v QuietUninstallString /reg:64 | grep -c 'Uninstall.exe" /S')" = 1 ] ||
  fail "no uninstaller registered"

scores="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Palinor"
mkdir -p "$scores" "$work/odbc"
cp tests/data/access2000/billard.mdb "$scores/"
printf '[Microsoft Access Driver (*.mdb)]\nDriver = %s\n' "$(dpkg -L odbc-mdbtools:i386 | grep '/libmdbodbcW\.so$')" \
  >"$work/odbc/odbcinst.ini"
ODBCSYSINI=$work/odbc wine start "$(winepath -w "$link")" >"$work/palinor.log" 2>&1
keys() { xdotool key --delay 150 "$@"; sleep 0.6; }
# step TITLE [OTHER_THAN [KEY...]]: the window, other than the one given, made active, the keys pressed; its id.
step() { local id; id=$(focus "$1" "${2:-none}"); give_focus "$id"; [ $# -le 2 ] || keys "${@:3}"; echo "$id"; }
step "$board" '' Return >/dev/null                          # "Nouvelle partie"
question=$(step '^Palinor$' '' Return)                      # "Importer"
step '^Palinor$' "$question" Return >/dev/null              # how the import went
step '^Inscription$' '' Tab >/dev/null
xdotool type --delay 100 'wine'
keys Return
step "$board" '' F1 F2 F3 F4 F4 shift+F5 shift+F5 shift+F5 >/dev/null # 1, 1, 1, 2: 24, and past round 3
over=$(step '^Palinor$' '' Return)                          # "GAME OVER"
step '^Palinor$' "$over" Return >/dev/null                  # the old file's unreadable records
step '^ {40}Tableau des scores$' '' Return >/dev/null
wmctrl -i -c "$(step "$board")"
for _ in $(seq 100); do pgrep -f 'Palinor.exe' >/dev/null || break; sleep 0.1; done
! pgrep -f 'Palinor.exe' >/dev/null || fail "the program did not end when its window was closed"
stored=$(sqlite3 "$scores/billard.mdb" "SELECT count(*), max(iif(\"Nom Complet\" = 'WINE', Score, NULL)) FROM nom")
[ "$stored" = "15|24" ] || fail "%APPDATA%\\Palinor\\billard.mdb holds '$stored', not the 14 imported and WINE|24"

wine "$program/Uninstall.exe" /S && wineserver --wait || fail "the uninstaller failed"
[ ! -e "$program" ] || fail "the uninstaller left $(find "$program")"
[ ! -e "$link" ] || fail "the uninstaller left the Start menu's shortcut"
! wine reg query "$key" /reg:64 >/dev/null 2>&1 || fail "the uninstaller left $key"
[ "$(ls "$scores")" = $'billard-ancien.mdb\nbillard.mdb' ] || fail "%APPDATA%\\Palinor holds $(ls "$scores")"
echo "Palinor installed, started from the Start menu, imported the old file, played and uninstalled under Wine"
