#!/usr/bin/env bash
# The Debian package as a user gets it: built and checked by lintian (scripts/package-deb.sh), unpacked into a
# scratch root (never installed on the machine), started under Xvfb with a home of its own; a player signs up
# with the keyboard and the score file must be in that home's data folder, not beside the program.
# Usage: package_test.sh SOURCE_DIR. Exits 77 (skipped) when dpkg-deb is missing or Xvfb cannot start.
set -euo pipefail
command -v dpkg-deb >/dev/null || { echo "SKIPPED: dpkg-deb is missing, no package can be built"; exit 77; }
. "$(dirname "$0")/xvfb.sh"

"$1/scripts/package-deb.sh" "$work/packages" >"$work/package.log" 2>&1 ||
  { cat "$work/package.log"; fail "scripts/package-deb.sh failed (lintian's findings above)"; }
debs=("$work"/packages/*.deb)
[ ${#debs[@]} = 1 ] && [[ "${debs[0]}" =~ /palinor_[0-9.]+_amd64\.deb$ ]] || fail "not one palinor_<version>_amd64.deb: ${debs[*]}"
grep -E '^(E|W): ' "$work/package.log" && fail "lintian reports errors or warnings"

root=$work/root
dpkg-deb -x "${debs[0]}" "$root"
(cd "$root" && ls usr/games/Palinor usr/libexec/palinor/palinor-access-reader usr/share/man/man6/Palinor.6.gz \
  usr/share/doc/palinor/{copyright,changelog.gz} usr/share/applications/org.example.palinor.desktop \
  usr/share/metainfo/org.example.palinor.metainfo.xml usr/share/icons/hicolor/scalable/apps/org.example.palinor.svg \
  usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256,512x512}/apps/org.example.palinor.png \
  >/dev/null) || fail "the package lacks the files above"
grep -qx 'Exec=/usr/games/Palinor' "$root/usr/share/applications/org.example.palinor.desktop" ||
  fail "the menu entry does not start /usr/games/Palinor"
depends=$(dpkg-deb -f "${debs[0]}" Depends)
for needed in libqt6sql6-sqlite qt6-translations-l10n fonts-liberation2 fonts-cardo libmdb3 libqt6widgets6; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

start_xvfb
unset XDG_DATA_HOME XDG_CONFIG_HOME
export HOME=$work/home
mkdir -p "$HOME"
(cd "$HOME" && exec "$root/usr/games/Palinor" >"$work/palinor.log" 2>&1) &
focus "$board" >/dev/null
keys Return
focus '^Inscription$' >/dev/null
keys Tab
xdotool type --delay 80 'martin'
keys Return
focus "$board" >/dev/null
scores="$HOME/.local/share/Palinor/billard.mdb"
[ ! -e "$root/usr/games/billard.mdb" ] || fail "a score file was made beside the program"
[ "$(sqlite3 "$scores" 'SELECT "Nom Complet" FROM nom')" = MARTIN ] || fail "no MARTIN in $scores"
echo "The package is lintian-clean and, unpacked, keeps its scores in $scores"
