#!/bin/sh
# Builds the program directory and starts the archive manager on the sample archive.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKN4_GUI=ON
cmake --build build -j "$(nproc)"
# The archive manager on the program directory: the sample archive DEMO is
# listed on the left; drag a panel onto the editor's picture to edit it.
exec build/bin/kn4manager "$(pwd)/build/bin"
