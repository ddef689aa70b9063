#!/bin/sh
# Builds everything (warnings are errors) and runs every test; then builds
# and tests the configuration without the Qt programs (-DKN4_GUI=OFF), in
# which every GUI-free core, kn4c and kn4check must build and pass alone.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh
# ccache, where present, lets the second configuration reuse the objects
# the first one compiled. With -g the compiler writes the build folder into
# the debug information, and ccache then hashes that folder too, so the two
# build folders would never share an object: paths are made relative to the
# source root and the folder is left out of the hash.
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR=true
    ccache_stats() { ccache --print-stats 2>/dev/null | awk -F'\t' '$1=="direct_cache_hit"||$1=="preprocessed_cache_hit"{h+=$2} $1=="cache_miss"{m+=$2} END{if(h+m>0) printf "ccache: %d of %d compilations from the cache\n", h, h+m}'; }
else
    ccache_stats() { :; }
fi
jobs=$(nproc)

command -v ccache >/dev/null 2>&1 && ccache --zero-stats >/dev/null
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKN4_WERROR=ON
cmake --build build-test -j "$jobs"
ccache_stats
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")

cmake -S . -B build-test-nogui -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKN4_WERROR=ON -DKN4_GUI=OFF
command -v ccache >/dev/null 2>&1 && ccache --zero-stats >/dev/null
cmake --build build-test-nogui -j "$jobs"
ccache_stats
(cd build-test-nogui && ctest --output-on-failure -j "$jobs")
