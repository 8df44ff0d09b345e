#!/usr/bin/env bash
# Installs what building Voltaris needs on Debian 12 and configures the build
# directory. Sourced by run.sh, test.sh and package.sh, which may name more
# packages as arguments.
set -euo pipefail

VOLTARIS_SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VOLTARIS_BUILD_DIR="${VOLTARIS_BUILD_DIR:-$VOLTARIS_SOURCE_DIR/build}"

packages=(
    cmake ninja-build g++
    qt6-base-dev libqt6sql6-sqlite qt6-svg-dev qt6-charts-dev libqt6opengl6-dev libgl1-mesa-dev
    fonts-dejavu-core fonts-liberation2
    appstream desktop-file-utils
    qt6-translations-l10n
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
        || missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake_args=(-S "$VOLTARIS_SOURCE_DIR" -B "$VOLTARIS_BUILD_DIR" -G Ninja
            -DCMAKE_BUILD_TYPE="${VOLTARIS_BUILD_TYPE:-RelWithDebInfo}")
[ "${CI:-}" = "true" ] && cmake_args+=(-DVOLTARIS_WERROR=ON)
cmake "${cmake_args[@]}" ${VOLTARIS_CMAKE_ARGS:-}
