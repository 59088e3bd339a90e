#!/usr/bin/env bash
# Builds the Debian package: build/packages/palinor_<version>_amd64.deb, checked by lintian.
# Usage: scripts/package-deb.sh [OUTPUT_FOLDER]   (build/packages by default)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/packages}")

# dpkg-shlibdeps computes the dependencies, file tells CPack what to strip and scan, lintian judges the result.
scripts/install-deps.sh dpkg-dev file lintian

cmake --preset package >/dev/null
cmake --build --preset package -j "$(nproc)"
rm -rf build/package/_CPack_Packages build/package/*.deb
(cd build/package && cpack -G DEB >/dev/null)
mkdir -p "$out"
rm -f "$out"/palinor_*.deb
mv build/package/palinor_*_amd64.deb "$out/"
deb=$(ls "$out"/palinor_*_amd64.deb)

# Errors and warnings fail the package; the informational tags are shown.
lintian --info --display-info --fail-on error,warning "$deb"
echo "$deb"
