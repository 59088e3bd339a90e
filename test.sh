#!/usr/bin/env bash
# Builds the sanitizer build and runs every test. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

cmake --preset dev >/dev/null
cmake --build --preset dev -j "$(nproc)"
ctest --preset dev -j "$(nproc)" --output-on-failure "$@"
