#!/bin/sh
# Builds everything (warnings are errors) and runs every test; then builds
# and tests the configuration without the Qt programs (-DKN4_GUI=OFF), in
# which every GUI-free core, kn4c and kn4check must build and pass alone.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh
# ccache, where present, lets the second configuration reuse the objects
# the first one compiled.
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
fi
jobs=$(nproc)

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKN4_WERROR=ON
cmake --build build-test -j "$jobs"
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")

cmake -S . -B build-test-nogui -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKN4_WERROR=ON -DKN4_GUI=OFF
cmake --build build-test-nogui -j "$jobs"
(cd build-test-nogui && ctest --output-on-failure -j "$jobs")
