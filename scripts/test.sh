#!/usr/bin/env bash
# Builds Voltaris with its tests and runs every test under the offscreen
# platform; ends with ctest's summary.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cmake --build "$VOLTARIS_BUILD_DIR"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$VOLTARIS_BUILD_DIR" --output-on-failure -j "$(nproc)"
