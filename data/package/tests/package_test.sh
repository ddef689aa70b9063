#!/bin/sh
# Installs the suite into a temporary DESTDIR, starts it there for a user
# with a temporary HOME twice, and builds the Debian package and lists it.
# Usage: package_test.sh BUILD_DIR [CPACK]
set -eu
build=$1
cpack=${2:-cpack}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The install: programs and library together, data, desktop files.
DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
root="$work/root/usr"
for f in lib/kn4/libkn4edit2.so lib/kn4/kn4start bin/kn4start \
         share/kn4/archivi/DEMO/DAVANTI.KN4 \
         share/applications/kn4manager.desktop share/mime/packages/kn4-panel.xml \
         share/icons/hicolor/scalable/apps/kn4manager.svg share/icons/hicolor/48x48/apps/kn4manager.png; do
    [ -e "$root/$f" ] || fail "$f is not installed"
done
for folder in italiano inglese spagnolo; do
    for f in kn4edit.ini Kn4Edit.123 VUZUDO.KEY; do
        [ -f "$root/share/kn4/$folder/$f" ] || fail "$folder/$f is not installed"
    done
done
for folder in dischi p_lince P_VOLPE F_DISCO; do
    [ -d "$root/share/kn4/$folder" ] || fail "the folder $folder is not installed"
done
[ "$(readlink "$root/bin/kn4start")" = ../lib/kn4/kn4start ] || fail "bin/kn4start does not lead to lib/kn4"

# First start for a user: the directory is seeded from the installed data
# and the editor is started on it, beside its library.
home="$work/home"
mkdir -p "$home"
# (Without the Qt programs only the seeding is tried.)
plan=$(env -u XDG_DATA_HOME HOME="$home" "$root/bin/kn4start" --print Kn4Edit2) || [ ! -e "$root/lib/kn4/Kn4Edit2" ] ||
    fail "kn4start cannot start the editor"
user="$home/.local/share/kn4"
[ -f "$user/archivi/DEMO/DAVANTI.KN4" ] || fail "the sample archive is not seeded"
[ -d "$user/dischi" ] || fail "dischi/ is not seeded"
[ -f "$user/italiano/VUZUDO.KEY" ] || fail "no keyword file in the user's language folder"
if [ -e "$root/lib/kn4/Kn4Edit2" ]; then
    executable=$(echo "$plan" | sed -n 1p)
    directory=$(echo "$plan" | sed -n 2p)
    argument=$(echo "$plan" | sed -n 3p)
    [ "$executable" = "$root/lib/kn4/Kn4Edit2" ] || fail "starts $executable"
    [ -f "$(dirname "$executable")/libkn4edit2.so" ] || fail "no library beside $executable"
    [ "$directory" = "$user" ] || fail "works in $directory"
    case "$argument" in
        "$user/NUOVO.KN4,$user/italiano/"*) ;;
        *) fail "editor argument $argument" ;;
    esac
fi

# The manager's own first start, for a second user: it makes the directory
# and keeps running (offscreen) until stopped.
if [ -e "$root/lib/kn4/kn4manager" ]; then
    manager_home="$work/manager-home"
    mkdir -p "$manager_home"
    status=0
    env -u XDG_DATA_HOME HOME="$manager_home" QT_QPA_PLATFORM=offscreen timeout 5 "$root/bin/kn4manager" \
        >/dev/null 2>&1 || status=$?
    [ "$status" = 124 ] || fail "the manager ended at its first start ($status)"
    [ -f "$manager_home/.local/share/kn4/kn4manager.ini" ] || fail "the manager did not make the user's directory"
    printf 'mine\r\n' > "$manager_home/.local/share/kn4/kn4manager.ini"
    env -u XDG_DATA_HOME HOME="$manager_home" QT_QPA_PLATFORM=offscreen timeout 3 "$root/bin/kn4manager" \
        >/dev/null 2>&1 || true
    [ "$(cat "$manager_home/.local/share/kn4/kn4manager.ini")" = "$(printf 'mine\r')" ] ||
        fail "the manager's second start replaced the user's settings"
fi

# A second start leaves what the user changed alone.
printf 'mine\r\n' > "$user/italiano/kn4edit.ini"
printf 'mine\r\n' > "$user/archivi/DEMO/DAVANTI.KN4"
for f in "$user"/*.ini "$user"/*.sav; do [ -f "$f" ] && printf 'mine\r\n' > "$f"; done
env -u XDG_DATA_HOME HOME="$home" "$root/bin/kn4start" --print Kn4Edit2 >/dev/null 2>&1 || true
for f in "$user/italiano/kn4edit.ini" "$user/archivi/DEMO/DAVANTI.KN4" "$user"/*.ini "$user"/*.sav; do
    [ -f "$f" ] || continue
    [ "$(cat "$f")" = "$(printf 'mine\r')" ] || fail "a second start replaced $f"
done

# The Debian package: what it holds and what it needs.
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null
deb=$(ls "$work"/package/*.deb)
listing=$(dpkg-deb -c "$deb")
for f in ./usr/lib/kn4/libkn4edit2.so ./usr/lib/kn4/kn4start ./usr/bin/kn4start \
         ./usr/share/kn4/inglese/kn4edit.ini ./usr/share/kn4/spagnolo/VUZUDO.KEY \
         ./usr/share/kn4/archivi/DEMO/DAVANTI.KN4 ./usr/share/kn4/dischi/ \
         ./usr/share/applications/kn4manager.desktop ./usr/share/mime/packages/kn4-panel.xml; do
    echo "$listing" | grep -q " $f\( \|$\)" || fail "the package lacks $f"
done
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 qt6-translations-l10n fonts-liberation mtools dosfstools; do
    echo "$depends" | grep -q "$p" || fail "the package does not depend on $p: $depends"
done
echo "package $(basename "$deb"): $(echo "$listing" | wc -l) entries"
