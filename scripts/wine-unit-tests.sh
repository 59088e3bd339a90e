#!/usr/bin/env bash
# Runs the Windows builds of the tests of the rules and of the score file under Wine, in FOLDER, which holds them,
# the DLLs they need and palinor-access-reader.exe, 32-bit, which reads the old Access files through mdbtools' ODBC
# driver registered under the name of Windows' Jet driver; without any driver, the reader must say so. Prints each
# program's summary and every case skipped, with its reason. Usage: scripts/wine-unit-tests.sh FOLDER TEST... (no
# .exe). Fails when a test fails.
set -euo pipefail
folder=$(realpath "$1")
shift
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] && sudo="" || sudo=sudo
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
scripts/install-deps.sh wine wine64 wine32:i386 odbc-mdbtools:i386 unixodbc:i386
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" ODBCSYSINI=$work
printf '[Microsoft Access Driver (*.mdb)]\nDriver = %s\n' "$(dpkg -L odbc-mdbtools:i386 | grep '/libmdbodbcW\.so$')" \
  >"$work/odbcinst.ini"
mkdir "$work/none" && : >"$work/none/odbcinst.ini"
wineboot --init >/dev/null 2>&1
failed=0
answer=$(cd "$folder" && ODBCSYSINI=$work/none wine palinor-access-reader.exe billard.mdb 2>/dev/null) || true
[ "$answer" = "ERREUR pilote" ] || { echo "FAILED: without a driver, the reader said '$answer'"; failed=1; }
for name in "$@"; do
  (cd "$folder" && wine "$name.exe") 2>&1 | tr -d '\r' >"$work/log" || { cat "$work/log"; failed=1; }
  # The tests skipped whole, with their reasons; the cases skipped within a test; the counts.
  awk -v name="$name" '/^\[ RUN/ { test = $4 } /: Skipped$/ { getline why; print "[  SKIPPED ] " test ": " why }
    /^\[  SKIPPED \] / && !/ ms\)$|listed below|\] [0-9]+ tests?\.$|\] [A-Za-z]+\.[A-Za-z]+$/; /^\[  (PASSED|FAILED)  \] [0-9]+ tests?\./' \
    "$work/log" | sed "s/^/$name: /"
done
[ "$failed" -eq 0 ] && echo "The Windows unit tests pass under Wine"
exit "$failed"
