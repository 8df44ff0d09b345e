#!/usr/bin/env bash
# Builds the Debian package of Voltaris into build-package/; prints its name.
set -euo pipefail
VOLTARIS_BUILD_DIR="${VOLTARIS_BUILD_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build-package}"
VOLTARIS_BUILD_TYPE=Release
VOLTARIS_CMAKE_ARGS="-DCMAKE_INSTALL_PREFIX=/usr -DVOLTARIS_BUILD_TESTS=OFF -DVOLTARIS_BUILD_BENCH=OFF ${VOLTARIS_CMAKE_ARGS:-}"
# dpkg-shlibdeps (dpkg-dev) finds the libraries the program links.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" dpkg-dev
cmake --build "$VOLTARIS_BUILD_DIR"
cd "$VOLTARIS_BUILD_DIR"
cpack -G DEB
ls "$VOLTARIS_BUILD_DIR"/voltaris_*.deb
