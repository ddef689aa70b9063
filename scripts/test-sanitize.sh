#!/bin/sh
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan) and runs every test there. Leaks inside system libraries are
# suppressed by scripts/lsan.supp; any other leak, memory error or undefined
# behaviour fails its test.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
fi
jobs=$(nproc)
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKN4_WERROR=ON -DKN4_SANITIZE=ON
cmake --build build-asan -j "$jobs"
cd build-asan
LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" "$@"
