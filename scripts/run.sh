#!/usr/bin/env bash
# Builds Voltaris and starts it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cmake --build "$VOLTARIS_BUILD_DIR" --target voltaris
exec "$VOLTARIS_BUILD_DIR/bin/voltaris" "$@"
