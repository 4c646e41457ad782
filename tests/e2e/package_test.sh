#!/usr/bin/env bash
# The Debian package made from this build tree: cpack builds it into a scratch
# directory; its control fields, its files, the desktop entry and the icon are
# checked; the game unpacked from it starts in an X server and ends on Esc
# with status 0. As root, and when no zendorak package is installed already,
# the package is also installed for real with dpkg, its /usr/bin/zendorak run
# the same way, and removed again.
#
# Usage: package_test.sh BUILD_DIR WINDOW_PROBE
set -u

build=${1:?usage: package_test.sh BUILD_DIR WINDOW_PROBE}
probe=${2:?usage: package_test.sh BUILD_DIR WINDOW_PROBE}

# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/e2e_lib.sh"
e2e_init "e2e-package"
require_tools cpack dpkg dpkg-deb desktop-file-validate file Xvfb xdotool xwd xprop

readonly icon_path=usr/share/icons/hicolor/64x64/apps/zendorak.png
readonly desktop_path=usr/share/applications/zendorak.desktop

# cpack first brings the build tree up to date (its preinstall step), then
# installs it into a staging directory under -B.
packages="$e2e_work/packages"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$packages" >"$e2e_work/cpack.log" 2>&1 || {
    show_file "cpack's output" "$e2e_work/cpack.log"
    fail "cpack could not build the package"
}
debs=("$packages"/*.deb)
[[ ${#debs[@]} == 1 && -f ${debs[0]} ]] || fail "cpack made ${#debs[@]} .deb files, not one"
deb=${debs[0]}
note "built $(basename "$deb")"

field() {
    dpkg-deb -f "$deb" "$1"
}
[[ $(field Package) == zendorak ]] || fail "the package is named '$(field Package)', not zendorak"
[[ $(field Architecture) == "$(dpkg --print-architecture)" ]] ||
    fail "the package is for '$(field Architecture)', not this machine's $(dpkg --print-architecture)"
[[ $(field Version) =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "the package's version is '$(field Version)'"
depends=$(field Depends)
[[ ", $depends," =~ ,\ libsdl2-2\.0-0[\ ,] ]] || fail "the package does not depend on libsdl2-2.0-0: '$depends'"
[[ ", $depends," =~ ,\ libc6[\ ,] ]] || fail "the package does not depend on libc6: '$depends'"
[[ -n $(field Maintainer) && -n $(field Description) ]] || fail "the package has no maintainer or description"
note "Depends: $depends"

# Exactly the game, its desktop entry and its icon, under /usr.
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $NF}' | sort)
expected=$(printf '%s\n' "./$desktop_path" "./$icon_path" ./usr/bin/zendorak | sort)
[[ $files == "$expected" ]] || fail "the package holds:
$files
instead of:
$expected"

root="$e2e_work/root"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb could not unpack the package"
[[ -x $root/usr/bin/zendorak ]] || fail "usr/bin/zendorak is not executable"
desktop-file-validate "$root/$desktop_path" || fail "the desktop entry does not validate"
{ grep -qx 'Exec=zendorak' "$root/$desktop_path" && grep -qx 'Icon=zendorak' "$root/$desktop_path"; } ||
    fail "the desktop entry does not start zendorak with the zendorak icon"
[[ $(file -b "$root/$icon_path") == "PNG image data, 64 x 64, 8-bit/color RGBA, non-interlaced" ]] ||
    fail "the icon is $(file -b "$root/$icon_path")"
# Transparent around the fortress, the pole grey, the wall white, as the
# fortress sprite has them (cells (0, 0), (31, 5), (32, 40)).
if command -v convert >/dev/null; then
    pixels=$(convert "png:$root/$icon_path" -format '%[pixel:p{0,0}] %[pixel:p{31,5}] %[pixel:p{32,40}]' info:)
    [[ $pixels == "srgba(0,0,0,0) srgba(128,128,128,1) srgba(255,255,255,1)" ]] ||
        fail "the icon's pixels are '$pixels', not the fortress's"
fi
note "the package holds the game, a valid desktop entry and the fortress icon"

# start_and_quit PROGRAM: the title shows, Esc ends the game with status 0.
start_and_quit() {
    start_game "$1"
    wait_for 10 "the title screen of $1" text_is 288 5 "ZENDORAK"
    press Escape
    expect_clean_exit 5
}

start_x_server 1024x768
start_and_quit "$root/usr/bin/zendorak"
note "the unpacked game starts, shows its title and ends on Esc with status 0"

installed_by_us() {
    dpkg -r zendorak >/dev/null 2>&1
}

# dpkg waits for nobody: while another install holds its lock, try again.
dpkg_install() {
    local deadline=$(($(now_ms) + 120000))
    while ! dpkg -i "$deb" >"$e2e_work/dpkg.log" 2>&1; do
        if ! grep -qi 'lock' "$e2e_work/dpkg.log" || (($(now_ms) > deadline)); then
            show_file "dpkg's output" "$e2e_work/dpkg.log"
            fail "dpkg could not install the package"
        fi
        sleep 2
    done
}

if [[ $(id -u) != 0 ]]; then
    note "not root: the package is not installed into the system"
elif dpkg-query -W -f='${Status}' zendorak 2>/dev/null | grep -q 'installed'; then
    note "a zendorak package is installed already: it is left alone and this one not installed"
else
    e2e_undo+=(installed_by_us)
    dpkg_install
    dpkg-query -W -f='${Status}' zendorak | grep -q 'install ok installed' ||
        fail "dpkg does not list zendorak as installed"
    [[ -f /$desktop_path && -f /$icon_path ]] || fail "the desktop entry or the icon is not in /usr/share"
    start_and_quit /usr/bin/zendorak
    dpkg -r zendorak >"$e2e_work/dpkg.log" 2>&1 || fail "dpkg could not remove the package"
    [[ ! -e /usr/bin/zendorak ]] || fail "/usr/bin/zendorak is still there after dpkg -r"
    note "installed with dpkg -i, /usr/bin/zendorak ran and ended on Esc, removed with dpkg -r"
fi
echo "ok: package"
