#!/usr/bin/env bash
# The game installed as a desktop player gets it: `cmake --install` into a scratch DESTDIR puts
# every file in its freedesktop place, the menu entry and the AppStream data validate, and the
# installed game answers. As root (as in CI), the Debian package is built, installed with dpkg
# and removed again.
#
# Usage: install_package.sh <hearthly> <hearthly-replay> <test data dir>
set -euo pipefail

build=$(cd "$(dirname "$1")" && pwd)
# shellcheck source=lib/scratch.sh
source "$(dirname "$0")/lib/scratch.sh"

version=$("$1" --version)
appId=$(sed -n 's/^HEARTHLY_APP_ID:[A-Z]*=//p' "$build/CMakeCache.txt")
bindir=$(sed -n 's/^CMAKE_INSTALL_BINDIR:[A-Z]*=//p' "$build/CMakeCache.txt")
[[ -n $appId && -n $bindir ]] || fail "the build's cache names no app id or binary folder"

# --- Into a scratch DESTDIR ------------------------------------------------------------------
DESTDIR="$work/root" cmake --install "$build" --prefix /usr >"$work/install.log" ||
    fail "cmake --install failed: $(cat "$work/install.log")"
root=$work/root/usr
for file in "$bindir/hearthly" "$bindir/hearthly-replay" \
    "share/applications/$appId.desktop" "share/metainfo/$appId.metainfo.xml" \
    share/man/man6/hearthly.6.gz share/man/man6/hearthly-replay.6.gz \
    share/doc/hearthly/copyright share/doc/hearthly/changelog.gz \
    share/icons/hicolor/scalable/apps/hearthly.svg \
    share/locale/de/LC_MESSAGES/hearthly.mo share/locale/fr/LC_MESSAGES/hearthly.mo; do
    [[ -s $root/$file ]] || fail "the install has no $file"
done
for size in 48 64 128 256; do
    icon=$root/share/icons/hicolor/${size}x${size}/apps/hearthly.png
    [[ $(identify -format '%wx%h' "$icon") == "${size}x${size}" ]] || fail "$icon is not ${size}x${size}"
done
# The scalable icon is drawn as shapes, not as a picture of pixels.
grep -q '<path' "$root/share/icons/hicolor/scalable/apps/hearthly.svg" || fail "the SVG icon has no shapes"
[[ $("$root/$bindir/hearthly" --version) == "$version" ]] || fail "the installed hearthly does not answer --version"

desktop-file-validate "$root/share/applications/$appId.desktop" || fail "the menu entry does not validate"
grep -qx 'Icon=hearthly' "$root/share/applications/$appId.desktop" || fail "the menu entry names another icon"
appstreamcli validate --no-net "$root/share/metainfo/$appId.metainfo.xml" >"$work/appstream.log" 2>&1 ||
    fail "the AppStream data does not validate: $(cat "$work/appstream.log")"
for page in hearthly hearthly-replay; do
    zcat "$root/share/man/man6/$page.6.gz" | groff -ww -z -man 2>"$work/groff.log"
    [[ ! -s $work/groff.log ]] || fail "the manual page $page.6 has faults: $(cat "$work/groff.log")"
done
zcat "$root/share/man/man6/hearthly.6.gz" | grep -q 'lower case only' || fail "the manual page does not say letters act in lower case only"
# The translations: the menu entry's and the AppStream data's name and summary, and the game's
# own words from the catalogues installed.
grep -q '^Comment\[de\]=' "$root/share/applications/$appId.desktop" || fail "the menu entry has no German summary"
grep -q '^Comment\[fr\]=' "$root/share/applications/$appId.desktop" || fail "the menu entry has no French summary"
grep -q '<summary xml:lang="fr">' "$root/share/metainfo/$appId.metainfo.xml" || fail "the AppStream data has no French summary"
HEARTHLY_LOCALEDIR=$root/share/locale LANGUAGE=de LANG=C.UTF-8 "$root/$bindir/hearthly" --help | grep -q '^Aufruf:' ||
    fail "the installed game does not speak German"

# --- The Debian package ----------------------------------------------------------------------
if ((EUID != 0)) || ! command -v dpkg >/dev/null; then
    echo "install_package: not root, so the Debian package is not installed here"
    echo "install_package: all checks passed"
    exit 0
fi
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1) ||
    fail "cpack failed: $(cat "$work/cpack.log")"
deb=$(ls "$work"/package/hearthly_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in timgm6mb-soundfont libsdl2 libcairo2; do
    [[ $depends == *"$needed"* ]] || fail "the package does not depend on $needed: $depends"
done
recommends=$(dpkg-deb -f "$deb" Recommends)
[[ $recommends == *libdecor-0-plugin-1-cairo* ]] ||
    fail "the package does not recommend the Wayland title bar plugin: $recommends"
# Only one test at a time touches the system's packages, and never a copy the player installed.
exec 9>/tmp/hearthly-package-test.lock
flock -w 300 9 || fail "another package test holds the lock"
if dpkg-query -W -f='${Status}' hearthly 2>/dev/null | grep -q 'install ok installed'; then
    echo "install_package: hearthly is installed on this machine already; the package is not put over it"
    echo "install_package: all checks passed"
    exit 0
fi
# Another install on the machine (apt, say) may hold dpkg's lock for a while.
for try in $(seq 30); do
    if dpkg -i "$deb" >"$work/dpkg.log" 2>&1; then
        break
    fi
    if ((try == 30)) || ! grep -q 'lock' "$work/dpkg.log"; then
        dpkg -r hearthly >/dev/null 2>&1 || true
        fail "dpkg -i failed: $(cat "$work/dpkg.log")"
    fi
    sleep 2
done
installed=$(dpkg -L hearthly)
status=0
[[ $("/usr/$bindir/hearthly" --version) == "$version" ]] || status=1
grep -qx "/usr/share/applications/$appId.desktop" <<<"$installed" || status=2
dpkg -r hearthly >"$work/dpkg-remove.log" 2>&1 || fail "dpkg -r failed: $(cat "$work/dpkg-remove.log")"
((status != 1)) || fail "the packaged hearthly does not answer --version"
((status != 2)) || fail "the package puts no menu entry in place"
for file in $installed; do
    [[ ! -f $file ]] || fail "removing the package left $file behind"
done
echo "install_package: all checks passed"
