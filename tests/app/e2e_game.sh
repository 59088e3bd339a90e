#!/usr/bin/env bash
# The real program beside the older program's Access file, under Xvfb, driven with the keyboard and heard over
# AT-SPI: the first sign-up imports the file, a new player joins the imported names and plays a whole game.
# Usage: e2e_game.sh PALINOR ACCESS_FILE. Exits 77 (skipped) only when Xvfb or the accessibility bus cannot start.
set -euo pipefail
[ -n "${PALINOR_OWN_BUS:-}" ] || PALINOR_OWN_BUS=1 exec dbus-run-session -- "$0" "$@" # never the desktop's bus
. "$(dirname "$0")/xvfb.sh"

start_xvfb
# What a screen reader hears, written down by a listener on an accessibility bus of the test's own.
unset AT_SPI_BUS_ADDRESS
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/libexec/at-spi-bus-launcher --launch-immediately 2>/dev/null &
# Debian's own Python: python3-pyatspi is installed for it, whatever python3 comes first on the PATH.
/usr/bin/python3 "$(dirname "$0")/hear.py" >"$work/heard" 2>"$work/hear.log" &
for _ in $(seq 150); do grep -q listening "$work/heard" && break; sleep 0.1; done
grep -q listening "$work/heard" || { echo "SKIPPED: no accessibility bus"; cat "$work/hear.log"; exit 77; }

cp "$(dirname "$1")/palinor-access-reader" "$work/"
cp "$2" "$work/billard.mdb"
start_palinor "$1"
focus "$board" >/dev/null
keys Return                               # the hidden default button: "Nouvelle partie"
question=$(focus '^Palinor$')
keys Return                               # "Importer", the default
focus '^Palinor$' "$question" >/dev/null # how the import went
keys Return
focus '^Inscription$' >/dev/null
keys Tab                                  # from the list of names to the name box
xdotool type --delay 80 'martin'
keys Return
focus "$board" >/dev/null
keys F1 F2 F3 F4 F4                       # round 1: 1, 1, 1, 2 -> 24
keys shift+F5 F4 F4 F2 Delete             # round 2: 1, 2, 1, 4 -> 34, the last disc taken back -> 32
keys shift+F5 F3 shift+F5                 # round 3: 1, 1, 2, 4 -> 35, then past round 3: the end of the game
over=$(focus '^Palinor$')                 # "GAME OVER"
keys Return
focus '^Palinor$' "$over" >/dev/null      # the old file's unreadable records, told before the table
keys Return
focus '^ {40}Tableau des scores$' >/dev/null
keys Return
focus "$board" >/dev/null
keys ctrl+F1
focus '^Aide$' >/dev/null

stored=$(sqlite3 "$work/billard.mdb" "SELECT count(*), max(iif(\"Nom Complet\" = 'MARTIN', Score, NULL)) FROM nom")
[ "$stored" = "15|35" ] || fail "billard.mdb holds '$stored' (records|MARTIN's score), not the 14 imported and MARTIN|35"
# The focused button, the question, the list, the board's sentence, the box, the table and its first line, the page.
for said in "Nouvelle partie | Aucune partie en cours" "Importer | Le fichier des scores" \
            "Joueurs inscrits | Choisissez votre nom" "Nouvelle partie | Poche 1 : 1 palet." "| 11 joueurs classés." \
            "OK | GAME OVER. Partie terminée. Score final : 35." "Rang 1 : " "Aide de Palinor | "; do
  grep -qF "$said" "$work/heard" || fail "a screen reader never heard '$said'; it heard: $(cat "$work/heard")"
done
sanitizers_quiet
echo "The old file imported and a whole game played with the keyboard, heard over AT-SPI: billard.mdb holds $stored"
