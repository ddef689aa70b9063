#!/bin/sh
# Builds the program directory and starts the suite on the sample archive.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKN4_GUI=ON
cmake --build build -j "$(nproc)"
cd build/bin
# Until the archive manager exists, the way in is the editor on a working
# copy of a sample panel (the manager, too, hands the editor a copy); the
# compile reports of the whole sample archive come first.
./kn4c --check archivi/DEMO/*.KN4
mkdir -p ../lavoro
[ -f ../lavoro/DAVANTI.KN4 ] || cp archivi/DEMO/DAVANTI.KN4 ../lavoro/
exec ./Kn4Edit2 "$(cd ../lavoro && pwd)/DAVANTI.KN4,$(pwd)/italiano/"
