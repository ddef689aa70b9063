#!/bin/sh
# Measures the start-up of simulatore to the first paint of its picture on
# the largest sample panel of the program directory, five times, under the
# X display given in DISPLAY (an Xvfb without a window manager: the main
# window stands at the top left corner of the screen).
#   DISPLAY=:18 simulator/window/startup/measure.sh build/bin
set -eu
bin=$(cd "${1:-build/bin}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -O2 -o "$work/firstpaint" "$here/firstpaint.c" -lX11
cp "$bin/simulatore.sav" "$work/"
panel=$(ls -S "$bin"/archivi/*/*.KN4 | head -n 1)
echo "panel: $panel ($(stat -c %s "$panel") bytes)"
cd "$work"
for run in 1 2 3 4 5; do
    # A pixel of the picture's background, away from the piece: the default
    # background colour 32896 (red 128, green 128) once the picture is drawn.
    out=$("$work/firstpaint" 100 100 808000 5000 "$bin/simulatore" "$panel,$bin/italiano/")
    ms=$(echo "$out" | sed -n 1p)
    pid=$(echo "$out" | sed -n 2p)
    echo "run $run: $ms ms to the first paint"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    sleep 0.3
done
