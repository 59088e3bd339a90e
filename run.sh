#!/usr/bin/env bash
# Builds the optimised program and starts it. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
exec build/release/app/Palinor "$@"
