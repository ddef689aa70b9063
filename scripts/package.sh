#!/bin/sh
# Builds the Debian package of the suite into build-package/.
# Usage: scripts/package.sh        then: sudo apt install ./build-package/kn4_*.deb
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DKN4_GUI=ON -DKN4_BENCH=OFF
cmake --build build-package -j "$(nproc)"
cd build-package
cpack -G DEB
ls -l "$PWD"/kn4_*.deb
