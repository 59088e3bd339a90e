#!/usr/bin/env bash
# Reads the Access test files with the Windows reader, palinor-access-reader.exe, under 32-bit Wine through
# mdbtools' ODBC driver registered under the name of Windows' Jet driver, and compares each answer, exit code
# included, with the Debian reader's; then, with no driver registered, expects "ERREUR pilote".
# Usage: scripts/wine-access-reader-test.sh. Fails when any answer differs.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
scripts/install-deps.sh wine wine32:i386 odbc-mdbtools:i386 unixodbc:i386
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
scripts/build-access-reader-exe.sh "$work/palinor-access-reader.exe"
# shellcheck disable=SC2046
g++ -std=c++20 accessreader/main.cpp $(pkg-config --cflags --libs libmdb) -o "$work/palinor-access-reader"
cp tests/data/access2000/*.mdb "$work/"

export WINEPREFIX=$work/wine WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$work/jet" "$work/none"
driver=$(dpkg -L odbc-mdbtools:i386 | grep '/libmdbodbcW\.so$')
printf '[Microsoft Access Driver (*.mdb)]\nDriver = %s\n' "$driver" >"$work/jet/odbcinst.ini"
: >"$work/none/odbcinst.ini"

# A reader's answer and exit code. Wine runs in the files' folder: the driver, a Linux library, finds a file
# only by its name there, after the reader's try with the absolute Windows path fails.
answer() { local status=0; (cd "$work" && "$@" 2>/dev/null) || status=$?; echo "exit $status"; }
windows() { answer env ODBCSYSINI="$1" wine "$work/palinor-access-reader.exe" "Z:${work//\//\\}\\$2"; }
failed=0
for file in billard.mdb empty.mdb other-table.mdb; do
  # mdbtools' ODBC driver gives an empty text as Null ("N"), where Jet keeps it: the only difference allowed.
  answer "$work/palinor-access-reader" "$file" | sed '/^T 0$/{N;s/^T 0\n$/N/}' >"$work/$file.debian"
  windows "$work/jet" "$file" >"$work/$file.windows"
  diff -u "$work/$file.debian" "$work/$file.windows" || { echo "FAILED: $file read differently"; failed=1; }
done
[ "$(windows "$work/none" billard.mdb)" = $'ERREUR pilote\nexit 1' ] || { echo "FAILED: no driver"; failed=1; }
[ "$failed" -eq 0 ] && echo "palinor-access-reader.exe read the Access files as the Debian reader does"
exit "$failed"
