#!/bin/sh
# Builds the program directory and starts the archive manager on the sample archive.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKN4_GUI=ON
cmake --build build -j "$(nproc)"
# Without a desktop session Qt cannot open a window (it would abort with
# "could not connect to display"): say how to see the manager anyway.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Built into build/bin. kn4manager needs a desktop session (DISPLAY or WAYLAND_DISPLAY is not set): run it there with 'build/bin/kn4manager \"$(pwd)/build/bin\"', or here with 'xvfb-run -a build/bin/kn4manager \"$(pwd)/build/bin\"' (or QT_QPA_PLATFORM=offscreen for a quick check that it starts)."
    exit 0
fi
# The archive manager on the program directory: the sample archive DEMO is
# listed on the left; drag a panel onto the editor's picture to edit it.
exec build/bin/kn4manager "$(pwd)/build/bin"
