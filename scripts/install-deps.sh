#!/bin/sh
# Installs the Debian packages the build needs, only those that are missing.
# Usage: scripts/install-deps.sh [fuzz]   ("fuzz" adds clang and its sanitizer runtime)
set -eu

packages="build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-translations-l10n libgl-dev fonts-liberation xvfb xauth
  poppler-utils mtools dosfstools ccache"
if [ "${1:-}" = "fuzz" ]; then
    packages="$packages clang libclang-rt-14-dev"
fi

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    run=""
elif command -v sudo >/dev/null 2>&1; then
    run="sudo"
else
    echo "These packages are missing and this user cannot install them:$missing" >&2
    exit 1
fi
$run apt-get update -qq
DEBIAN_FRONTEND=noninteractive $run apt-get install -y -qq --no-install-recommends $missing
