#!/usr/bin/env bash
# The older program's Access score file beside the real program: the first sign-up offers to import it, the
# import is accepted with Enter, the player signs up among the imported names. Under Xvfb, with the keyboard.
# Usage: e2e_import.sh PALINOR_EXECUTABLE ACCESS_FILE SCREENSHOT_FOLDER. Exits 77 (skipped) only when Xvfb
# cannot start.
set -euo pipefail
. "$(dirname "$0")/xvfb.sh"
out=$3
mkdir -p "$out"

start_xvfb
# The program, its reader and the old file, in a folder of their own.
cp "$1" "$work/Palinor"
cp "$(dirname "$1")/palinor-access-reader" "$work/"
cp "$2" "$work/billard.mdb"
chmod u+w "$work/billard.mdb"
(cd "$work" && exec ./Palinor >"$work/palinor.log" 2>&1) &

fail() { { echo "FAILED: $*"; echo "--- program output"; cat "$work/palinor.log"; } >&2; exit 1; }

focus "$board" >/dev/null
keys Return                                  # "Nouvelle partie": the sign-up meets the old file
question=$(focus '^Palinor$')
import -window root "$out/import-question.png"
keys Return                                  # "Importer", the default
told=$(focus '^Palinor$' "$question")
import -window root "$out/import-done.png"
keys Return
focus '^Inscription$' >/dev/null
import -window root "$out/import-sign-up.png"
keys Tab
xdotool type --delay 80 'dupont jean'
keys Return
focus "$board" >/dev/null
[ "$told" != "$question" ] || fail "no message after the import"

[ -f "$work/billard-ancien.mdb" ] || fail "the old file was not kept as billard-ancien.mdb"
cmp -s "$2" "$work/billard-ancien.mdb" || fail "billard-ancien.mdb is not the old file byte for byte"
count=$(sqlite3 "$work/billard.mdb" 'SELECT count(*) FROM nom')
# The player was among the imported names: nothing was added.
[ "$count" = 14 ] || fail "billard.mdb holds $count records instead of the 14 imported"
if grep -qE 'AddressSanitizer|runtime error' "$work/palinor.log"; then fail "the sanitizers spoke"; fi
echo "The old file imported through the windows: $count records, the old file kept; screenshots in $out"
