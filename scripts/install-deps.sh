#!/usr/bin/env bash
# Installs, through apt-get, whatever Debian packages the build, the tests and
# the game need and are not installed yet. Uses sudo when not run as root.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    libsdl2-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    clang clang-tidy clang-format cppcheck libclang-rt-14-dev
    xvfb xdotool x11-utils x11-apps openbox imagemagick
    valgrind dpkg-dev file desktop-file-utils
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
