#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Palinor need,
# only those that are missing. Usage: scripts/install-deps.sh [extra-package...]
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config zlib1g-dev
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-translations-l10n
  libgtest-dev libgmock-dev
  mdbtools-dev
  fonts-liberation2 fonts-cardo
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then sudo="sudo"; else
    echo "Il manque des paquets (${missing[*]}) et sudo est absent : installez-les en root." >&2
    exit 1
  fi
fi
echo "Installation des paquets manquants : ${missing[*]}"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
