#!/bin/sh
# Builds the Debian package of the suite into build-package/.
# Usage: scripts/package.sh        then: sudo apt install ./build-package/kn4_*.deb
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Only what the package holds is built; packing then skips the full build.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DKN4_GUI=ON -DKN4_BENCH=OFF \
      -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
cmake --build build-package --target kn4package -j "$(nproc)"
cd build-package
cpack -G DEB
ls -l "$PWD"/kn4_*.deb
