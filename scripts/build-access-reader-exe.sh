#!/usr/bin/env bash
# Builds the Windows reader of the old Access score files, palinor-access-reader.exe, from
# accessreader/odbc_main.cpp: 32-bit, as Windows' own Access ODBC driver is, and static, so that it needs
# no DLL but Windows' own. No Qt. Usage: scripts/build-access-reader-exe.sh OUTPUT
set -euo pipefail
out=$(realpath -m "$1")
cd "$(dirname "$0")/.."
scripts/install-deps.sh g++-mingw-w64-i686
i686-w64-mingw32-g++ -std=c++20 -O2 -Wall -Wextra -Wpedantic -municode -static -s \
  -o "$out" accessreader/odbc_main.cpp -lodbc32
